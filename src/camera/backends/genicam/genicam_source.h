// GenICam cameras as devices of the library (backends/genicam). In a build
// without Aravis the source exists but finds nothing and says why.
#pragma once

#include "item_data.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vexcam {

struct GenicamDiscovery {
    std::vector<std::shared_ptr<Vexlib::detail::DeviceData>> devices;
    std::string error; // non-empty: the cameras could not be searched for
};

bool genicamBuilt();
// Enables exactly the interfaces of `spec`, disables every other one, then
// lists and opens the cameras found there.
GenicamDiscovery discoverGenicam(const GenicamSpec& spec);

// The interfaces named by ORX_GENICAM ("Fake", "GigEVision,USB3Vision"), if set.
std::optional<GenicamSpec> genicamFromEnvironment();

} // namespace vexcam
