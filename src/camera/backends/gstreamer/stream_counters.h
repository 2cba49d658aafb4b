// Process-wide counts of the GStreamer source (vexcam/gstreamer.h reports them).
#pragma once

#include <atomic>
#include <cstdint>

namespace vexcam::gst::counters {

extern std::atomic<std::int64_t> lostFrames;

} // namespace vexcam::gst::counters
