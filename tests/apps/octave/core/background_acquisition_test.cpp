// The gateway's background acquisition on the adaptor in-process: frames
// flow while the caller does other things, property calls are safe meanwhile,
// and destruction joins the thread. Named Streaming* for the tsan run.
#include "background_acquisition.h"

#include "imaqhost/host_error.h"
#include "support/adaptor_session.h"
#include "vexcam/vexcam.h"
#include "vexcam/testing/camera_testing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using orxoct::BackgroundAcquisition;

vexcam::DeviceSpec smallCamera(const std::string& name)
{
    return orx::test::deviceWithoutNorms(name, {orx::test::format("Y800", 64, 48)},
                                         {orx::test::gridDescription("Y800", {16, 4}, {64, 48})});
}

class StreamingBackgroundAcquisition : public orx::test::AdaptorSessionTest {
protected:
    void SetUp() override
    {
        AdaptorSessionTest::SetUp();
        install({smallCamera("Bench Mono")});
    }
    imaqhost::VideoInput& openFirst()
    {
        session().discover();
        const auto& device = session().resolveDevice(std::int32_t{1});
        return open("1", device.addedFormats().front().name);
    }
    static std::vector<std::int64_t> indices(BackgroundAcquisition& acquisition, std::int64_t frames)
    {
        std::vector<std::int64_t> seen;
        acquisition.getData(frames, [&](const imaqhost::FrameView& frame) { seen.push_back(frame.index); }, 5s);
        return seen;
    }
};

TEST_F(StreamingBackgroundAcquisition, StartReturnsAtOnceAndFramesArriveInOrder)
{
    imaqhost::VideoInput& input = openFirst();
    BackgroundAcquisition acquisition(input);
    acquisition.start(5);
    EXPECT_TRUE(acquisition.wait(5s));
    EXPECT_EQ(acquisition.counts().acquired, 5);
    EXPECT_EQ(indices(acquisition, 3), (std::vector<std::int64_t>{0, 1, 2}));
    EXPECT_EQ(acquisition.counts().available, 2);
    EXPECT_EQ(indices(acquisition, 2), (std::vector<std::int64_t>{3, 4}));
    EXPECT_THROW(indices(acquisition, 1), imaqhost::HostError);
}

TEST_F(StreamingBackgroundAcquisition, StartEmptiesTheBufferAndRefusesWhileRunning)
{
    imaqhost::VideoInput& input = openFirst();
    BackgroundAcquisition acquisition(input);
    acquisition.start(3);
    ASSERT_TRUE(acquisition.wait(5s));
    acquisition.start(BackgroundAcquisition::kUnlimitedFrames);
    EXPECT_THROW(acquisition.start(1), imaqhost::HostError);
    acquisition.stop();
    EXPECT_FALSE(acquisition.counts().logging);
    const auto counts = acquisition.counts();
    EXPECT_EQ(counts.available, counts.acquired);
    EXPECT_EQ(indices(acquisition, 1), (std::vector<std::int64_t>{0}));
    EXPECT_THROW(acquisition.start(0), imaqhost::HostError);
}

TEST_F(StreamingBackgroundAcquisition, PropertyCallsWhileRunningGoThroughTheAcquisitionThread)
{
    imaqhost::VideoInput& input = openFirst();
    BackgroundAcquisition acquisition(input);
    acquisition.start(BackgroundAcquisition::kUnlimitedFrames);
    const auto names = input.propertyNames();
    for (int i = 0; i < 20; ++i)
        acquisition.withInput([&] {
            for (const auto& name : names)
                (void)input.get(name);
        });
    EXPECT_THROW(acquisition.withInput([&] { input.set("NoSuchProperty", std::int32_t{1}); }), imaqhost::HostError);
    acquisition.peekData(2, [](const imaqhost::FrameView& frame) { EXPECT_GT(frame.bytes, 0u); });
    acquisition.stop();
    EXPECT_TRUE(acquisition.wait(0ms));
}

TEST_F(StreamingBackgroundAcquisition, BoundedBufferCountsTheSurplus)
{
    imaqhost::VideoInput& input = openFirst();
    BackgroundAcquisition acquisition(input, 4);
    acquisition.start(10);
    ASSERT_TRUE(acquisition.wait(5s));
    const auto counts = acquisition.counts();
    EXPECT_EQ(counts.available, 4);
    EXPECT_EQ(counts.acquired + counts.overrun, 10);
    acquisition.flushData();
    EXPECT_EQ(acquisition.counts().available, 0);
}

TEST_F(StreamingBackgroundAcquisition, RefusedStartIsAnErrorOfStart)
{
    auto camera = smallCamera("Bench Mono");
    camera.faults.refuseLive = true;
    install({camera});
    imaqhost::VideoInput& input = openFirst();
    BackgroundAcquisition acquisition(input);
    imaqhost::clearWarnings();
    EXPECT_THROW(acquisition.start(3), imaqhost::HostError);
    EXPECT_FALSE(acquisition.counts().logging);
    EXPECT_EQ(acquisition.counts().acquired, 0);
}

TEST_F(StreamingBackgroundAcquisition, DestroyingWhileRunningJoinsTheThread)
{
    imaqhost::VideoInput& input = openFirst();
    {
        BackgroundAcquisition acquisition(input);
        acquisition.start(BackgroundAcquisition::kUnlimitedFrames);
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_FALSE(input.isAcquisitionActive());
    EXPECT_EQ(vexcam::runningStreams(), 0);
}

} // namespace
