// GenICam cameras as devices of the library (backends/genicam). In a build
// without Aravis the source exists but finds nothing and says why.
#pragma once

#include "backend_registry.h"
#include "item_data.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vexcam {

using GenicamDiscovery = Discovery;

bool genicamBuilt();
// Enables exactly the interfaces of `spec`, disables every other one, then
// lists and opens the cameras found there.
GenicamDiscovery discoverGenicam(const GenicamSpec& spec);

// The interfaces named by ORX_GENICAM ("Fake", "GigEVision,USB3Vision"), if set.
std::optional<GenicamSpec> genicamFromEnvironment();

// The cameras on the interfaces that the rig and ORX_GENICAM name; none when
// neither names one.
Discovery discoverGenicamOfRig(const Rig& rig);

} // namespace vexcam
