// Which Aravis interfaces are searched for cameras. Only those named are
// enabled; every other one is disabled before any discovery, so that no
// interface that was not asked for sends a packet (GigE Vision discovery
// broadcasts on every network interface).
#pragma once

#include <string>
#include <vector>

namespace vexcam::genicam {

// Empty when done; otherwise why not (an unknown interface name; nothing is
// enabled then).
std::string selectInterfaces(const std::vector<std::string>& wanted);

} // namespace vexcam::genicam
