// The state behind a Grabber: the open device and its configuration, the
// listeners, the sink and the live stream.
//
// Locks: `mutex` guards the configuration and is never held while a listener
// runs. `liveMutex` serialises starting and stopping, so that a stop returns
// only once the delivery thread is joined. `dispatchMutex` is held by the
// delivery thread while it calls listeners, so that removeListener can wait
// until a removed listener is no longer being called.
#pragma once

#include "item_data.h"
#include "format_selection.h"
#include "live_stream.h"

#include "platform/vexlib.h"

#include <memory>
#include <mutex>
#include <vector>

namespace Vexlib::detail {

inline constexpr std::int32_t kDefaultOverlayPosition = 2;

struct ListenerEntry {
    GrabberListener* listener = nullptr;
    std::uint32_t mask = 0;
};

struct GrabberState {
    explicit GrabberState(Grabber& grabber) : owner(grabber) {}

    // With `mutex` held.
    bool isOpen() const { return device && !lost; }
    bool isLive() const { return stream && stream->isActive() && !lost; }
    const vexcam::NormSpec* currentNorm() const;
    // Makes `choice` the format in force; the frame rate stays when the new
    // format offers it, else it becomes the new format's highest.
    void selectFormat(const vexcam::FormatChoice& choice);
    void selectDefaultFormat();
    std::vector<double> ratesOf(const VideoFormatItem& item) const;
    // Whether the delivery thread of this grabber is the calling thread.
    bool onDeliveryThread() const;

    Grabber& owner;

    mutable std::mutex mutex;
    std::shared_ptr<const DeviceData> device;
    bool lost = false;
    std::size_t norm = 0;
    VideoFormatItem format;
    bool roiFormat = false;
    double fps = 0.0;
    std::uint32_t channel = 0;
    std::int32_t overlayPosition = kDefaultOverlayPosition;
    std::vector<ListenerEntry> listeners;
    refcount_ptr<GrabberSinkType> sink;
    FrameHandlerSink* frameSink = nullptr; // `sink` as what it is
    std::unique_ptr<vexcam::LiveStream> stream;

    std::mutex liveMutex;
    std::mutex dispatchMutex;
};

} // namespace Vexlib::detail
