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
