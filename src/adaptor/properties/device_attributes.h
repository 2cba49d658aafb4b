// The device properties and the video source of one device and format, as
// the host asks for them before it creates an adaptor: the fixed properties
// "SerialNo", "FrameRate" and "InputChannel" from the grabber, then the
// camera's own properties.
#pragma once

#include "platform/imaqkit.h"
#include "platform/vexlib.h"

#include <string>

namespace orx {

// Opens the device on a temporary grabber, declares its properties, closes it
// and declares the device's single video source. The device is closed also
// when an exception leaves the call.
void getDeviceAttributes(imaqkit::IDeviceInfo* deviceInfo, const char* formatName,
                         imaqkit::IPropFactory* propertyFactory,
                         imaqkit::IVideoSourceInfo* sourceContainer);

// "SerialNo", when the open device reports a serial number.
void publishSerialNumber(Vexlib::Grabber& grabber, imaqkit::IPropFactory& factory);
// "FrameRate", one entry per rate of the current format, the first highest
// rate as the initial value; not for region-of-interest devices.
void publishFrameRate(Vexlib::Grabber& grabber, imaqkit::IPropFactory& factory);
// "InputChannel", one entry per input channel.
void publishInputChannel(Vexlib::Grabber& grabber, imaqkit::IPropFactory& factory);

// The "FrameRate" entry text of a rate: single precision, "%5.2f", at most
// nine characters.
std::string frameRateText(double rate);

} // namespace orx
