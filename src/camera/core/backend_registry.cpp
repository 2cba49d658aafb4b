#include "backend_registry.h"

#include "genicam_source.h"
#include "gstreamer_source.h"
#include "simulated_camera.h"

namespace vexcam {

std::span<const BackendEntry> cameraBackends()
{
    static constexpr BackendEntry backends[] = {
        {"simulated", discoverSimulated},
        {"genicam", discoverGenicamOfRig},
        {"gstreamer", discoverGstreamerOfRig},
    };
    return backends;
}

} // namespace vexcam
