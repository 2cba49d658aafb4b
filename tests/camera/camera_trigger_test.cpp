// The simulated camera's own trigger: with Enable on, one frame per push of
// the software trigger; with it off, frames at the frame rate.
#include "camera_fixture.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace vexcam::test {
namespace {

using namespace std::chrono_literals;
using Vexlib::Grabber;

constexpr GUID kTriggerItem{0x7A7A7A7A, 0x0000, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};
constexpr GUID kPolarityElement{0x7A7A7A7A, 0x0000, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02}};
constexpr GUID kSoftwareElement{0x7A7A7A7A, 0x0000, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03}};

constexpr const char* kTriggerRig = R"json({"devices": [
  {"name": "Triggered", "formats": ["Y800 (32x16)"], "frameRates": {"default": [200]},
   "properties": [
     {"name": "Trigger", "id": "{7A7A7A7A-0000-4000-8000-000000000001}", "elements": [
       {"name": "Enable", "id": "Value", "switch": {"state": false}},
       {"name": "Polarity", "id": "{7A7A7A7A-0000-4000-8000-000000000002}", "switch": {"state": false}},
       {"name": "Software Trigger", "id": "{7A7A7A7A-0000-4000-8000-000000000003}", "button": {}}]}]},
  {"name": "Line Only", "formats": ["Y800 (32x16)"], "frameRates": {"default": [200]},
   "properties": [
     {"name": "Trigger", "id": "{7A7A7A7A-0000-4000-8000-000000000001}", "elements": [
       {"name": "Enable", "id": "Value", "switch": {"state": true}}]}]}
]})json";

// Counts the frames delivered and keeps their numbers.
class TriggeredFrames : public Vexlib::GrabberListener {
public:
    void frameReady(Grabber&, Vexlib::refcount_ptr<Vexlib::MemBuffer>, std::uint32_t frameNumber) override
    {
        {
            std::lock_guard lock(mutex_);
            numbers_.push_back(frameNumber);
        }
        changed_.notify_all();
    }

    bool waitFor(std::size_t count)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return numbers_.size() >= count; });
    }

    std::size_t count() const
    {
        std::lock_guard lock(mutex_);
        return numbers_.size();
    }

    std::vector<std::uint32_t> numbers() const
    {
        std::lock_guard lock(mutex_);
        return numbers_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::uint32_t> numbers_;
};

class CameraTriggerTest : public CameraTest {
protected:
    void SetUp() override
    {
        CameraTest::SetUp();
        useRig(kTriggerRig);
        setFreeRunning(true);
    }

    void open(const char* device)
    {
        ASSERT_TRUE(openDevice(grabber, device));
        ASSERT_TRUE(selectFormat(grabber, "Y800 (32x16)"));
        Vexlib::FrameHandlerSink::tCreateData data{};
        data.bufferCount = 4;
        const auto sink = Vexlib::FrameHandlerSink::create(data);
        ASSERT_TRUE(grabber.setSinkType(Vexlib::refcount_ptr_wrapper<Vexlib::GrabberSinkType>(sink)));
        sink->setSnapMode(false);
        ASSERT_TRUE(grabber.addListener(&frames, Vexlib::eFRAMEREADY));
    }

    void enable(bool on) { setSwitch(grabber, kTriggerItem, Vexlib::ValueElementId, on); }

    void push(int times = 1)
    {
        const auto button =
            propertyInterface<Vexlib::ButtonInterface>(grabber, kTriggerItem, kSoftwareElement, Vexlib::ButtonInterfaceId);
        ASSERT_TRUE(button);
        for (int i = 0; i < times; ++i) ASSERT_EQ(button->Push(), S_OK);
    }

    // The count once a frame that was already under way has had time to come.
    std::size_t settledCount()
    {
        std::this_thread::sleep_for(30ms);
        return frames.count();
    }

    // Nothing more arrives for a while (the camera, free-running, would send
    // dozens of frames in that time).
    void expectNoMoreThan(std::size_t count)
    {
        std::this_thread::sleep_for(60ms);
        EXPECT_EQ(frames.count(), count);
    }

    TriggeredFrames frames;
    Grabber grabber;
};

TEST_F(CameraTriggerTest, DisabledTriggerStreamsFreely)
{
    open("Triggered");
    ASSERT_TRUE(grabber.startLive(false));
    EXPECT_TRUE(frames.waitFor(10));
    EXPECT_TRUE(grabber.stopLive());
}

// Pushes before the stream starts are ignored; each push while streaming
// gives exactly one frame, numbered on from the last.
TEST_F(CameraTriggerTest, EnabledTriggerDeliversOneFramePerPush)
{
    open("Triggered");
    enable(true);
    push(2);
    ASSERT_TRUE(grabber.startLive(false));
    expectNoMoreThan(0);
    push();
    ASSERT_TRUE(frames.waitFor(1));
    push(3); // quicker than frames are made: each still gives its frame
    ASSERT_TRUE(frames.waitFor(4));
    expectNoMoreThan(4);
    EXPECT_EQ(frames.numbers(), (std::vector<std::uint32_t>{0, 1, 2, 3}));
    EXPECT_TRUE(grabber.stopLive());
}

// Switching the trigger on stops the stream at once; pushes made while it is
// off count for nothing; switching it off lets frames flow again.
TEST_F(CameraTriggerTest, TogglingMidStream)
{
    open("Triggered");
    ASSERT_TRUE(grabber.startLive(false));
    ASSERT_TRUE(frames.waitFor(5));
    enable(true);
    const std::size_t held = settledCount();
    expectNoMoreThan(held);
    push(2);
    ASSERT_TRUE(frames.waitFor(held + 2));
    expectNoMoreThan(held + 2);

    enable(false);
    ASSERT_TRUE(frames.waitFor(held + 12));
    push(3); // while off: ignored
    enable(true);
    const std::size_t heldAgain = settledCount();
    expectNoMoreThan(heldAgain);
    push();
    ASSERT_TRUE(frames.waitFor(heldAgain + 1));
    expectNoMoreThan(heldAgain + 1);
    EXPECT_TRUE(grabber.stopLive());
}

// Polarity would select a line's edge; a software trigger fires either way.
TEST_F(CameraTriggerTest, PolarityDoesNotChangeTheSoftwareTrigger)
{
    open("Triggered");
    enable(true);
    setSwitch(grabber, kTriggerItem, kPolarityElement, true);
    ASSERT_TRUE(grabber.startLive(false));
    push();
    ASSERT_TRUE(frames.waitFor(1));
    setSwitch(grabber, kTriggerItem, kPolarityElement, false);
    push();
    ASSERT_TRUE(frames.waitFor(2));
    expectNoMoreThan(2);
    EXPECT_TRUE(grabber.stopLive());
}

// Enabled without a software trigger, the camera waits for a line it does not
// have: no frames until the trigger is switched off.
TEST_F(CameraTriggerTest, EnabledTriggerWithoutAButtonWaitsForever)
{
    open("Line Only");
    ASSERT_TRUE(grabber.startLive(false));
    expectNoMoreThan(0);
    enable(false);
    EXPECT_TRUE(frames.waitFor(3));
    EXPECT_TRUE(grabber.stopLive());
}

// A stream waiting for a push stops promptly, and a new stream ignores the
// pushes of the one before.
TEST_F(CameraTriggerTest, StopWhileWaitingAndRestart)
{
    open("Triggered");
    enable(true);
    ASSERT_TRUE(grabber.startLive(false));
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(grabber.stopLive());
    EXPECT_EQ(frames.count(), 0u);
    push(2); // not streaming: ignored
    ASSERT_TRUE(grabber.startLive(false));
    expectNoMoreThan(0);
    push();
    EXPECT_TRUE(frames.waitFor(1));
    expectNoMoreThan(1);
    EXPECT_TRUE(grabber.stopLive());
}

} // namespace
} // namespace vexcam::test
