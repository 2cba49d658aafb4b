// Observation of the library's GStreamer devices (docs/gstreamer.md), for
// tests, the command-line host and benchmarks.
#pragma once

#include "platform/vexlib.h"

#include <cstdint>

namespace vexcam {

// Whether this build has GStreamer support.
VEXLIB_API bool hasGstreamerSupport();
// GStreamer objects (pipelines, bins, elements) made by the library and not
// yet finalised.
VEXLIB_API std::int64_t gstreamerLiveObjects();
// Frames lost between the source and the library over the process's life:
// gaps in the buffers' sequence and frames the bounded queue dropped.
VEXLIB_API std::int64_t gstreamerLostFrames();

} // namespace vexcam
