// A camera's own trigger driven through its properties, as a toolbox user
// does: an immediate trigger type repeated without end, the camera's trigger
// enabled, and each software-trigger push giving one logged frame.
#include "support/adaptor_session.h"
#include "vexcam/testing/camera_testing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace orx::test;
using namespace std::chrono_literals;

constexpr const char* kTriggerCamera = "ORX Colour 2448";

class CameraTriggerSession : public AdaptorSessionTest {
protected:
    imaqhost::VideoInput& openTriggerCamera(std::int64_t framesPerTrigger)
    {
        vexcam::installRig(vexcam::defaultRig());
        auto& input = open(kTriggerCamera, "RGB24 (640x480)");
        input.setFromText("Trigger", "Enable");
        imaqhost::TriggerSettings settings;
        settings.type = imaqhost::TriggerType::Immediate;
        settings.framesPerTrigger = framesPerTrigger;
        settings.triggerRepeat = imaqhost::kInfinite;
        input.setTriggerSettings(settings);
        return input;
    }

    static bool acquiredWithin(imaqhost::VideoInput& input, std::int64_t frames)
    {
        const auto until = std::chrono::steady_clock::now() + 5s;
        while (input.framesAcquired() < frames)
            if (std::chrono::steady_clock::now() > until) return false;
            else std::this_thread::sleep_for(1ms);
        return true;
    }

    // Free-running, the camera would have sent hundreds of frames by then.
    static void expectStillAt(imaqhost::VideoInput& input, std::int64_t frames)
    {
        std::this_thread::sleep_for(80ms);
        EXPECT_EQ(input.framesAcquired(), frames);
    }

    static void push(imaqhost::VideoInput& input) { input.setFromText("TriggerSoftwareTrigger", "Push"); }
};

// Three pushes give exactly three frames, one per trigger; stop ends the
// endless acquisition while the camera waits for the next push.
TEST_F(CameraTriggerSession, EachPushLogsOneFrameUntilStop)
{
    auto& input = openTriggerCamera(1);
    input.start();
    expectStillAt(input, 0);
    for (std::int64_t pushed = 1; pushed <= 3; ++pushed) {
        push(input);
        ASSERT_TRUE(acquiredWithin(input, pushed));
    }
    expectStillAt(input, 3);
    EXPECT_TRUE(input.isAcquisitionActive());
    input.stop();
    ASSERT_TRUE(input.wait(5s));
    EXPECT_EQ(input.statistics().end, imaqhost::AcquisitionEnd::Stopped);
    std::vector<std::int64_t> triggers;
    input.getData(input.framesAvailable(),
                  [&](const imaqhost::FrameView& frame) { triggers.push_back(frame.meta.triggerIndex); });
    EXPECT_EQ(triggers, (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_EQ(std::get<std::string>(input.get("TriggerSoftwareTrigger")), "Ready");
}

// With several frames per trigger, the pushes fill the triggers in turn; the
// stop comes in the middle of one.
TEST_F(CameraTriggerSession, PushesFillFramesPerTriggerInTurn)
{
    auto& input = openTriggerCamera(2);
    input.start();
    for (std::int64_t pushed = 1; pushed <= 3; ++pushed) {
        push(input);
        ASSERT_TRUE(acquiredWithin(input, pushed));
    }
    expectStillAt(input, 3);
    input.stop();
    ASSERT_TRUE(input.wait(5s));
    EXPECT_EQ(input.statistics().framesPerTrigger, (std::vector<std::int64_t>{2, 1}));
}

// Switching the camera's trigger off while running lets frames flow again.
TEST_F(CameraTriggerSession, DisablingTheTriggerWhileRunningFreesTheStream)
{
    auto& input = openTriggerCamera(1);
    input.start();
    expectStillAt(input, 0);
    input.setFromText("Trigger", "Disable");
    EXPECT_TRUE(acquiredWithin(input, 20));
    input.stop();
    EXPECT_TRUE(input.wait(5s));
}

} // namespace
