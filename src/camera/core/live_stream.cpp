#include "live_stream.h"

#include "grabber_state.h"
#include "simulation_counters.h"
#include "sink_state.h"

#include "vexcam/pattern.h"

#include <algorithm>
#include <cstdio>

namespace vexcam {
namespace {

using Clock = std::chrono::steady_clock;

// A device without a frame-rate list still streams, at this rate.
constexpr double kFallbackFps = 30.0;
constexpr auto kSnapModeIdle = std::chrono::milliseconds(1);
// How long a camera stream waits for a frame before it looks at stop requests.
constexpr auto kSourceWait = std::chrono::milliseconds(50);
// Room for the listeners of a frame, taken before the first frame: a
// listener registered once the stream runs then costs no allocation.
constexpr std::size_t kReservedListeners = 8;

thread_local LiveStream* tCurrentStream = nullptr;

pattern::Adjust adjustOf(const PropertyStore& store)
{
    const auto adjust = store.patternAdjust();
    return {adjust.brightness, adjust.gain};
}

} // namespace

LiveStream::LiveStream(Vexlib::detail::GrabberState& grabber, StreamSetup setup)
    : grabber_(grabber), setup_(std::move(setup))
{
    listeners_.reserve(kReservedListeners);
    for (std::int32_t i = 0; i < setup_.bufferCount; ++i)
        buffers_.push_back(Vexlib::refcount_ptr<SimMemBuffer>::make(setup_.layout, setup_.size));
    if (!counters::patternGeneration && !setup_.source) {
        const Size offset = windowOffset();
        const auto adjust = adjustOf(*setup_.device->properties);
        for (const auto& buffer : buffers_)
            pattern::fill(setup_.layout, buffer->getPtr(), setup_.size.cx, setup_.size.cy, offset.cx, offset.cy, 0,
                          adjust);
    }
    ++counters::runningStreams;
    thread_ = std::thread([this] { run(); });
}

LiveStream::~LiveStream()
{
    requestStop();
    if (thread_.joinable()) thread_.join();
    --counters::runningStreams;
}

void LiveStream::requestStop()
{
    {
        std::lock_guard lock(wakeMutex_);
        stopRequested_ = true;
    }
    wake_.notify_all();
}

LiveStream* LiveStream::current()
{
    return tCurrentStream;
}

void LiveStream::run()
{
    tCurrentStream = this;
    if (setup_.source) {
        runFromSource();
        ended_ = true;
        tCurrentStream = nullptr;
        return;
    }
    auto deadline = Clock::now();
    std::uint32_t frameNumber = 0;
    while (waitForNextFrame(deadline)) {
        if (setup_.sink && setup_.sink->snapMode) {
            if (counters::freeRunning) std::this_thread::sleep_for(kSnapModeIdle);
            continue;
        }
        const auto index = nextFreeBuffer();
        if (!index) {
            ++counters::framesSkipped;
            continue;
        }
        const Vexlib::refcount_ptr<Vexlib::MemBuffer> buffer(buffers_[*index]);
        if (counters::patternGeneration) {
            const Size offset = windowOffset();
            pattern::fill(setup_.layout, buffer->getPtr(), setup_.size.cx, setup_.size.cy, offset.cx, offset.cy,
                          frameNumber, adjustOf(*setup_.device->properties));
        }
        if (const auto observer = counters::fillObserver.load()) observer(frameNumber);
        deliver(buffer, frameNumber);
        ++counters::framesDelivered;
        ++frameNumber;
        if (setup_.lostAfterFrames && frameNumber >= *setup_.lostAfterFrames) {
            reportLoss();
            break;
        }
    }
    ended_ = true;
    tCurrentStream = nullptr;
}

// A camera's frames: each goes into the next free buffer of the ring; with
// none free (or in snap mode) the frame is dropped, so that the camera's own
// ring never fills up.
void LiveStream::runFromSource()
{
    while (!stopRequested_) {
        const bool snapping = setup_.sink && setup_.sink->snapMode;
        const auto index = snapping ? std::nullopt : nextFreeBuffer();
        std::uint32_t frameNumber = 0;
        std::uint8_t* pixels = index ? buffers_[*index]->getPtr() : nullptr;
        const auto next = setup_.source->next(pixels, kSourceWait, frameNumber);
        if (next == FrameSource::Next::Lost) {
            reportLoss();
            return;
        }
        if (next != FrameSource::Next::Frame) continue;
        if (!index) {
            if (!snapping) ++counters::framesSkipped;
            continue;
        }
        deliver(Vexlib::refcount_ptr<Vexlib::MemBuffer>(buffers_[*index]), frameNumber);
        ++counters::framesDelivered;
    }
}

bool LiveStream::waitForNextFrame(Clock::time_point& deadline)
{
    if (stopRequested_) return false;
    if (counters::freeRunning) return true;
    double fps = 0.0;
    {
        std::lock_guard lock(grabber_.mutex);
        fps = grabber_.fps;
    }
    if (!(fps > 0.0)) fps = kFallbackFps;
    const auto period = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / fps));
    deadline += period;
    const auto now = Clock::now();
    if (deadline + period < now) deadline = now; // fell behind: go on from now instead of bursting
    std::unique_lock lock(wakeMutex_);
    return !wake_.wait_until(lock, deadline, [this] { return stopRequested_.load(); });
}

// The next buffer in the ring that no listener keeps locked.
std::optional<std::size_t> LiveStream::nextFreeBuffer()
{
    for (std::size_t tried = 0; tried < buffers_.size(); ++tried) {
        const std::size_t index = nextBuffer_;
        nextBuffer_ = (nextBuffer_ + 1) % buffers_.size();
        if (!buffers_[index]->isLocked()) return index;
    }
    return std::nullopt;
}

// Where the image starts on the sensor. A region-of-interest window sits at
// the partial-scan offset (or in the middle when auto-centre is on); the
// camera clamps an offset that would put the window past the sensor's edge.
Size LiveStream::windowOffset() const
{
    if (!setup_.roiFormat) return {};
    const Size sensor = setup_.device->sensor;
    const Size room{std::max(0, sensor.cx - setup_.size.cx), std::max(0, sensor.cy - setup_.size.cy)};
    const auto& store = *setup_.device->properties;
    if (store.autoCenter()) return {room.cx / 2, room.cy / 2};
    const Size offset = store.partialScanOffset().value_or(Size{});
    return {std::clamp(offset.cx, 0, room.cx), std::clamp(offset.cy, 0, room.cy)};
}

// An exception from a listener must not end the process: the library drops
// it and goes on with the next listener.
// The listeners are copied into a list kept between frames, so that a frame
// allocates nothing once the list has room for them.
void LiveStream::deliver(const Vexlib::refcount_ptr<Vexlib::MemBuffer>& buffer, std::uint32_t frameNumber)
{
    std::lock_guard dispatch(grabber_.dispatchMutex);
    {
        std::lock_guard lock(grabber_.mutex);
        listeners_.assign(grabber_.listeners.begin(), grabber_.listeners.end());
    }
    for (const auto& entry : listeners_) {
        if (stopRequested_) break;
        if (!(entry.mask & Vexlib::eFRAMEREADY)) continue;
        try {
            entry.listener->frameReady(grabber_.owner, buffer, frameNumber);
        } catch (...) {
            std::fputs("vexlib: a frame listener threw an exception; it was ignored\n", stderr);
        }
    }
}

void LiveStream::reportLoss()
{
    {
        std::lock_guard lock(grabber_.mutex);
        grabber_.lost = true;
    }
    ended_ = true;
    std::lock_guard dispatch(grabber_.dispatchMutex);
    std::vector<Vexlib::detail::ListenerEntry> listeners;
    {
        std::lock_guard lock(grabber_.mutex);
        listeners = grabber_.listeners;
    }
    for (const auto& entry : listeners) {
        if (!(entry.mask & Vexlib::eDEVICELOST)) continue;
        try {
            entry.listener->deviceLost(grabber_.owner);
        } catch (...) {
            std::fputs("vexlib: a device-lost listener threw an exception; it was ignored\n", stderr);
        }
    }
}

} // namespace vexcam
