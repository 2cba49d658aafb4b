#include "adaptor/exports.h"

#include "adaptor/discovery.h"
#include "engine/create_instance.h"
#include "platform/adaptor_entry_points.h"
#include "properties/device_attributes.h"

#include <type_traits>

// Each export has exactly the function type under which the host calls it.
static_assert(std::is_same_v<decltype(&initializeAdaptor), orx::entry::InitializeAdaptorFn>);
static_assert(std::is_same_v<decltype(&uninitializeAdaptor), orx::entry::UninitializeAdaptorFn>);
static_assert(std::is_same_v<decltype(&getAvailHW), orx::entry::GetAvailHWFn>);
static_assert(std::is_same_v<decltype(&getDeviceAttributes), orx::entry::GetDeviceAttributesFn>);
static_assert(std::is_same_v<decltype(&createInstance), orx::entry::CreateInstanceFn>);

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
