#include "live_stream.h"

#include "grabber_state.h"
#include "simulation_counters.h"
#include "sink_state.h"

#include <algorithm>
#include <cstdio>

namespace vexcam {
namespace {

// How long the stream waits for a frame before it looks at stop requests.
constexpr auto kSourceWait = std::chrono::milliseconds(50);
// Room for the listeners of a frame, taken before the first frame: a
// listener registered once the stream runs then costs no allocation.
constexpr std::size_t kReservedListeners = 8;

thread_local LiveStream* tCurrentStream = nullptr;

} // namespace

LiveStream::LiveStream(Vexlib::detail::GrabberState& grabber, StreamSetup setup)
    : grabber_(grabber), setup_(std::move(setup))
{
    listeners_.reserve(kReservedListeners);
    for (std::int32_t i = 0; i < setup_.bufferCount; ++i) {
        buffers_.push_back(Vexlib::refcount_ptr<SimMemBuffer>::make(setup_.layout, setup_.size));
        setup_.source->prime(buffers_.back()->getPtr());
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
    stopRequested_ = true;
    setup_.source->interrupt();
}

LiveStream* LiveStream::current()
{
    return tCurrentStream;
}

// Each frame goes into the next free buffer of the ring; with none free (or
// in snap mode) the frame is dropped, so that the camera's own ring never
// fills up.
void LiveStream::run()
{
    tCurrentStream = this;
    while (!stopRequested_) {
        const bool snapping = setup_.sink && setup_.sink->snapMode;
        const auto index = snapping ? std::nullopt : nextFreeBuffer();
        std::uint32_t frameNumber = 0;
        std::uint8_t* pixels = index ? buffers_[*index]->getPtr() : nullptr;
        const auto next = setup_.source->next(pixels, kSourceWait, frameNumber);
        if (next == FrameSource::Next::Lost) {
            reportLoss();
            break;
        }
        if (next != FrameSource::Next::Frame) continue;
        if (!index) {
            if (!snapping) ++counters::framesSkipped;
            continue;
        }
        if (const auto observer = counters::fillObserver.load()) observer(frameNumber);
        deliver(Vexlib::refcount_ptr<Vexlib::MemBuffer>(buffers_[*index]), frameNumber);
        ++counters::framesDelivered;
    }
    ended_ = true;
    tCurrentStream = nullptr;
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
