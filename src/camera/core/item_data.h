// What the library's item classes hold: the data behind devices, norms,
// formats, channels and format descriptions.
#pragma once

#include "camera_backend.h"
#include "property_store.h"

#include "platform/vexlib.h"
#include "vexcam/rig.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace Vexlib::detail {

// A device of the rig in force. It lives from InitLibrary to ExitLibrary (and
// as long as an item or grabber still refers to it); its property values live
// in its property store for as long.
struct DeviceData {
    DeviceData(vexcam::DeviceSpec deviceSpec, vexcam::Size sensorSize,
               std::shared_ptr<vexcam::CameraBackend> cameraBackend = nullptr);

    vexcam::DeviceFaults faults() const;
    void setFaults(vexcam::DeviceFaults faults);

    const vexcam::DeviceSpec spec;
    const vexcam::Size sensor;
    const std::shared_ptr<vexcam::PropertyStore> properties;
    const std::shared_ptr<vexcam::CameraBackend> backend; // null: the device cannot stream

private:
    mutable std::mutex faultsMutex_;
    vexcam::DeviceFaults faults_;
};

struct NormData {
    std::shared_ptr<const DeviceData> device;
    std::size_t index = 0; // position in the device's norms
};

struct FormatData {
    std::string colorformat;
    vexcam::Size size;
    GUID subtype{};
    std::string text; // "<colorformat> (<width>x<height>)"
};

struct ChannelData {
    std::string name;
    std::int32_t index = 0;
};

struct FormatDescData {
    vexcam::DescriptionSpec spec;
    GUID subtype{};
};

} // namespace Vexlib::detail
