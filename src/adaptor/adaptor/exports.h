// The five entry points, exported under their plain, undecorated names. The
// module exports them; the test support calls the same functions in-process.
#pragma once

#include "platform/imaqkit.h"

#if defined(_WIN32)
#define ORX_EXPORT extern "C" __declspec(dllexport)
#else
#define ORX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

ORX_EXPORT bool initializeAdaptor();
ORX_EXPORT void uninitializeAdaptor();
ORX_EXPORT void getAvailHW(imaqkit::IHardwareInfo* hardwareInfo);
ORX_EXPORT void getDeviceAttributes(imaqkit::IDeviceInfo* deviceInfo, const char* formatName,
                                    imaqkit::IPropFactory* propertyFactory,
                                    imaqkit::IVideoSourceInfo* sourceContainer,
                                    imaqkit::ITriggerInfo* triggerInfo);
ORX_EXPORT imaqkit::IAdaptor* createInstance(imaqkit::IEngine* engine, imaqkit::IDeviceInfo* deviceInfo,
                                             const char* formatName);
