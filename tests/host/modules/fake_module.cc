// A minimal adaptor module for the host's loading tests. Built twice: whole,
// and without getDeviceAttributes (ORX_FAKE_MODULE_PARTIAL).
#include "platform/imaqkit.h"

#if defined(_WIN32)
#define FAKE_MODULE_EXPORT __declspec(dllexport)
#else
#define FAKE_MODULE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

FAKE_MODULE_EXPORT bool initializeAdaptor()
{
    return true;
}

FAKE_MODULE_EXPORT void uninitializeAdaptor() {}

FAKE_MODULE_EXPORT void getAvailHW(imaqkit::IHardwareInfo* hardware)
{
    imaqkit::IDeviceInfo* device = hardware->createDeviceInfo(1, "Module Camera");
    device->addDeviceFormat(device->createDeviceFormat(1, "Y800 (4x4)"), false);
    hardware->addDevice(device);
}

#if !defined(ORX_FAKE_MODULE_PARTIAL)
FAKE_MODULE_EXPORT void getDeviceAttributes(imaqkit::IDeviceInfo*, const char*,
                                            imaqkit::IPropFactory*,
                                            imaqkit::IVideoSourceInfo* sources,
                                            imaqkit::ITriggerInfo*)
{
    sources->addAdaptorSource("Module Camera", 1);
}
#endif

FAKE_MODULE_EXPORT imaqkit::IAdaptor* createInstance(imaqkit::IEngine*, imaqkit::IDeviceInfo*,
                                                     const char*)
{
    return nullptr;
}
}
