// The five functions an adaptor module exports, under their plain names.
#pragma once

#include "platform/imaqkit.h"

namespace orx::entry {

using InitializeAdaptorFn = bool (*)();
using UninitializeAdaptorFn = void (*)();
using GetAvailHWFn = void (*)(imaqkit::IHardwareInfo* hardwareInfo);
using GetDeviceAttributesFn = void (*)(imaqkit::IDeviceInfo* deviceInfo, const char* formatName,
                                       imaqkit::IPropFactory* propertyFactory,
                                       imaqkit::IVideoSourceInfo* sourceContainer,
                                       imaqkit::ITriggerInfo* triggerInfo);
using CreateInstanceFn = imaqkit::IAdaptor* (*)(imaqkit::IEngine* engine,
                                                imaqkit::IDeviceInfo* deviceInfo,
                                                const char* formatName);

inline constexpr const char* kInitializeAdaptor = "initializeAdaptor";
inline constexpr const char* kUninitializeAdaptor = "uninitializeAdaptor";
inline constexpr const char* kGetAvailHW = "getAvailHW";
inline constexpr const char* kGetDeviceAttributes = "getDeviceAttributes";
inline constexpr const char* kCreateInstance = "createInstance";

} // namespace orx::entry
