// One acquisition of N frames: what the consumer sees of each frame and the
// statistics the host keeps.
#pragma once

#include "imaqsim/export.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace imaqsim {

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

// Runs on the host thread (the thread that called acquire), never on the
// camera's delivery thread. It may read or write properties meanwhile.
using FrameConsumer = std::function<void(const FrameView&)>;

enum class AcquisitionEnd {
    Completed,      // every requested frame arrived
    StartRefused,   // the adaptor's start capture answered false
    Timeout,        // no frame arrived within the timeout
    DeviceLost,     // the adaptor warned that the device is lost
    CaptureStopped, // capture was halted and could not be restarted
};

IMAQSIM_API const char* toString(AcquisitionEnd end);

struct AcquisitionStats {
    std::int64_t requested = 0;
    std::int64_t received = 0;  // frames handed to receiveFrame and wanted
    std::int64_t counted = 0;   // incrementFrameCount calls during the acquisition
    std::int64_t notWanted = 0; // isSendFrame answers of false
    std::int64_t refused = 0;   // makeFrame calls that got no frame
    std::int64_t excess = 0;    // frames handed over beyond the request
    double firstTime = 0.0;     // time stamp of the first frame
    double lastTime = 0.0;      // time stamp of the last frame
    double measuredRate = 0.0;  // frames per second between first and last stamp
    double startedAt = 0.0;     // getCurrentTime when the acquisition began
    double endedAt = 0.0;
    std::vector<double> timestamps; // one per received frame, in order
    AcquisitionEnd end = AcquisitionEnd::Completed;
};

inline constexpr std::chrono::milliseconds kDefaultAcquisitionTimeout{10000};

} // namespace imaqsim
