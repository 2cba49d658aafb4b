// What the camera streams of this process have seen, for vexcam/genicam.h.
#pragma once

#include <atomic>
#include <cstdint>

namespace vexcam::genicam::counters {

inline std::atomic<std::int64_t> failedBuffers{0};
inline std::atomic<std::int64_t> missingFrames{0};
inline std::atomic<std::int64_t> frameIdWraps{0};
inline std::atomic<std::int64_t> runningCameraStreams{0};

} // namespace vexcam::genicam::counters
