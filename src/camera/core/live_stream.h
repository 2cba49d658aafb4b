// The delivery thread of a live grabber: takes each frame of the camera's
// stream into a free buffer of the ring and hands it to the listeners.
#pragma once

#include "camera_backend.h"
#include "item_data.h"
#include "sim_mem_buffer.h"

#include "vexcam/pixel_layout.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace Vexlib::detail {
struct GrabberState;
struct ListenerEntry;
struct SinkState;
} // namespace Vexlib::detail

namespace vexcam {

struct StreamSetup {
    std::shared_ptr<const Vexlib::detail::DeviceData> device;
    Vexlib::refcount_ptr<Vexlib::GrabberSinkType> sinkHandle; // keeps `sink` alive
    const Vexlib::detail::SinkState* sink = nullptr;          // null: no sink installed
    PixelLayout layout = PixelLayout::Rgb32;
    Size size;
    bool roiFormat = false;
    std::int32_t bufferCount = 1;
    std::unique_ptr<FrameSource> source; // the camera's frames
};

class LiveStream {
public:
    // Starts the delivery thread.
    LiveStream(Vexlib::detail::GrabberState& grabber, StreamSetup setup);
    // Stops and joins the thread; never called on the delivery thread itself.
    ~LiveStream();
    LiveStream(const LiveStream&) = delete;
    LiveStream& operator=(const LiveStream&) = delete;

    // No callback starts after this; the current one runs to its end.
    void requestStop();
    // Live: neither asked to stop nor ended by a lost device.
    bool isActive() const { return !stopRequested_ && !ended_; }
    // The stream whose delivery thread calls this, if any.
    static LiveStream* current();
    Vexlib::detail::GrabberState& grabber() const { return grabber_; }

private:
    void run();
    std::optional<std::size_t> nextFreeBuffer();
    void deliver(const Vexlib::refcount_ptr<Vexlib::MemBuffer>& buffer, std::uint32_t frameNumber);
    void reportLoss();

    Vexlib::detail::GrabberState& grabber_;
    const StreamSetup setup_;
    std::vector<Vexlib::refcount_ptr<SimMemBuffer>> buffers_;
    std::size_t nextBuffer_ = 0;
    std::vector<Vexlib::detail::ListenerEntry> listeners_; // delivery thread only

    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> ended_{false};
    std::thread thread_;
};

} // namespace vexcam
