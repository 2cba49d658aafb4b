// Start, stop and hardware discovery: three of the adaptor's entry points.
#pragma once

#include "platform/imaqkit.h"

namespace orx {

bool initializeAdaptor();
void uninitializeAdaptor();

// Reports every attached device with its formats to the host.
void getAvailHW(imaqkit::IHardwareInfo* hardwareInfo);

inline constexpr const char* kNoFormatsWarning = "Unable to load formats of: \"%s\".";

} // namespace orx
