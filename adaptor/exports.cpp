// The five entry points, exported under their plain, undecorated names.
#include "adaptor/discovery.h"
#include "engine/create_instance.h"
#include "properties/device_attributes.h"

#if defined(_WIN32)
#define ORX_EXPORT extern "C" __declspec(dllexport)
#else
#define ORX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

ORX_EXPORT bool initializeAdaptor() { return orx::initializeAdaptor(); }

ORX_EXPORT void uninitializeAdaptor() { orx::uninitializeAdaptor(); }

ORX_EXPORT void getAvailHW(imaqkit::IHardwareInfo* hardwareInfo) { orx::getAvailHW(hardwareInfo); }

ORX_EXPORT void getDeviceAttributes(imaqkit::IDeviceInfo* deviceInfo, const char* formatName,
                                    imaqkit::IPropFactory* propertyFactory,
                                    imaqkit::IVideoSourceInfo* sourceContainer, imaqkit::ITriggerInfo*)
{
    orx::getDeviceAttributes(deviceInfo, formatName, propertyFactory, sourceContainer);
}

ORX_EXPORT imaqkit::IAdaptor* createInstance(imaqkit::IEngine* engine, imaqkit::IDeviceInfo* deviceInfo,
                                             const char* formatName)
{
    return orx::createInstance(engine, deviceInfo, formatName);
}
