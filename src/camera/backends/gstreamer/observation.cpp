// vexcam/gstreamer.h for a build with GStreamer.
#include "gst_ref.h"
#include "stream_counters.h"

#include "vexcam/gstreamer.h"

namespace vexcam {

namespace gst::counters {
std::atomic<std::int64_t> lostFrames{0};
} // namespace gst::counters

bool hasGstreamerSupport() { return true; }
std::int64_t gstreamerLiveObjects() { return gst::liveObjects(); }
std::int64_t gstreamerLostFrames() { return gst::counters::lostFrames; }

} // namespace vexcam
