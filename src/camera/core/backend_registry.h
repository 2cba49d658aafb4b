// The camera backends the library lists devices from, in the order their
// devices appear: the rig's simulated cameras first, then each backend of
// real cameras. Adding a backend is a folder under backends/ and a line in
// backend_registry.cpp.
#pragma once

#include "item_data.h"

#include "vexcam/rig.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vexcam {

struct Discovery {
    std::vector<std::shared_ptr<Vexlib::detail::DeviceData>> devices;
    std::string error; // non-empty: the backend's cameras could not be searched for
};

struct BackendEntry {
    const char* name;
    Discovery (*discover)(const Rig& rig);
};

std::span<const BackendEntry> cameraBackends();

} // namespace vexcam
