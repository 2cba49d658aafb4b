// Grabber: listeners, the sink, the overlay and the live stream.
//
// Stopping from inside a callback: the delivery thread cannot join itself, so
// stopLive (or closeDev) called from a listener of this grabber only asks the
// stream to stop and returns at once; no callback starts after that, and the
// thread is joined by the next call that needs it (startLive, stopLive,
// closeDev, openDev or the destructor). startLive from inside a callback of
// the same grabber is refused.
#include "grabber_state.h"
#include "sink_state.h"

#include "vexcam/pixel_layout.h"

#include <algorithm>

namespace Vexlib {

using detail::GrabberState;
using Lock = std::lock_guard<std::mutex>;

namespace {

vexcam::PixelLayout deliveredLayout(const GrabberState& state)
{
    const auto* format = state.format.data();
    if (state.frameSink) {
        const GUID accepted = state.frameSink->getAcceptedSubtype();
        if (accepted != GUID{})
            if (const auto layout = vexcam::layoutOfSubtype(accepted)) return *layout;
    }
    return vexcam::nativeLayout(format->colorformat);
}

vexcam::StreamSetup streamSetup(const GrabberState& state)
{
    vexcam::StreamSetup setup;
    setup.device = state.device;
    setup.sinkHandle = state.sink;
    setup.sink = state.frameSink ? state.frameSink->state() : nullptr;
    setup.layout = deliveredLayout(state);
    setup.size = state.format.data()->size;
    setup.roiFormat = state.roiFormat;
    setup.bufferCount = state.frameSink ? state.frameSink->getBufferCount() : 1;
    return setup;
}

// The rate is read again for every frame: it may change while live.
vexcam::StreamRequest streamRequest(GrabberState& state, const vexcam::StreamSetup& setup,
                                    const vexcam::DeviceFaults& faults)
{
    vexcam::StreamRequest request;
    request.colorformat = state.format.data()->colorformat;
    request.layout = setup.layout;
    request.size = setup.size;
    request.roiFormat = setup.roiFormat;
    request.fps = state.fps;
    request.bufferCount = setup.bufferCount;
    request.sensor = state.device->sensor;
    request.properties = state.device->properties;
    request.currentFps = [&state] {
        Lock lock(state.mutex);
        return state.fps;
    };
    request.lostAfterFrames = faults.lostAfterFrames;
    return request;
}

} // namespace

GrabberListener::~GrabberListener() = default;
void GrabberListener::deviceLost(Grabber&) {}
void GrabberListener::frameReady(Grabber&, refcount_ptr<MemBuffer>, std::uint32_t) {}
void GrabberListener::bufferDiscarded(Grabber&, refcount_ptr<MemBuffer>) {}

bool Grabber::addListener(GrabberListener* listener, std::uint32_t mask)
{
    if (!listener) return false;
    Lock lock(state_->mutex);
    auto& listeners = state_->listeners;
    if (std::any_of(listeners.begin(), listeners.end(), [&](const auto& e) { return e.listener == listener; }))
        return false;
    listeners.push_back({listener, mask});
    return true;
}

// Returns once the listener is no longer being called (unless called from a
// callback, which would wait for itself).
bool Grabber::removeListener(GrabberListener* listener)
{
    {
        Lock lock(state_->mutex);
        auto& listeners = state_->listeners;
        const auto found =
            std::find_if(listeners.begin(), listeners.end(), [&](const auto& e) { return e.listener == listener; });
        if (found == listeners.end()) return false;
        listeners.erase(found);
    }
    if (!state_->onDeliveryThread()) {
        Lock waitForDispatch(state_->dispatchMutex);
    }
    return true;
}

bool Grabber::setSinkType(const refcount_ptr<GrabberSinkType>& sink)
{
    auto* frameSink = dynamic_cast<FrameHandlerSink*>(sink.get());
    if (!frameSink) return false;
    Lock lock(state_->mutex);
    if (state_->isLive()) return false;
    state_->sink = sink;
    state_->frameSink = frameSink;
    return true;
}

bool Grabber::setOverlayBitmapPathPosition(std::int32_t position)
{
    Lock lock(state_->mutex);
    state_->overlayPosition = position;
    return true;
}

std::int32_t Grabber::getOverlayBitmapPathPosition() const
{
    Lock lock(state_->mutex);
    return state_->overlayPosition;
}

// Already live: true, nothing changes. Faults: refuseLive answers false,
// liveThrows throws its status.
bool Grabber::startLive(bool)
{
    if (state_->onDeliveryThread()) return false;
    Lock live(state_->liveMutex);
    std::unique_ptr<vexcam::LiveStream> finished;
    {
        Lock lock(state_->mutex);
        if (state_->isLive()) return true;
        finished = std::move(state_->stream);
    }
    finished.reset();

    Lock lock(state_->mutex);
    if (!state_->isOpen() || !state_->format.isValid()) return false;
    const auto faults = state_->device->faults();
    if (faults.refuseLive) return false;
    if (faults.liveThrows) throw StatusCode{*faults.liveThrows};
    const auto& backend = state_->device->backend;
    if (!backend) return false;
    auto setup = streamSetup(*state_);
    setup.source = backend->start(streamRequest(*state_, setup, faults));
    if (!setup.source) return false;
    state_->stream = std::make_unique<vexcam::LiveStream>(*state_, std::move(setup));
    return true;
}

// Answers whether the grabber was live.
bool Grabber::stopLive()
{
    if (state_->onDeliveryThread()) {
        const bool wasLive = isLive();
        vexcam::LiveStream::current()->requestStop();
        return wasLive;
    }
    Lock live(state_->liveMutex);
    std::unique_ptr<vexcam::LiveStream> stream;
    bool wasLive = false;
    {
        Lock lock(state_->mutex);
        wasLive = state_->isLive();
        stream = std::move(state_->stream);
    }
    stream.reset(); // joins the delivery thread, outside `mutex`: callbacks may use the grabber
    return wasLive;
}

bool Grabber::isLive() const
{
    Lock lock(state_->mutex);
    return state_->isLive();
}

} // namespace Vexlib
