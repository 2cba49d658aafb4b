// Start, stop and close capture as the host drives them, with the camera
// library going live for real.
#include "support/adaptor_session.h"
#include "imaqhost/testing/video_input_inspector.h"
#include "vexcam/testing/camera_testing.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace orx::test;
using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

constexpr const char* kLiveRefused =
    "Failed to start the live video. Is the camera already in use by another program?";

class StreamingHostOperations : public AdaptorSessionTest {
protected:
    imaqhost::VideoInput& openCamera(vexcam::DeviceFaults faults = {})
    {
        auto device = deviceWithoutNorms("Camera", {}, {listedDescription("Y800", {64, 48}, {64, 48}, {})});
        device.faults = faults;
        install({device});
        return open("Camera", "1");
    }
};

// Start capture while the host says capture is running: false, camera untouched, no warning.
TEST_F(StreamingHostOperations, StartWhileRunningIsRefusedSilently)
{
    auto& input = openCamera();
    bool secondStart = true;
    // Capture runs until the stop below, so the second start meets it running.
    input.start(imaqhost::VideoInput::kUnlimitedFrames);
    input.getData(1, [&](const imaqhost::FrameView&) { secondStart = imaqhost::inspect(input).adaptor().startCapture(); });
    input.stop();
    EXPECT_TRUE(input.wait(std::chrono::seconds(5)));
    EXPECT_EQ(input.statistics().end, imaqhost::AcquisitionEnd::Stopped);
    EXPECT_FALSE(secondStart);
    EXPECT_TRUE(warningTexts().empty());
}

// The camera refusing the live stream gives exactly one warning; a later start works.
TEST_F(StreamingHostOperations, RefusedLiveGivesOneWarningAndLaterStartWorks)
{
    vexcam::DeviceFaults refuse;
    refuse.refuseLive = true;
    auto& input = openCamera(refuse);
    EXPECT_EQ(input.acquire(2, {}, 500ms).end, imaqhost::AcquisitionEnd::StartRefused);
    EXPECT_EQ(warningTexts(), Texts{kLiveRefused});

    vexcam::setDeviceFaults("Camera", {});
    imaqhost::clearWarnings();
    EXPECT_EQ(input.acquire(2).end, imaqhost::AcquisitionEnd::Completed);
    EXPECT_TRUE(warningTexts().empty());
}

// A status thrown by the camera is caught and answered like a refusal.
TEST_F(StreamingHostOperations, ThrownStatusGivesTheSameWarning)
{
    vexcam::DeviceFaults throws;
    throws.liveThrows = static_cast<std::int32_t>(0x80004005u);
    auto& input = openCamera(throws);
    EXPECT_EQ(input.acquire(2, {}, 500ms).end, imaqhost::AcquisitionEnd::StartRefused);
    EXPECT_EQ(warningTexts(), Texts{kLiveRefused});
}

// Stop capture while the host says no acquisition is active does nothing, even when live.
TEST_F(StreamingHostOperations, StopOutsideAcquisitionLeavesTheCameraLive)
{
    auto& input = openCamera();
    ASSERT_TRUE(imaqhost::inspect(input).adaptor().startCapture());
    EXPECT_TRUE(adaptor().camera().isLive());
    EXPECT_TRUE(imaqhost::inspect(input).adaptor().stopCapture());
    EXPECT_TRUE(adaptor().camera().isLive());
    EXPECT_TRUE(input.closeDevice());
    EXPECT_FALSE(adaptor().camera().isLive());
}

// Close device on a live camera stops it but keeps the device open for a later start.
TEST_F(StreamingHostOperations, CloseKeepsTheDeviceOpenForTheNextStart)
{
    auto& input = openCamera();
    ASSERT_TRUE(imaqhost::inspect(input).adaptor().startCapture());
    EXPECT_TRUE(input.closeDevice());
    EXPECT_TRUE(adaptor().camera().isDevValid());
    EXPECT_EQ(input.acquire(3).end, imaqhost::AcquisitionEnd::Completed);
    EXPECT_TRUE(warningTexts().empty());
}

// Without a device, start reports success and stop warns.
TEST_F(StreamingHostOperations, InvalidDeviceStartsSilentlyAndWarnsOnStop)
{
    auto device = deviceWithoutNorms("Camera", {}, {listedDescription("Y800", {64, 48}, {64, 48}, {})});
    install({device});
    session().discover();
    device.opens = false;
    install({device});
    auto& input = openDiscovered("Camera", "1");
    const auto stats = input.acquire(1, {}, 200ms);
    EXPECT_EQ(stats.end, imaqhost::AcquisitionEnd::Timeout);
    EXPECT_EQ(warningTexts(), Texts{"Unable to stop live. Device Invalid."});
}

} // namespace
