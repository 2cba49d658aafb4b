// vexcam/genicam.h for a build with Aravis.
#include "genicam_backend.h"
#include "library.h"
#include "object_count.h"
#include "stream_counters.h"

#include "vexcam/genicam.h"

namespace vexcam {
namespace {

genicam::GenicamBackend* backendOf(const std::string& device)
{
    const auto found = Library::instance().findDevice(device);
    return found ? dynamic_cast<genicam::GenicamBackend*>(found->backend.get()) : nullptr;
}

} // namespace

bool hasGenicamSupport() { return true; }
std::int64_t genicamLiveObjects() { return genicam::liveObjects(); }
std::int64_t genicamFailedBuffers() { return genicam::counters::failedBuffers; }
std::int64_t genicamMissingFrames() { return genicam::counters::missingFrames; }
std::int64_t genicamFrameIdWraps() { return genicam::counters::frameIdWraps; }

std::optional<std::int64_t> genicamInteger(const std::string& device, const std::string& feature)
{
    auto* backend = backendOf(device);
    return backend ? backend->camera().integer(feature.c_str()) : std::nullopt;
}

std::optional<double> genicamFloat(const std::string& device, const std::string& feature)
{
    auto* backend = backendOf(device);
    return backend ? backend->camera().real(feature.c_str()) : std::nullopt;
}

} // namespace vexcam
