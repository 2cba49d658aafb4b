// One acquisition: what the consumer sees of each frame and the statistics
// the host keeps.
#pragma once

#include "imaqhost/export.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace imaqhost {

// A received frame, valid only during the consumer call. Rows are top-down
// and tightly packed: width * bytesPerPixel bytes each.
struct FrameView {
    std::int64_t index = 0; // 0-based within the acquisition
    std::uint32_t frameType = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t bytesPerPixel = 0;
    double time = 0.0;
    const std::uint8_t* pixels = nullptr;
    std::size_t bytes = 0;
};

// Runs on the thread that takes the frames (the caller of acquire or getData),
// never on the camera's delivery thread. It may read or write properties.
using FrameConsumer = std::function<void(const FrameView&)>;

enum class AcquisitionEnd {
    Completed,      // every requested frame arrived
    StartRefused,   // the adaptor's start capture answered false
    Timeout,        // no frame arrived within the timeout
    DeviceLost,     // the adaptor warned that the device is lost
    CaptureStopped, // capture was halted and could not be restarted
    Stopped,        // the user stopped the acquisition
};

IMAQSIM_API const char* toString(AcquisitionEnd end);

struct AcquisitionStats {
    std::int64_t requested = 0;
    std::int64_t received = 0;  // frames handed to receiveFrame and logged
    std::int64_t counted = 0;   // incrementFrameCount calls during the acquisition
    std::int64_t notWanted = 0; // isSendFrame answers of false (after the end)
    std::int64_t refused = 0;   // makeFrame calls that got no frame
    std::int64_t excess = 0;    // frames handed over beyond the request (after the end)
    std::int64_t overrun = 0;   // wanted frames not logged: the buffer was full
    std::int64_t consumed = 0;  // frames taken out of the buffer
    std::int64_t available = 0; // frames in the buffer at the snapshot
    std::size_t bufferLimitFrames = 0;
    std::size_t bufferLimitBytes = 0;
    bool logging = false;       // the acquisition still wanted frames at the snapshot
    double firstTime = 0.0;     // time stamp of the first frame
    double lastTime = 0.0;      // time stamp of the last frame
    double measuredRate = 0.0;  // frames per second between first and last stamp
    double startedAt = 0.0;     // getCurrentTime when the acquisition began
    double endedAt = 0.0;       // getCurrentTime once capture was stopped
    std::vector<double> timestamps; // one per received frame, in order
    AcquisitionEnd end = AcquisitionEnd::Completed;

    // Images the camera offered between the last requested frame and the
    // stop: expected, not a loss.
    std::int64_t afterEnd() const { return notWanted + excess; }
};

inline constexpr std::chrono::milliseconds kDefaultAcquisitionTimeout{10000};

// The host's frame buffer holds at most this many frames and bytes by default;
// a wanted frame arriving when either bound is reached is counted as overrun.
inline constexpr std::size_t kDefaultBufferFrames = 4096;
inline constexpr std::size_t kDefaultBufferBytes = std::size_t{1} << 30;

} // namespace imaqhost
