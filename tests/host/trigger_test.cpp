// Triggers as the toolbox defines them: immediate and manual triggers,
// frames per trigger, repeats, frame delay and grab interval, the metadata
// of every logged frame and the events of the acquisition.
#include "host_test.h"

#include "imaqhost/host_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

namespace hosttest {
namespace {

using imaqhost::AcquisitionEnd;
using imaqhost::EventType;
using imaqhost::kInfinite;
using imaqhost::TriggerSettings;
using imaqhost::TriggerType;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using namespace std::chrono_literals;

TriggerSettings settings(TriggerType type, std::int64_t framesPerTrigger, std::int64_t repeat,
                         std::int64_t delay = 0, std::int64_t interval = 1)
{
    return {type, framesPerTrigger, repeat, delay, interval};
}

// What a test keeps of a frame taken out of the buffer.
struct Taken {
    imaqhost::FrameMetadata meta;
    std::uint32_t cameraFrame = 0; // stamped by the fake
    double stamp = 0.0;
};

std::vector<Taken> takeAll(imaqhost::VideoInput& input)
{
    std::vector<Taken> taken;
    const auto available = input.framesAvailable();
    if (available == 0) return taken;
    input.getData(available, [&](const imaqhost::FrameView& frame) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) number = (number << 8) | frame.pixels[i];
        taken.push_back({frame.meta, number, frame.time});
    });
    return taken;
}

std::vector<EventType> typesOf(const std::vector<imaqhost::AcquisitionEvent>& events)
{
    std::vector<EventType> types;
    for (const auto& event : events) types.push_back(event.type);
    return types;
}

// Waits for a condition that the delivery thread brings about.
template <typename Condition>
bool eventually(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Counts that multiply beyond 64 bits, or any Inf, mean no end.
TEST(TriggerSettingsTest, RequestedFramesAreInfiniteWhenAnyCountIs)
{
    const auto requested = [](const TriggerSettings& wanted) {
        config().deliver = false;
        imaqhost::Session session(fakeEntryPoints());
        auto input = session.open(std::int32_t{1}, std::int32_t{1});
        input->setTriggerSettings(wanted);
        input->start();
        const auto count = input->statistics().requested;
        input->stop();
        return count;
    };
    reset();
    EXPECT_EQ(requested(settings(TriggerType::Manual, 3, 2)), 9);
    EXPECT_EQ(requested(settings(TriggerType::Manual, kInfinite, 2)), kInfinite);
    EXPECT_EQ(requested(settings(TriggerType::Manual, 3, kInfinite)), kInfinite);
    EXPECT_EQ(requested(settings(TriggerType::Manual, std::int64_t{1} << 40, std::int64_t{1} << 40)), kInfinite);
    EXPECT_EQ(requested(settings(TriggerType::Manual, 1, INT64_MAX)), kInfinite);
    reset();
}

// Settings out of range are refused with the property's name.
TEST(TriggerSettingsTest, InvalidSettingsNameTheProperty)
{
    const auto message = [](const TriggerSettings& bad) {
        try {
            imaqhost::validate(bad);
        } catch (const imaqhost::HostError& error) {
            return std::string(error.what());
        }
        return std::string("accepted");
    };
    EXPECT_THAT(message(settings(TriggerType::Immediate, 0, 0)), ::testing::HasSubstr("FramesPerTrigger"));
    EXPECT_THAT(message(settings(TriggerType::Immediate, 1, -2)), ::testing::HasSubstr("TriggerRepeat"));
    EXPECT_THAT(message(settings(TriggerType::Immediate, 1, 0, -1)), ::testing::HasSubstr("TriggerFrameDelay"));
    EXPECT_THAT(message(settings(TriggerType::Immediate, 1, 0, 0, 0)), ::testing::HasSubstr("FrameGrabInterval"));
    EXPECT_EQ(message(settings(TriggerType::Immediate, kInfinite, kInfinite)), "accepted");
}

class TriggerTest : public HostTest {};

struct Combination {
    TriggerType type;
    std::int64_t framesPerTrigger;
    std::int64_t repeat;
};

class TriggerCountTest : public HostTest, public ::testing::WithParamInterface<Combination> {};

// Every combination logs (repeat + 1) triggers of N frames, numbered
// within the acquisition and within each trigger, and stops by itself.
TEST_P(TriggerCountTest, StreamingLogsEachTriggerThenStopsByItself)
{
    const Combination c = GetParam();
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setTriggerSettings(settings(c.type, c.framesPerTrigger, c.repeat));
    input->start();
    if (c.type == TriggerType::Manual) {
        for (std::int64_t t = 0; t <= c.repeat; ++t) {
            // Until the trigger nothing is logged, however long the camera streams.
            std::this_thread::sleep_for(2ms);
            EXPECT_EQ(input->framesAcquired(), t * c.framesPerTrigger);
            ASSERT_TRUE(eventually([&] { return !input->isLogging(); }));
            input->trigger();
            ASSERT_TRUE(eventually([&] { return input->framesAcquired() == (t + 1) * c.framesPerTrigger; }));
        }
    }
    ASSERT_TRUE(input->wait(5s));
    const auto stats = input->statistics();
    EXPECT_EQ(stats.end, AcquisitionEnd::Completed);
    EXPECT_EQ(stats.triggersExecuted, c.repeat + 1);
    EXPECT_EQ(input->triggersExecuted(), c.repeat + 1);
    EXPECT_THAT(stats.framesPerTrigger,
                ElementsAreArray(std::vector<std::int64_t>(static_cast<std::size_t>(c.repeat + 1), c.framesPerTrigger)));
    const auto frames = takeAll(*input);
    ASSERT_EQ(static_cast<std::int64_t>(frames.size()), c.framesPerTrigger * (c.repeat + 1));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const auto n = static_cast<std::int64_t>(i);
        EXPECT_EQ(frames[i].meta.frameNumber, n + 1);
        EXPECT_EQ(frames[i].meta.triggerIndex, n / c.framesPerTrigger + 1);
        EXPECT_EQ(frames[i].meta.relativeFrame, n % c.framesPerTrigger + 1);
    }
    EXPECT_FALSE(input->isAcquisitionActive());
}

INSTANTIATE_TEST_SUITE_P(Counts, TriggerCountTest,
                         ::testing::Values(Combination{TriggerType::Immediate, 1, 0},
                                           Combination{TriggerType::Immediate, 4, 0},
                                           Combination{TriggerType::Immediate, 3, 2},
                                           Combination{TriggerType::Immediate, 1, 5},
                                           Combination{TriggerType::Manual, 1, 0},
                                           Combination{TriggerType::Manual, 3, 2},
                                           Combination{TriggerType::Manual, 2, 4}),
                         [](const auto& info) {
                             return std::string(imaqhost::toString(info.param.type)) + "_" +
                                    std::to_string(info.param.framesPerTrigger) + "x" +
                                    std::to_string(info.param.repeat + 1);
                         });

// Inf repeats keep triggering until stop; every whole trigger holds its N frames.
TEST_F(TriggerTest, StreamingInfiniteRepeatsRunUntilStop)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setTriggerSettings(settings(TriggerType::Immediate, 2, kInfinite));
    input->start();
    ASSERT_TRUE(eventually([&] { return input->triggersExecuted() >= 4; }));
    EXPECT_TRUE(input->isAcquisitionActive());
    input->stop();
    const auto stats = input->statistics();
    EXPECT_EQ(stats.end, AcquisitionEnd::Stopped);
    EXPECT_EQ(stats.requested, kInfinite);
    ASSERT_GE(stats.framesPerTrigger.size(), 4u);
    for (std::size_t i = 0; i + 1 < stats.framesPerTrigger.size(); ++i) EXPECT_EQ(stats.framesPerTrigger[i], 2);
    EXPECT_LE(stats.framesPerTrigger.back(), 2);
    EXPECT_EQ(static_cast<std::int64_t>(takeAll(*input).size()), stats.received);
}

// Inf frames per trigger in manual mode: one trigger logs until stop, and a
// second trigger while it logs is an error.
TEST_F(TriggerTest, StreamingInfiniteFramesPerTriggerLogUntilStop)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setTriggerSettings(settings(TriggerType::Manual, kInfinite, 0));
    input->start();
    input->trigger();
    ASSERT_TRUE(eventually([&] { return input->framesAcquired() >= 5; }));
    EXPECT_THROW(input->trigger(), imaqhost::HostError);
    input->stop();
    EXPECT_EQ(input->statistics().end, AcquisitionEnd::Stopped);
    EXPECT_EQ(input->statistics().triggersExecuted, 1);
}

// A trigger while not running, or by hand in immediate mode, is an error
// that says why; settings cannot change while running.
TEST_F(TriggerTest, StreamingTriggerMisuseIsAClearError)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setTriggerSettings(settings(TriggerType::Manual, 2, 0));
    try {
        input->trigger();
        ADD_FAILURE() << "a trigger before start was accepted";
    } catch (const imaqhost::HostError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("running"));
    }
    input->setTriggerSettings(settings(TriggerType::Immediate, kInfinite, 0));
    input->start();
    try {
        input->trigger();
        ADD_FAILURE() << "a manual trigger in immediate mode was accepted";
    } catch (const imaqhost::HostError& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("manual"));
    }
    EXPECT_THROW(input->setTriggerSettings(settings(TriggerType::Manual, 1, 0)), imaqhost::HostError);
    input->stop();
    EXPECT_THROW(input->trigger(), imaqhost::HostError);
    EXPECT_EQ(input->triggerSettings(), settings(TriggerType::Immediate, kInfinite, 0));
}

// Frame delay and grab interval pick camera frames 2, 4, 6 after the first
// trigger and, counting again, 9, 11, 13 after the second.
TEST_F(TriggerTest, StreamingDelayAndGrabIntervalSkipCameraFrames)
{
    config().stampFrameNumber = true;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setTriggerSettings(settings(TriggerType::Immediate, 3, 1, 2, 2));
    input->start();
    ASSERT_TRUE(input->wait(5s));
    std::vector<std::uint32_t> cameraFrames;
    for (const Taken& taken : takeAll(*input)) cameraFrames.push_back(taken.cameraFrame);
    EXPECT_THAT(cameraFrames, ElementsAre(2u, 4u, 6u, 9u, 11u, 13u));
    EXPECT_EQ(input->statistics().skipped, 8);
}

// start(frames) keeps its meaning for existing callers and leaves the
// trigger settings alone.
TEST_F(TriggerTest, StreamingStartWithACountIsOneImmediateTrigger)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setTriggerSettings(settings(TriggerType::Manual, 7, 3));
    input->start(4);
    ASSERT_TRUE(input->wait(5s));
    EXPECT_EQ(input->statistics().received, 4);
    EXPECT_EQ(input->statistics().triggersExecuted, 1);
    EXPECT_EQ(input->triggerSettings(), settings(TriggerType::Manual, 7, 3));
}

// Times count from the first trigger: the frames of a manual acquisition
// come after it, the clock vectors agree with the relative times, and the
// adaptor's own stamp stays in the view.
TEST_F(TriggerTest, StreamingMetadataCountsFromTheFirstTrigger)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setTriggerSettings(settings(TriggerType::Manual, 3, 1));
    input->start();
    EXPECT_FALSE(input->initialTriggerTime());
    std::this_thread::sleep_for(20ms);
    input->trigger();
    ASSERT_TRUE(eventually([&] { return !input->isLogging(); }));
    std::this_thread::sleep_for(20ms);
    input->trigger();
    ASSERT_TRUE(input->wait(5s));
    const auto initial = input->initialTriggerTime();
    ASSERT_TRUE(initial);
    EXPECT_GE((*initial)[0], 2000.0);
    EXPECT_GE((*initial)[1], 1.0);
    EXPECT_LE((*initial)[1], 12.0);
    const auto frames = takeAll(*input);
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_GE(frames[0].meta.time, 0.0);
    EXPECT_LT(frames[0].meta.time, 1.0);
    // The second trigger came at least 20 ms after the first.
    EXPECT_GE(frames[3].meta.time, 0.02);
    for (std::size_t i = 1; i < frames.size(); ++i) {
        EXPECT_GT(frames[i].meta.time, frames[i - 1].meta.time);
        EXPECT_DOUBLE_EQ(frames[i].meta.time - frames[0].meta.time, frames[i].stamp - frames[0].stamp);
        // Same minute (almost always): the clock vector's seconds move with the time.
        const auto first = frames[0].meta.absTime();
        const auto clock = frames[i].meta.absTime();
        if (clock[4] == first[4]) {
            EXPECT_NEAR(clock[5] - first[5],
                        frames[i].meta.time - frames[0].meta.time, 1e-6);
        }
    }
}

// The log holds Start, one Trigger per trigger with the frame count at that
// moment, then Stop; the same events wait as notifications, in order.
TEST_F(TriggerTest, StreamingEventLogAndNotificationsInOrder)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setTriggerSettings(settings(TriggerType::Manual, 2, 1));
    input->setNotifications({2, 0.0});
    input->start();
    input->trigger();
    ASSERT_TRUE(eventually([&] { return !input->isLogging(); }));
    input->trigger();
    ASSERT_TRUE(input->wait(5s));
    const auto log = input->eventLog();
    EXPECT_THAT(typesOf(log), ElementsAre(EventType::Start, EventType::Trigger, EventType::Trigger,
                                          EventType::Stop));
    EXPECT_EQ(log[1].triggerIndex, 1);
    EXPECT_EQ(log[1].frameNumber, 0);
    EXPECT_EQ(log[2].triggerIndex, 2);
    EXPECT_EQ(log[2].frameNumber, 2);
    EXPECT_EQ(log[3].frameNumber, 4);
    for (std::size_t i = 1; i < log.size(); ++i) EXPECT_GE(log[i].time, log[i - 1].time);
    const auto notes = input->takeNotifications();
    EXPECT_THAT(typesOf(notes),
                ElementsAre(EventType::Start, EventType::Trigger, EventType::FramesAcquired,
                            EventType::Trigger, EventType::FramesAcquired, EventType::Stop));
    EXPECT_EQ(notes[2].frameNumber, 2);
    EXPECT_EQ(notes[4].frameNumber, 4);
    EXPECT_TRUE(input->takeNotifications().empty());
    EXPECT_EQ(input->droppedNotifications(), 0);
}

// Timer notifications come while running, also while nothing is logged,
// and the front-end waits for them on its own thread.
TEST_F(TriggerTest, StreamingTimerNotificationsWhileRunning)
{
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setTriggerSettings(settings(TriggerType::Manual, 1, 0));
    input->setNotifications({0, 0.01});
    input->start();
    int timers = 0;
    while (timers < 3 && input->waitForNotification(2s))
        for (const auto& note : input->takeNotifications()) timers += note.type == EventType::Timer;
    input->stop();
    EXPECT_GE(timers, 3);
    const auto log = typesOf(input->eventLog());
    EXPECT_THAT(log, ElementsAre(EventType::Start, EventType::Stop)); // timers are not logged
    EXPECT_THROW(input->setNotifications({-1, 0.0}), imaqhost::HostError);
}

// A lost device ends the acquisition with an Error event before Stop.
TEST_F(TriggerTest, StreamingDeviceLossIsAnErrorEvent)
{
    config().loseDeviceAfter = 3;
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    input->setTriggerSettings(settings(TriggerType::Immediate, 10, 0));
    input->start();
    ASSERT_TRUE(input->wait(5s));
    const auto log = input->eventLog();
    EXPECT_THAT(typesOf(log), ElementsAre(EventType::Start, EventType::Trigger, EventType::Error,
                                          EventType::Stop));
    EXPECT_EQ(log[2].messageId, "imaqhost:deviceLost");
    EXPECT_EQ(log[2].frameNumber, 3);
    takeAll(*input);
}

} // namespace
} // namespace hosttest
