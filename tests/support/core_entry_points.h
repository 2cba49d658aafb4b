// The adaptor's entry points called in-process, from the core linked into the
// test program, so that a host session can drive the adaptor without loading
// the module.
#pragma once

#include "adaptor/discovery.h"
#include "engine/create_instance.h"
#include "imaqsim/adaptor_module.h"
#include "properties/device_attributes.h"

namespace orx::test {

inline imaqsim::EntryPoints coreEntryPoints()
{
    imaqsim::EntryPoints entry;
    entry.initializeAdaptor = [] { return orx::initializeAdaptor(); };
    entry.uninitializeAdaptor = [] { orx::uninitializeAdaptor(); };
    entry.getAvailHW = [](imaqkit::IHardwareInfo* info) { orx::getAvailHW(info); };
    entry.getDeviceAttributes = [](imaqkit::IDeviceInfo* device, const char* format,
                                   imaqkit::IPropFactory* factory, imaqkit::IVideoSourceInfo* sources,
                                   imaqkit::ITriggerInfo*) {
        orx::getDeviceAttributes(device, format, factory, sources);
    };
    entry.createInstance = [](imaqkit::IEngine* engine, imaqkit::IDeviceInfo* device, const char* format) {
        return orx::createInstance(engine, device, format);
    };
    return entry;
}

} // namespace orx::test
