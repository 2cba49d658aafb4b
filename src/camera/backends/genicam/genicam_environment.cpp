#include "genicam_source.h"

#include <cstdlib>
#include <sstream>

namespace vexcam {

std::optional<GenicamSpec> genicamFromEnvironment()
{
    const char* value = std::getenv("ORX_GENICAM");
    if (!value || !*value) return std::nullopt;
    GenicamSpec spec;
    std::istringstream list(value);
    for (std::string name; std::getline(list, name, ',');)
        if (!name.empty()) spec.interfaces.push_back(name);
    return spec;
}

} // namespace vexcam

namespace vexcam {

Discovery discoverGenicamOfRig(const Rig& rig)
{
    auto spec = rig.genicam;
    if (auto fromEnvironment = genicamFromEnvironment()) {
        if (!spec) spec = GenicamSpec{};
        for (auto& name : fromEnvironment->interfaces) spec->interfaces.push_back(std::move(name));
    }
    if (!spec) return {};
    return discoverGenicam(*spec);
}

} // namespace vexcam
