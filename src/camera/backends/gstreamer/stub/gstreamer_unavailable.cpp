// The GStreamer source of a build without GStreamer: it finds no device and says why.
#include "gstreamer_source.h"

#include "vexcam/gstreamer.h"

namespace vexcam {

GstreamerDiscovery discoverGstreamer(const GstreamerSpec&)
{
    return {{}, "GStreamer devices are asked for, but this build of the camera library has no GStreamer "
                "support (the GStreamer development packages were not found when it was built)"};
}

bool hasGstreamerSupport() { return false; }
std::int64_t gstreamerLiveObjects() { return 0; }
std::int64_t gstreamerLostFrames() { return 0; }

} // namespace vexcam
