#include "camera_fixture.h"

#include "vexcam/pattern.h"
#include "vexcam/testing/camera_testing.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace vexcam::test {
namespace {

using namespace std::chrono_literals;
using Vexlib::Grabber;
using Vexlib::refcount_ptr;

constexpr GUID kBrightnessItem{0x0B0B0B0B, 0x0000, 0x4000, {0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};

constexpr const char* kStreamingRig = R"json({"devices": [
  {"name": "Mono", "sensor": [160, 120],
   "formats": ["Y800 (160x120)", "Y16 (160x120)"],
   "descriptions": [
     {"colorformat": "Y800", "min": [16, 4], "max": [160, 120], "step": [4, 2], "roi": true},
     {"colorformat": "Y16", "min": [16, 4], "max": [160, 120], "step": [4, 2], "roi": true}],
   "frameRates": {"default": [200, 100]},
   "properties": [
     {"name": "Brightness", "id": "{0B0B0B0B-0000-4000-8000-000000000001}", "elements": [
       {"name": "Value", "id": "Value", "range": {"min": 0, "max": 255, "default": 100}, "effect": "brightness"}]},
     {"name": "Partial Scan Offset", "id": "PartialScanOffset", "elements": [
       {"name": "Auto-center", "id": "AutoCenter", "switch": {"state": false}},
       {"name": "X Offset", "id": "OffsetX", "range": {"min": 0, "max": 1000}},
       {"name": "Y Offset", "id": "OffsetY", "range": {"min": 0, "max": 1000}}]}]},
  {"name": "Colour", "formats": ["RGB24 (96x64)", "RGB32 (96x64)", "BY8 (96x64)"],
   "frameRates": {"default": [200, 100]}}
]})json";

// Records the frames a grabber delivers and checks each against the pattern
// on the delivery thread, while the buffer is locked.
class RecordingListener : public Vexlib::GrabberListener {
public:
    struct Frame {
        std::uint32_t number = 0;
        std::optional<PixelLayout> layout;
        SIZE size{};
        std::int32_t bitsPerPixel = 0;
        pattern::FrameCheck check;
    };

    void frameReady(Grabber& grabber, refcount_ptr<Vexlib::MemBuffer> buffer, std::uint32_t frameNumber) override
    {
        inCallback = true;
        Frame frame;
        frame.number = frameNumber;
        buffer->lock();
        frame.layout = layoutOfSubtype(buffer->getSubtype());
        frame.size = buffer->getSize();
        frame.bitsPerPixel = buffer->getBitsPerPixel();
        if (frame.layout && verify)
            frame.check = pattern::checkFrame(*frame.layout, buffer->getPtr(), frame.size.cx, frame.size.cy,
                                              sensorX.load(), sensorY.load());
        buffer->unlock();
        {
            std::lock_guard lock(mutex_);
            frames_.push_back(frame);
        }
        changed_.notify_all();
        if (onFrame) onFrame(grabber, frameNumber);
        inCallback = false;
    }

    void deviceLost(Grabber&) override
    {
        ++losses;
        changed_.notify_all();
    }

    bool waitForFrames(std::size_t count, std::chrono::milliseconds timeout = 5s)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return frames_.size() >= count; });
    }

    bool waitForLoss(std::chrono::milliseconds timeout = 5s)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return losses > 0; });
    }

    std::vector<Frame> frames() const
    {
        std::lock_guard lock(mutex_);
        return frames_;
    }

    std::size_t frameCount() const
    {
        std::lock_guard lock(mutex_);
        return frames_.size();
    }

    std::atomic<std::int32_t> sensorX{0};
    std::atomic<std::int32_t> sensorY{0};
    std::atomic<bool> inCallback{false};
    std::atomic<int> losses{0};
    bool verify = true;
    std::function<void(Grabber&, std::uint32_t)> onFrame; // set before going live

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Frame> frames_;
};

refcount_ptr<Vexlib::FrameHandlerSink> makeSink(std::optional<GUID> subtype, std::int32_t buffers = 4)
{
    Vexlib::FrameHandlerSink::tCreateData data{};
    data.bufferCount = buffers;
    orx::TaskMem<Vexlib::FrameTypeInfo> types;
    if (subtype) {
        types = orx::TaskMem<Vexlib::FrameTypeInfo>::allocate(1);
        types.get()[0] = Vexlib::FrameTypeInfo{*subtype, 0, 0, 0};
        data.frameTypes = {types.get(), 1};
    }
    return Vexlib::FrameHandlerSink::create(data);
}

void installSink(Grabber& grabber, const refcount_ptr<Vexlib::FrameHandlerSink>& sink)
{
    ASSERT_TRUE(grabber.setSinkType(Vexlib::refcount_ptr_wrapper<Vexlib::GrabberSinkType>(sink)));
    sink->setSnapMode(false);
}

class StreamingTest : public CameraTest {
protected:
    void SetUp() override
    {
        CameraTest::SetUp();
        useRig(kStreamingRig);
        setFreeRunning(true);
    }

    // Opens `device` in `format` with a sink for `subtype` and the listener.
    void prepare(Grabber& grabber, const char* device, const char* format, std::optional<GUID> subtype,
                 std::int32_t buffers = 4)
    {
        ASSERT_TRUE(openDevice(grabber, device));
        ASSERT_TRUE(selectFormat(grabber, format));
        installSink(grabber, makeSink(subtype, buffers));
        ASSERT_TRUE(grabber.addListener(&listener, Vexlib::eALL));
    }

    RecordingListener listener;
};

struct LayoutCase {
    const char* name;
    const char* device;
    const char* format;
    std::optional<PixelLayout> sinkLayout; // none: an empty frame-type list
    PixelLayout delivered;
};

class StreamingLayoutTest : public StreamingTest, public ::testing::WithParamInterface<LayoutCase> {};

// Frames arrive in order, whole, in the sink's layout, and stop with stopLive.
TEST_P(StreamingLayoutTest, FramesArriveWholeAndInOrder)
{
    const LayoutCase& c = GetParam();
    Grabber grabber;
    prepare(grabber, c.device, c.format,
            c.sinkLayout ? std::optional<GUID>(layoutSubtype(*c.sinkLayout)) : std::nullopt);
    ASSERT_TRUE(grabber.startLive(false));
    EXPECT_TRUE(grabber.isLive());
    ASSERT_TRUE(listener.waitForFrames(5));
    EXPECT_TRUE(grabber.stopLive());
    EXPECT_FALSE(grabber.isLive());

    const auto frames = listener.frames();
    const SIZE size = grabber.getVideoFormat().getSize();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const auto& frame = frames[i];
        EXPECT_EQ(frame.number, i);
        ASSERT_EQ(frame.layout, c.delivered);
        EXPECT_EQ(frame.bitsPerPixel, bitsPerPixel(c.delivered));
        EXPECT_EQ(frame.size.cx, size.cx);
        EXPECT_EQ(frame.size.cy, size.cy);
        ASSERT_TRUE(frame.check) << "frame " << i << ": " << frame.check.problem;
        EXPECT_EQ(frame.check.frameNumber, frame.number);
    }
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(listener.frameCount(), frames.size()) << "a frame arrived after stopLive returned";
}

INSTANTIATE_TEST_SUITE_P(
    StreamingLayouts, StreamingLayoutTest,
    ::testing::Values(LayoutCase{"Y800", "Mono", "Y800 (160x120)", PixelLayout::Gray8, PixelLayout::Gray8},
                      LayoutCase{"Y16", "Mono", "Y16 (160x120)", PixelLayout::Gray16, PixelLayout::Gray16},
                      LayoutCase{"RGB24", "Colour", "RGB24 (96x64)", PixelLayout::Rgb24, PixelLayout::Rgb24},
                      LayoutCase{"RGB32", "Colour", "RGB32 (96x64)", PixelLayout::Rgb32, PixelLayout::Rgb32},
                      LayoutCase{"BY8AsRGB24", "Colour", "BY8 (96x64)", PixelLayout::Rgb24, PixelLayout::Rgb24},
                      LayoutCase{"BY8Raw", "Colour", "BY8 (96x64)", std::nullopt, PixelLayout::Bayer8},
                      LayoutCase{"OwnLayout", "Colour", "RGB24 (96x64)", std::nullopt, PixelLayout::Rgb24},
                      LayoutCase{"Y800AsRGB32", "Mono", "Y800 (160x120)", PixelLayout::Rgb32, PixelLayout::Rgb32}),
    [](const auto& info) { return std::string(info.param.name); });

// A region-of-interest format delivers the window of the sensor at the
// partial-scan offsets; an offset past the edge is clamped, auto-centre centres.
TEST_F(StreamingTest, WindowFollowsThePartialScanOffset)
{
    Grabber grabber;
    prepare(grabber, "Mono", "Y800 (32x16)", layoutSubtype(PixelLayout::Gray8));
    struct Placement {
        LONG x, y;
        std::int32_t expectedX, expectedY;
        bool autoCenter;
    };
    for (const Placement& p : {Placement{100, 50, 100, 50, false}, Placement{150, 110, 128, 104, false},
                               Placement{0, 0, 64, 52, true}}) {
        setSwitch(grabber, Vexlib::PartialScanOffsetItemId, Vexlib::AutoCenterElementId, p.autoCenter);
        setInteger(grabber, Vexlib::PartialScanOffsetItemId, Vexlib::OffsetXElementId, p.x);
        setInteger(grabber, Vexlib::PartialScanOffsetItemId, Vexlib::OffsetYElementId, p.y);
        listener.sensorX = p.expectedX;
        listener.sensorY = p.expectedY;
        const std::size_t before = listener.frameCount();
        ASSERT_TRUE(grabber.startLive(false));
        ASSERT_TRUE(listener.waitForFrames(before + 3));
        grabber.stopLive();
        const auto frames = listener.frames();
        for (std::size_t i = before; i < frames.size(); ++i) {
            EXPECT_EQ(frames[i].size.cx, 32);
            EXPECT_EQ(frames[i].size.cy, 16);
            EXPECT_TRUE(frames[i].check) << "offset (" << p.x << ", " << p.y << "): " << frames[i].check.problem;
        }
    }
}

// A brightness written to the camera shows in the frames, decodably.
TEST_F(StreamingTest, BrightnessShiftsThePattern)
{
    Grabber grabber;
    prepare(grabber, "Mono", "Y800 (160x120)", layoutSubtype(PixelLayout::Gray8));
    setInteger(grabber, kBrightnessItem, Vexlib::ValueElementId, 130);
    ASSERT_TRUE(grabber.startLive(false));
    ASSERT_TRUE(listener.waitForFrames(2));
    grabber.stopLive();
    for (const auto& frame : listener.frames()) {
        ASSERT_TRUE(frame.check) << frame.check.problem;
        EXPECT_EQ(frame.check.adjust.brightness, 30);
    }
}

// Paced by the current frame rate unless free-running.
TEST_F(StreamingTest, DeliveryIsPacedByTheFrameRate)
{
    setFreeRunning(false);
    Grabber grabber;
    prepare(grabber, "Colour", "RGB24 (96x64)", std::nullopt);
    ASSERT_TRUE(grabber.setFPS(100.0));
    listener.verify = false;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(grabber.startLive(false));
    ASSERT_TRUE(listener.waitForFrames(10));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    grabber.stopLive();
    EXPECT_GE(elapsed, 90ms); // ten frames at 100 per second
}

// A new sink starts in snap mode and delivers nothing until switched out of it.
TEST_F(StreamingTest, SnapModeDeliversNothing)
{
    Grabber grabber;
    ASSERT_TRUE(openDevice(grabber, "Colour"));
    const auto sink = makeSink(std::nullopt);
    EXPECT_TRUE(sink->getSnapMode());
    ASSERT_TRUE(grabber.setSinkType(Vexlib::refcount_ptr_wrapper<Vexlib::GrabberSinkType>(sink)));
    ASSERT_TRUE(grabber.addListener(&listener, Vexlib::eALL));
    ASSERT_TRUE(grabber.startLive(false));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(listener.frameCount(), 0u);
    sink->setSnapMode(false);
    EXPECT_TRUE(listener.waitForFrames(1));
    grabber.stopLive();
}

// stopLive waits for a callback that is running, and none starts afterwards.
TEST_F(StreamingTest, StopLiveWaitsForTheRunningCallback)
{
    Grabber grabber;
    prepare(grabber, "Colour", "RGB32 (96x64)", std::nullopt);
    std::atomic<bool> blocking{false};
    listener.onFrame = [&](Grabber&, std::uint32_t) {
        blocking = true;
        std::this_thread::sleep_for(50ms);
    };
    ASSERT_TRUE(grabber.startLive(false));
    while (!blocking) std::this_thread::yield();
    EXPECT_TRUE(grabber.stopLive());
    EXPECT_FALSE(listener.inCallback);
    const std::size_t count = listener.frameCount();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(listener.frameCount(), count);
    EXPECT_FALSE(grabber.stopLive()); // no longer live
}

// stopLive from inside a callback returns at once; no callback follows, and
// the grabber goes live again afterwards.
TEST_F(StreamingTest, StopLiveFromInsideACallback)
{
    Grabber grabber;
    prepare(grabber, "Colour", "RGB24 (96x64)", std::nullopt);
    std::atomic<bool> stoppedInside{false};
    listener.onFrame = [&](Grabber& caller, std::uint32_t frameNumber) {
        if (frameNumber != 2) return;
        stoppedInside = caller.stopLive();
        EXPECT_FALSE(caller.isLive());
        EXPECT_FALSE(caller.startLive(false)); // cannot restart from its own callback
    };
    ASSERT_TRUE(grabber.startLive(false));
    ASSERT_TRUE(listener.waitForFrames(3));
    std::this_thread::sleep_for(30ms);
    EXPECT_TRUE(stoppedInside);
    EXPECT_EQ(listener.frameCount(), 3u);
    EXPECT_FALSE(grabber.isLive());

    listener.onFrame = nullptr; // safe: the stream has ended
    ASSERT_TRUE(grabber.startLive(false));
    ASSERT_TRUE(listener.waitForFrames(5));
    grabber.stopLive();
    EXPECT_EQ(listener.frames()[3].number, 0u); // a new stream counts from 0
}

// closeDev from inside a callback neither deadlocks nor delivers more frames.
TEST_F(StreamingTest, CloseDeviceFromInsideACallback)
{
    Grabber grabber;
    prepare(grabber, "Colour", "RGB24 (96x64)", std::nullopt);
    listener.onFrame = [&](Grabber& caller, std::uint32_t) { caller.closeDev(); };
    ASSERT_TRUE(grabber.startLive(false));
    ASSERT_TRUE(listener.waitForFrames(1));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(listener.frameCount(), 1u);
    EXPECT_FALSE(grabber.isDevValid());
}

// Starting twice keeps one stream; a removed listener is not called again.
TEST_F(StreamingTest, StartTwiceAndRemoveListener)
{
    Grabber grabber;
    prepare(grabber, "Colour", "RGB24 (96x64)", std::nullopt);
    EXPECT_FALSE(grabber.addListener(&listener, Vexlib::eALL)); // already registered
    ASSERT_TRUE(grabber.startLive(false));
    EXPECT_TRUE(grabber.startLive(false));
    EXPECT_EQ(runningStreams(), 1);
    ASSERT_TRUE(listener.waitForFrames(2));
    EXPECT_TRUE(grabber.removeListener(&listener));
    const std::size_t count = listener.frameCount();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(listener.frameCount(), count);
    EXPECT_FALSE(grabber.removeListener(&listener));
    EXPECT_FALSE(grabber.setVideoFormat(grabber.getVideoFormat())); // no format change while live
    grabber.stopLive();
}

// A listener that keeps its buffer locked makes the camera skip frames until
// the buffer is free again.
TEST_F(StreamingTest, LockedBuffersAreSkipped)
{
    Grabber grabber;
    prepare(grabber, "Colour", "RGB24 (96x64)", std::nullopt, 1);
    refcount_ptr<Vexlib::MemBuffer> kept;
    std::mutex keptMutex;
    class Keeper : public Vexlib::GrabberListener {
    public:
        Keeper(refcount_ptr<Vexlib::MemBuffer>& kept, std::mutex& mutex) : kept_(kept), mutex_(mutex) {}
        void frameReady(Grabber&, refcount_ptr<Vexlib::MemBuffer> buffer, std::uint32_t) override
        {
            std::lock_guard lock(mutex_);
            if (kept_) return;
            buffer->lock();
            kept_ = buffer;
        }

    private:
        refcount_ptr<Vexlib::MemBuffer>& kept_;
        std::mutex& mutex_;
    } keeper(kept, keptMutex);
    ASSERT_TRUE(grabber.addListener(&keeper, Vexlib::eFRAMEREADY));
    const auto skippedBefore = framesSkipped();
    ASSERT_TRUE(grabber.startLive(false));
    ASSERT_TRUE(listener.waitForFrames(1));
    while (framesSkipped() < skippedBefore + 3) std::this_thread::yield();
    const std::size_t count = listener.frameCount();
    EXPECT_EQ(count, 1u);
    {
        std::lock_guard lock(keptMutex);
        EXPECT_TRUE(kept->isLocked());
        kept->unlock();
    }
    EXPECT_TRUE(listener.waitForFrames(count + 2));
    grabber.stopLive();
    kept.reset();
}

// With pattern generation off every frame carries the pattern of frame 0.
TEST_F(StreamingTest, PrefilledBuffersWithoutGeneration)
{
    setPatternGeneration(false);
    Grabber grabber;
    prepare(grabber, "Mono", "Y16 (160x120)", std::nullopt);
    ASSERT_TRUE(grabber.startLive(false));
    ASSERT_TRUE(listener.waitForFrames(6));
    grabber.stopLive();
    for (const auto& frame : listener.frames()) {
        ASSERT_TRUE(frame.check) << frame.check.problem;
        EXPECT_EQ(frame.check.frameNumber, 0u);
    }
}

std::atomic<std::uint32_t> gLastFilled{0};
std::atomic<int> gFills{0};

void noteFill(std::uint32_t frameNumber)
{
    gLastFilled = frameNumber;
    ++gFills;
}

// The fill observer hears of every frame before its listeners do, with the
// same number; a listener added while live joins the kept listener list.
TEST_F(StreamingTest, FillObserverPrecedesEveryDelivery)
{
    struct ObserverGuard {
        ObserverGuard() { setFillObserver(noteFill); }
        ~ObserverGuard() { setFillObserver(nullptr); }
    } guard;
    gFills = 0;
    std::atomic<int> mismatches{0};
    listener.onFrame = [&](Grabber&, std::uint32_t frameNumber) {
        if (gLastFilled.load() != frameNumber) ++mismatches;
    };
    RecordingListener late; // outlives the grabber, which stops streaming first
    Grabber grabber;
    prepare(grabber, "Mono", "Y800 (160x120)", std::nullopt);
    ASSERT_TRUE(grabber.startLive(false));
    ASSERT_TRUE(listener.waitForFrames(3));
    ASSERT_TRUE(grabber.addListener(&late, Vexlib::eFRAMEREADY));
    ASSERT_TRUE(late.waitForFrames(3));
    grabber.stopLive();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_GE(gFills.load(), static_cast<int>(listener.frameCount()));
    EXPECT_LE(gFills.load(), static_cast<int>(listener.frameCount()) + 1);
    EXPECT_TRUE(grabber.removeListener(&late));
}

// A listener that throws does not end the stream or the process.
TEST_F(StreamingTest, ThrowingListenerIsSurvived)
{
    Grabber grabber;
    prepare(grabber, "Colour", "RGB24 (96x64)", std::nullopt);
    listener.onFrame = [](Grabber&, std::uint32_t frameNumber) {
        if (frameNumber == 0) throw std::runtime_error("listener failure");
    };
    ASSERT_TRUE(grabber.startLive(false));
    EXPECT_TRUE(listener.waitForFrames(3));
    grabber.stopLive();
}

// Faults: a refused start, a start that throws its status, and a device lost
// after some frames (reported once; the grabber is then invalid until reopened).
TEST_F(StreamingTest, LiveFaults)
{
    Grabber grabber;
    prepare(grabber, "Colour", "RGB24 (96x64)", std::nullopt);
    DeviceFaults faults;
    faults.refuseLive = true;
    ASSERT_TRUE(setDeviceFaults("Colour", faults));
    EXPECT_FALSE(grabber.startLive(false));
    EXPECT_FALSE(grabber.isLive());

    faults = {};
    faults.liveThrows = E_FAIL;
    ASSERT_TRUE(setDeviceFaults("Colour", faults));
    try {
        grabber.startLive(false);
        ADD_FAILURE() << "startLive did not throw";
    } catch (Vexlib::StatusCode status) {
        EXPECT_EQ(status, E_FAIL);
    }
    EXPECT_FALSE(grabber.isLive());

    faults = {};
    faults.lostAfterFrames = 3;
    ASSERT_TRUE(setDeviceFaults("Colour", faults));
    RecordingListener lossOnly;
    ASSERT_TRUE(grabber.addListener(&lossOnly, Vexlib::eDEVICELOST));
    ASSERT_TRUE(grabber.startLive(false));
    ASSERT_TRUE(listener.waitForLoss());
    ASSERT_TRUE(lossOnly.waitForLoss());
    EXPECT_EQ(listener.frameCount(), 3u);
    EXPECT_EQ(lossOnly.frameCount(), 0u);
    EXPECT_FALSE(grabber.isDevValid());
    EXPECT_FALSE(grabber.isLive());
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(listener.losses, 1);
    EXPECT_EQ(listener.frameCount(), 3u);

    ASSERT_TRUE(setDeviceFaults("Colour", {}));
    ASSERT_TRUE(openDevice(grabber, "Colour"));
    EXPECT_TRUE(grabber.isDevValid());
    installSink(grabber, makeSink(std::nullopt));
    ASSERT_TRUE(grabber.startLive(false));
    EXPECT_TRUE(listener.waitForFrames(5));
    grabber.stopLive();
}

} // namespace
} // namespace vexcam::test
