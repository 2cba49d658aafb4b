// The parts of a rig file, parsed from their JSON nodes.
#pragma once

#include "rig_json_node.h"

namespace vexcam {

std::vector<ItemSpec> parseProperties(const RigJsonNode& node);
DeviceFaults parseDeviceFaults(const RigJsonNode& node);

} // namespace vexcam
