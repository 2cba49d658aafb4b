// The host's frame buffer and background acquisition: capture ends when the
// last requested frame has been logged, however slow the consumer; frames
// wait in a bounded buffer, and what the bound keeps out is counted as overrun.
#include "host_test.h"

#include "imaqhost/host_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace hosttest {
namespace {

using imaqhost::AcquisitionEnd;
using imaqhost::FrameView;
using imaqhost::HostError;
using imaqhost::VideoInput;
using ::testing::HasSubstr;
using namespace std::chrono_literals;

class FrameBufferTest : public HostTest {
protected:
    // Polls until the condition holds or two seconds passed.
    template <class Condition>
    static bool eventually(Condition condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    }

    static std::vector<std::int64_t> take(VideoInput& input, std::int64_t frames)
    {
        std::vector<std::int64_t> indices;
        input.getData(frames, [&](const FrameView& frame) { indices.push_back(frame.index); }, 1s);
        return indices;
    }
};

// A consumer far slower than the camera does not keep capture running.
TEST_F(FrameBufferTest, StreamingCaptureStopsAtTheLastFrameNotWhenTheConsumerCaughtUp)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    bool stoppedWhileConsuming = false;
    std::vector<std::int64_t> indices;
    const auto stats = input->acquire(10, [&](const FrameView& frame) {
        if (frame.index == 0)
            stoppedWhileConsuming = eventually([&] { return log().stops.load() == 1; });
        indices.push_back(frame.index);
    });
    EXPECT_TRUE(stoppedWhileConsuming);
    EXPECT_EQ(stats.end, AcquisitionEnd::Completed);
    EXPECT_EQ(stats.received, 10);
    EXPECT_EQ(stats.consumed, 10);
    EXPECT_EQ(stats.overrun, 0);
    EXPECT_EQ(indices, (std::vector<std::int64_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(log().stops.load(), 1);
}

// start, wait, getData, peekData and flushData as the host's own functions.
TEST_F(FrameBufferTest, StreamingBackgroundAcquisitionKeepsFramesUntilTaken)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->start(5);
    ASSERT_TRUE(input->wait(2s));
    EXPECT_FALSE(input->isLogging());
    EXPECT_FALSE(input->isCaptureRunning());
    EXPECT_EQ(input->framesAcquired(), 5);
    EXPECT_EQ(input->framesAvailable(), 5);
    EXPECT_EQ(log().stops.load(), 1);

    EXPECT_EQ(take(*input, 2), (std::vector<std::int64_t>{0, 1}));
    std::vector<std::int64_t> newest;
    input->peekData(2, [&](const FrameView& frame) { newest.push_back(frame.index); });
    EXPECT_EQ(newest, (std::vector<std::int64_t>{3, 4}));
    EXPECT_EQ(input->framesAvailable(), 3);

    // Asking for more than the ended acquisition has removes nothing.
    try {
        input->getData(4, {}, 10ms);
        ADD_FAILURE() << "getData of 4 frames out of 3 succeeded";
    } catch (const HostError& error) {
        EXPECT_THAT(error.what(), HasSubstr("completed"));
        EXPECT_THAT(error.what(), HasSubstr("3 frames available"));
    }
    EXPECT_EQ(input->framesAvailable(), 3);
    EXPECT_EQ(take(*input, 3), (std::vector<std::int64_t>{2, 3, 4}));

    const auto stats = input->statistics();
    EXPECT_EQ(stats.received, 5);
    EXPECT_EQ(stats.consumed, 5);
    EXPECT_EQ(stats.available, 0);
    EXPECT_EQ(stats.bufferLimitFrames, imaqhost::kDefaultBufferFrames);
}

// An unlimited acquisition runs until stop; the frames stay for the user,
// and the next start begins afresh.
TEST_F(FrameBufferTest, StreamingUnlimitedAcquisitionRunsUntilStopped)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->start(VideoInput::kUnlimitedFrames);
    EXPECT_TRUE(input->isLogging());
    ASSERT_TRUE(eventually([&] { return input->framesAcquired() >= 3; }));
    EXPECT_FALSE(input->wait(1ms));
    EXPECT_THROW(input->start(2), HostError);
    input->stop();
    EXPECT_FALSE(input->isLogging());
    const auto stats = input->statistics();
    EXPECT_EQ(stats.end, AcquisitionEnd::Stopped);
    EXPECT_EQ(stats.available, stats.received);
    EXPECT_GE(stats.received, 3);
    EXPECT_EQ(log().stops.load(), 1);
    input->stop(); // a second stop does nothing

    input->start(2);
    ASSERT_TRUE(input->wait(2s));
    EXPECT_EQ(take(*input, 2), (std::vector<std::int64_t>{0, 1}));
}

// A full buffer keeps further frames out and counts them; they do not count
// towards the request, so logging resumes once frames were taken.
TEST_F(FrameBufferTest, StreamingFullBufferCountsOverrunAndResumesWhenDrained)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setBufferLimit(3);
    input->start(5);
    ASSERT_TRUE(eventually([&] { return input->statistics().overrun > 0; }));
    EXPECT_EQ(input->framesAcquired(), 3);
    EXPECT_TRUE(input->isLogging());
    EXPECT_EQ(take(*input, 3), (std::vector<std::int64_t>{0, 1, 2}));
    ASSERT_TRUE(input->wait(2s));
    EXPECT_EQ(take(*input, 2), (std::vector<std::int64_t>{3, 4}));
    const auto stats = input->statistics();
    EXPECT_EQ(stats.received, 5);
    EXPECT_GT(stats.overrun, 0);
    EXPECT_EQ(stats.end, AcquisitionEnd::Completed);
}

// The bound in bytes applies as well as the one in frames.
TEST_F(FrameBufferTest, StreamingBufferBoundInBytes)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    const std::size_t frameBytes = static_cast<std::size_t>(config().width * config().height);
    input->setBufferLimit(100, 2 * frameBytes + 1);
    input->start(VideoInput::kUnlimitedFrames);
    ASSERT_TRUE(eventually([&] { return input->statistics().overrun > 2; }));
    input->stop();
    EXPECT_EQ(input->framesAvailable(), 2);
    EXPECT_THROW(input->setBufferLimit(0), HostError);
}

// acquire with a consumer the buffer cannot absorb still delivers every
// requested frame, numbered without gaps, and counts the overrun.
TEST_F(FrameBufferTest, StreamingSlowConsumerWithSmallBufferGetsEveryRequestedFrame)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setBufferLimit(2);
    std::vector<std::int64_t> indices;
    // Each frame takes the consumer a hundred camera periods: the two-frame
    // buffer fills however the threads are scheduled.
    const auto stats = input->acquire(6, [&](const FrameView& frame) {
        indices.push_back(frame.index);
        std::this_thread::sleep_for(20ms);
    });
    EXPECT_EQ(stats.end, AcquisitionEnd::Completed);
    EXPECT_EQ(indices, (std::vector<std::int64_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_GT(stats.overrun, 0);
}

// Refusals and misuse of the background functions are HostErrors.
TEST_F(FrameBufferTest, StartRefusalsAndBadCountsAreErrors)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    EXPECT_THROW(input->start(0), HostError);
    EXPECT_THROW(input->getData(0, {}), HostError);
    config().refuseStart = true;
    EXPECT_THROW(input->start(3), HostError);
    EXPECT_FALSE(input->isLogging());
    EXPECT_EQ(input->statistics().end, AcquisitionEnd::StartRefused);
    EXPECT_EQ(log().stops.load(), 0);
}

// getData waits only as long as asked, and says why frames will not come.
TEST_F(FrameBufferTest, StreamingGetDataTimesOutOrReportsTheLostDevice)
{
    config().deliver = false;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->start(2);
    EXPECT_THAT([&] { input->getData(1, {}, 20ms); },
                testing::ThrowsMessage<HostError>(HasSubstr("Timed out waiting for 1 frame")));
    input->stop();

    config().deliver = true;
    config().loseDeviceAfter = 2;
    input->start(10);
    ASSERT_TRUE(input->wait(2s));
    EXPECT_THAT([&] { input->getData(3, {}, 1s); },
                testing::ThrowsMessage<HostError>(HasSubstr("device lost")));
    EXPECT_EQ(input->framesAvailable(), 2);
}

// A consumer that throws in getData loses only the frames it was handed.
TEST_F(FrameBufferTest, StreamingConsumerFailureInGetDataLeavesTheRest)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->start(4);
    ASSERT_TRUE(input->wait(2s));
    EXPECT_THROW(input->getData(2, [](const FrameView&) { throw std::runtime_error("full"); }),
                 std::runtime_error);
    EXPECT_EQ(take(*input, 2), (std::vector<std::int64_t>{2, 3}));
}

// Deleting a video input while it acquires stops capture and joins the host's
// threads; the fixture proves that every frame went home.
TEST_F(FrameBufferTest, StreamingDeletingTheInputStopsItsAcquisition)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->start(VideoInput::kUnlimitedFrames);
    ASSERT_TRUE(eventually([&] { return input->framesAcquired() >= 2; }));
    input.reset();
    EXPECT_EQ(log().stops.load(), 1);
}

// Property and region traffic from the user's thread while the host's
// threads deliver, log and stop: the races the thread sanitizer looks for.
TEST_F(FrameBufferTest, StreamingPropertyCallsDuringABackgroundAcquisition)
{
    config().sources = {"input1", "input2"};
    config().declare = [](imaqkit::IPropFactory* factory) {
        auto handle = factory->newIntRangeProperty("Brightness", 0, 255, 128, 1);
        factory->setReadOnlyMode(handle, "never");
        factory->publishProperty(handle);
    };
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->start(200);
    std::int64_t taken = 0;
    for (int round = 0; input->isLogging() || input->framesAvailable() > 0; ++round) {
        input->set("Brightness", std::int32_t{round % 256});
        EXPECT_EQ(std::get<std::int32_t>(input->get("Brightness")), round % 256);
        EXPECT_EQ(input->region().width, config().width);
        input->selectSource(round % 2 ? "input2" : "input1");
        static_cast<void>(input->statistics());
        if (input->framesAvailable() > 0) {
            input->getData(1, [&](const FrameView& frame) { EXPECT_EQ(frame.index, taken); });
            ++taken;
        }
    }
    EXPECT_TRUE(input->wait(1s));
    EXPECT_EQ(taken, 200);
}

} // namespace
} // namespace hosttest
