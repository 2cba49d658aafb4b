// The acquisition flow: N frames reach the consumer on the calling thread,
// while a thread of the host's stops capture once the Nth frame has arrived.
#include "host_test.h"
#include "imaqhost/testing/video_input_inspector.h"

#include "imaqhost/host_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

namespace hosttest {
namespace {

using imaqhost::AcquisitionEnd;
using namespace std::chrono_literals;

class AcquisitionTest : public HostTest {};

// The whole flow of one acquisition, as the adaptor and the consumer see it.
TEST_F(AcquisitionTest, StreamingDeliversTheFramesThenStopsFromTheHostThread)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    const auto hostThread = std::this_thread::get_id();
    std::vector<std::int64_t> indices;
    std::vector<double> stamps;
    const auto stats = input->acquire(20, [&](const imaqhost::FrameView& frame) {
        EXPECT_EQ(std::this_thread::get_id(), hostThread);
        indices.push_back(frame.index);
        stamps.push_back(frame.time);
    });

    EXPECT_EQ(stats.end, AcquisitionEnd::Completed);
    EXPECT_EQ(stats.requested, 20);
    EXPECT_EQ(stats.received, 20);
    EXPECT_EQ(stats.counted, 20);
    EXPECT_EQ(stats.excess, 0);
    EXPECT_EQ(stats.refused, 0);
    ASSERT_EQ(indices.size(), 20u);
    EXPECT_EQ(indices.back(), 19);
    ASSERT_EQ(stamps.size(), 20u);
    EXPECT_TRUE(std::is_sorted(stamps.begin(), stamps.end()));
    EXPECT_EQ(stats.firstTime, stamps.front());
    EXPECT_EQ(stats.lastTime, stamps.back());
    EXPECT_GT(stats.measuredRate, 0.0);
    EXPECT_LE(stats.startedAt, stats.firstTime);
    EXPECT_GE(stats.endedAt, stats.lastTime);

    EXPECT_EQ(log().starts.load(), 1);
    EXPECT_TRUE(log().activeAtStart);
    EXPECT_FALSE(log().runningAtStart);
    EXPECT_EQ(log().stops.load(), 1);
    EXPECT_TRUE(log().activeAtStop);
    ASSERT_EQ(log().stopThreads.size(), 1u);
    ASSERT_EQ(log().deliveryThreads.size(), 1u);
    EXPECT_NE(log().stopThreads[0], log().deliveryThreads[0]);
    EXPECT_FALSE(input->isAcquisitionActive());
    EXPECT_FALSE(input->isCaptureRunning());
    EXPECT_EQ(input->framesDelivered(), 20);
    EXPECT_EQ(input->lastAcquisition().received, 20);
}

// Frames the adaptor asks about after the Nth are not wanted.
TEST_F(AcquisitionTest, StreamingSendFrameAnswersFalseOnceEnoughArrived)
{
    config().framePeriod = 0us;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    const auto stats = input->acquire(3, [](const imaqhost::FrameView&) {
        std::this_thread::sleep_for(5ms);
    });
    EXPECT_EQ(stats.received, 3);
    EXPECT_EQ(log().framesSent.load(), 3);
    // Capture stops as soon as the third frame is in, so whether the camera
    // asked again before the stop depends on timing; after it, the answer is no.
    EXPECT_FALSE(fakeOf(*input).manager()->isSendFrame());
}

// A refused start ends the acquisition at once, without a stop.
TEST_F(AcquisitionTest, RefusedStartEndsTheAcquisition)
{
    config().refuseStart = true;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    const auto stats = input->acquire(5);
    EXPECT_EQ(stats.end, AcquisitionEnd::StartRefused);
    EXPECT_EQ(stats.received, 0);
    EXPECT_EQ(log().stops.load(), 0);
    EXPECT_FALSE(input->isAcquisitionActive());
}

TEST_F(AcquisitionTest, StreamingSilentCaptureEndsAfterTheTimeout)
{
    config().deliver = false;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    const auto stats = input->acquire(5, {}, 50ms);
    EXPECT_EQ(stats.end, AcquisitionEnd::Timeout);
    EXPECT_GE(stats.endedAt - stats.startedAt, 0.05);
    EXPECT_EQ(log().stops.load(), 1);
    EXPECT_TRUE(log().activeAtStop);
}

// Frames of a fast burst after which the camera falls silent reach the
// consumer at once, not only when the timeout ends the acquisition.
TEST_F(AcquisitionTest, StreamingBurstBeforeSilenceIsPassedOnPromptly)
{
    config().framePeriod = std::chrono::microseconds{0};
    config().lockstep = true;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    std::vector<double> delays;
    const auto stats = input->acquire(10, [&](const imaqhost::FrameView& frame) {
        delays.push_back(imaqkit::getCurrentTime() - frame.time);
        if (frame.index == 0)
            for (int i = 0; i < 5; ++i) grantFrame();
    }, 500ms);
    EXPECT_EQ(stats.end, AcquisitionEnd::Timeout);
    EXPECT_EQ(stats.received, 6);
    ASSERT_EQ(delays.size(), 6u);
    for (double delay : delays) EXPECT_LT(delay, 0.1);
}

// The consumer takes a frame and readies its wait for the next one before it
// handles the frame: frames, and the end of capture, that come while it is
// busy wake that wait at once. A hang here would last the 10 s timeout.
TEST_F(AcquisitionTest, StreamingSlowConsumerSeesTheEndWithoutWaitingForMore)
{
    for (const std::int64_t frames : {1, 3}) {
        SCOPED_TRACE(frames);
        reset();
        config().framePeriod = 5ms;
        imaqhost::Session session(fakeEntryPoints());
        auto input = openFake(session);
        int taken = 0;
        const auto started = imaqkit::getCurrentTime();
        const auto stats = input->acquire(frames, [&](const imaqhost::FrameView&) {
            ++taken;
            std::this_thread::sleep_for(100ms); // capture ends meanwhile
        }, 10s);
        EXPECT_EQ(stats.end, AcquisitionEnd::Completed);
        EXPECT_EQ(taken, frames);
        EXPECT_LT(imaqkit::getCurrentTime() - started, 5.0);
    }
}

// The idle timeout counts from the last frame's arrival. An adaptor's stamp
// that cannot be that moment (none, or far in the future) neither ends the
// acquisition early nor keeps it from ending once the camera falls silent.
TEST_F(AcquisitionTest, StreamingTimeoutFollowsTheLastFrameWhateverItsStamp)
{
    for (const double badStamp : {-1.0, 0.0, 1.0e12}) {
        SCOPED_TRACE(badStamp);
        reset();
        config().framePeriod = 20ms;
        config().stamp = [badStamp] { return badStamp; };
        imaqhost::Session session(fakeEntryPoints());
        auto input = openFake(session);
        // Frames keep coming for longer than the timeout: only their
        // arrivals can keep the acquisition alive that long.
        int taken = 0;
        const auto started = imaqkit::getCurrentTime();
        const auto stats = input->acquire(12, [&](const imaqhost::FrameView&) { ++taken; }, 150ms);
        const double took = imaqkit::getCurrentTime() - started;
        EXPECT_EQ(stats.end, AcquisitionEnd::Completed);
        EXPECT_EQ(taken, 12);
        EXPECT_GE(took, 0.2);
    }
}

TEST_F(AcquisitionTest, StreamingSilenceAfterBadlyStampedFramesEndsWithinTwoTimeouts)
{
    config().framePeriod = 0us;
    config().lockstep = true;
    config().stamp = [] { return 0.0; };
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    double lastArrival = 0.0;
    const auto stats = input->acquire(10, [&](const imaqhost::FrameView& frame) {
        lastArrival = imaqkit::getCurrentTime();
        if (frame.index < 2) grantFrame();
    }, 100ms);
    EXPECT_EQ(stats.end, AcquisitionEnd::Timeout);
    EXPECT_EQ(stats.received, 3);
    EXPECT_GE(stats.endedAt - lastArrival, 0.1 - 0.01);
    EXPECT_LT(stats.endedAt - lastArrival, 0.2 + 0.1);
}

// The adaptor reports a lost device only by a warning; the host ends the
// acquisition and stops capture from its own thread.
TEST_F(AcquisitionTest, StreamingLostDeviceWarningEndsTheAcquisition)
{
    config().loseDeviceAfter = 2;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    const auto stats = input->acquire(10, {}, 5s);
    EXPECT_EQ(stats.end, AcquisitionEnd::DeviceLost);
    EXPECT_EQ(stats.received, 2);
    EXPECT_LT(stats.endedAt - stats.startedAt, 4.0);
    ASSERT_EQ(log().stopThreads.size(), 1u);
    ASSERT_EQ(log().deliveryThreads.size(), 1u);
    EXPECT_NE(log().stopThreads[0], log().deliveryThreads[0]);
    ASSERT_EQ(imaqhost::warnings().size(), 1u);
    EXPECT_EQ(imaqhost::warnings()[0].message, "The device is lost.");
}

// Frames the host refuses are counted; the acquisition still completes.
TEST_F(AcquisitionTest, StreamingRefusedFramesAreCounted)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    imaqhost::failNextMakeFrames(3);
    const auto stats = input->acquire(4);
    EXPECT_EQ(stats.end, AcquisitionEnd::Completed);
    EXPECT_EQ(stats.refused, 3);
    EXPECT_EQ(log().framesRefused.load(), 3);
    EXPECT_EQ(stats.received, 4);
}

// A source change during an acquisition halts and restarts capture through
// the adaptor manager, with "running" false before the restart asks.
TEST_F(AcquisitionTest, StreamingSourceChangeRestartsCapture)
{
    config().sources = {"input1", "input2"};
    // Slow enough that capture still runs when the consumer sees frame 2.
    config().framePeriod = 20ms;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    const auto stats = input->acquire(6, [&](const imaqhost::FrameView& frame) {
        if (frame.index == 2) input->selectSource("input2");
    });
    EXPECT_EQ(stats.end, AcquisitionEnd::Completed);
    EXPECT_EQ(stats.received, 6);
    EXPECT_EQ(log().starts.load(), 2);
    EXPECT_FALSE(log().runningAtStart);
    EXPECT_EQ(log().stops.load(), 2); // the halt and the end
}

// Outside an acquisition the manager's halt and restart do nothing.
TEST_F(AcquisitionTest, HaltAndRestartNeedAnActiveAcquisition)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    imaqkit::IAdaptorManager* manager = fakeOf(*input).manager();
    EXPECT_FALSE(manager->haltCapture());
    EXPECT_FALSE(manager->restartCapture());
    EXPECT_FALSE(manager->isSendFrame());
    EXPECT_EQ(log().starts.load(), 0);
    EXPECT_EQ(log().stops.load(), 0);
}

// A consumer that throws still leaves capture stopped and every frame home.
TEST_F(AcquisitionTest, StreamingConsumerFailureStillStopsCapture)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    EXPECT_THROW(input->acquire(5,
                                [](const imaqhost::FrameView& frame) {
                                    if (frame.index == 1) throw std::runtime_error("disk full");
                                }),
                 std::runtime_error);
    EXPECT_EQ(log().stops.load(), 1);
    EXPECT_FALSE(input->isAcquisitionActive());
    // The next acquisition works as if nothing happened.
    EXPECT_EQ(input->acquire(2).end, AcquisitionEnd::Completed);
}

TEST_F(AcquisitionTest, AcquisitionNeedsAtLeastOneFrame)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    EXPECT_THROW(input->acquire(0), imaqhost::HostError);
    EXPECT_EQ(log().starts.load(), 0);
}

// The host's region store: the adaptor base forwards to it; a region must
// lie inside the image and the store refuses anything else.
TEST_F(AcquisitionTest, RegionStoreKeepsOnlyRegionsInsideTheImage)
{
    config().width = 64;
    config().height = 48;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    EXPECT_EQ(input->region(), (imaqhost::Region{0, 0, 64, 48}));

    input->setRegion({8, 4, 32, 16});
    EXPECT_EQ(input->region(), (imaqhost::Region{8, 4, 32, 16}));

    EXPECT_THAT([&] { input->setRegion({40, 0, 32, 16}); },
                ::testing::ThrowsMessage<imaqhost::HostError>(
                    "Region [40, 0, 32, 16] does not fit the 64x48 image."));
    imaqkit::IAdaptor& adaptor = imaqhost::inspect(*input).adaptor();
    EXPECT_FALSE(adaptor.setROI(-1, 0, 8, 8));
    EXPECT_FALSE(adaptor.setROI(0, 0, 0, 8));
    EXPECT_FALSE(adaptor.setROI(2147483647, 0, 8, 8));
    EXPECT_FALSE(adaptor.setROI(0, 40, 8, 9));
    EXPECT_TRUE(adaptor.setROI(0, 40, 8, 8));
    EXPECT_EQ(input->region(), (imaqhost::Region{0, 40, 8, 8}));
}

} // namespace
} // namespace hosttest
