#pragma once

#include "platform/imaqkit.h"

namespace orx {

// A new adaptor object in storage from imaqmalloc, or null when there is none.
// An exception from construction returns the storage and travels on.
imaqkit::IAdaptor* createInstance(imaqkit::IEngine* engine, imaqkit::IDeviceInfo* deviceInfo,
                                  const char* formatName);

} // namespace orx
