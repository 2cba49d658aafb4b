// What the library's item classes hold: the data behind devices, norms,
// formats, channels and format descriptions.
#pragma once

#include "camera_backend.h"
#include "property_store.h"

#include "platform/vexlib.h"
#include "vexsim/rig.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace vexsim {

// What the list of kind `kind` answers under `faults`.
ListFault listFault(const DeviceFaults& faults, ListKind kind);

} // namespace vexsim

namespace Vexlib::detail {

// A device of the rig in force. It lives from InitLibrary to ExitLibrary (and
// as long as an item or grabber still refers to it); its property values live
// in its property store for as long.
struct DeviceData {
    DeviceData(vexsim::DeviceSpec deviceSpec, vexsim::Size sensorSize,
               std::shared_ptr<vexsim::CameraBackend> cameraBackend = nullptr);

    vexsim::DeviceFaults faults() const;
    void setFaults(vexsim::DeviceFaults faults);

    const vexsim::DeviceSpec spec;
    const vexsim::Size sensor;
    const std::shared_ptr<vexsim::PropertyStore> properties;
    const std::shared_ptr<vexsim::CameraBackend> backend; // null: simulated

private:
    mutable std::mutex faultsMutex_;
    vexsim::DeviceFaults faults_;
};

struct NormData {
    std::shared_ptr<const DeviceData> device;
    std::size_t index = 0; // position in the device's norms
};

struct FormatData {
    std::string colorformat;
    vexsim::Size size;
    GUID subtype{};
    std::string text; // "<colorformat> (<width>x<height>)"
};

struct ChannelData {
    std::string name;
    std::int32_t index = 0;
};

struct FormatDescData {
    vexsim::DescriptionSpec spec;
    GUID subtype{};
};

} // namespace Vexlib::detail
