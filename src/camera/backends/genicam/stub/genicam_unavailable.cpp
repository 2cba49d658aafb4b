// The GenICam source of a build without Aravis: it finds no camera and says why.
#include "genicam_source.h"

#include "vexcam/genicam.h"

namespace vexcam {

bool genicamBuilt() { return false; }

GenicamDiscovery discoverGenicam(const GenicamSpec&)
{
    return {{}, "the rig asks for GenICam cameras, but this build of the camera library has no GenICam "
                "support (Aravis was not found when it was built)"};
}

bool hasGenicamSupport() { return false; }
std::int64_t genicamLiveObjects() { return 0; }
std::int64_t genicamFailedBuffers() { return 0; }
std::int64_t genicamMissingFrames() { return 0; }
std::int64_t genicamFrameIdWraps() { return 0; }
std::optional<std::int64_t> genicamInteger(const std::string&, const std::string&) { return std::nullopt; }
std::optional<double> genicamFloat(const std::string&, const std::string&) { return std::nullopt; }

} // namespace vexcam
