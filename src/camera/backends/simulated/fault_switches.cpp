// The fault switches of vexcam/testing/camera_testing.h: a test replaces the
// faults a rig gave a device, or what the device list answers, at run time.
// The library's items answer whatever faults a device carries.
#include "library.h"

#include "vexcam/testing/camera_testing.h"

namespace vexcam {

bool setDeviceFaults(const std::string& deviceName, const DeviceFaults& faults)
{
    return Library::instance().setFaults(deviceName, faults);
}

DeviceFaults deviceFaults(const std::string& deviceName)
{
    const auto device = Library::instance().findDevice(deviceName);
    return device ? device->faults() : DeviceFaults{};
}

void setDeviceListFault(ListFault fault)
{
    Library::instance().setDeviceListFault(fault);
}

} // namespace vexcam
