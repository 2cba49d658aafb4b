// The host's reads and writes of device properties while an adaptor exists.
// "InputChannel", "FrameRate" and "SerialNo" are served by the grabber; every
// other name is traced back to the camera element published under it.
#pragma once

#include "common/com_ptr.h"
#include "platform/imaqkit.h"
#include "platform/vexlib.h"

#include <string>

namespace orx {

// Fills `buffer` (32-bit integer or 64-bit double, by property) for the named
// property. A negative status of a camera call leaves as a std::int32_t.
void readDeviceProperty(Vexlib::Grabber& grabber, imaqkit::IPropInfo* info, void* buffer);
// Applies `newValue` (as the host stores it) to the named property.
void writeDeviceProperty(Vexlib::Grabber& grabber, imaqkit::IPropInfo* info, void* newValue);

void readCameraProperty(Vexlib::Grabber& grabber, const std::string& name, void* buffer);
void writeCameraProperty(Vexlib::Grabber& grabber, const std::string& name, void* newValue);

// The element published under `name`: of the last item holding one, that
// item's first such element. Empty when there is none.
ComPtr<Vexlib::PropertyElement> findCameraElement(Vexlib::Grabber& grabber, const std::string& name);

} // namespace orx
