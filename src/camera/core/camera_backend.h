// The seam at which every camera plugs into the library: the simulated
// camera (backends/simulated), GenICam cameras (backends/genicam) and any
// other backend. A camera sets up its window, rate and pixel format when a
// grabber goes live and then hands over frames one by one.
#pragma once

#include "vexcam/pixel_layout.h"
#include "vexcam/rig.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vexcam {

class PropertyStore;

// What the grabber asks of the camera when it goes live.
struct StreamRequest {
    std::string colorformat; // of the format in force
    PixelLayout layout = PixelLayout::Rgb32; // what the sink receives
    Size size;
    bool roiFormat = false;
    double fps = 0.0;        // 0: the camera's own rate
    std::int32_t bufferCount = 1;
    Size sensor;             // the whole sensor
    std::shared_ptr<PropertyStore> properties;  // the device's property values
    std::function<double()> currentFps;         // the rate in force; it may change while live
    std::optional<std::int64_t> lostAfterFrames; // an injected fault: the device is lost then
};

// One camera stream, read by the grabber's delivery thread.
class FrameSource {
public:
    enum class Next { Frame, Timeout, Lost };
    virtual ~FrameSource() = default;
    // Waits up to `timeout` for the next complete frame. With `pixels`, the
    // frame is written there in the request's layout and size; without, it is
    // dropped. `frameNumber` counts from 0 at the first frame of the stream,
    // and skips as many numbers as the camera lost frames.
    virtual Next next(std::uint8_t* pixels, std::chrono::milliseconds timeout, std::uint32_t& frameNumber) = 0;
    // Called once for each buffer of the ring before the first frame.
    virtual void prime(std::uint8_t* /*pixels*/) {}
    // Makes a waiting `next` return soon: the stream is stopping. Any thread.
    virtual void interrupt() {}
};

class CameraBackend {
public:
    virtual ~CameraBackend() = default;
    // Configures the camera and starts it; null (and a message on stderr)
    // when the camera refuses.
    virtual std::unique_ptr<FrameSource> start(const StreamRequest& request) = 0;
};

} // namespace vexcam
