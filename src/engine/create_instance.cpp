#include "engine/create_instance.h"

#include "engine/orx_adaptor.h"

namespace orx {

imaqkit::IAdaptor* createInstance(imaqkit::IEngine* engine, imaqkit::IDeviceInfo* deviceInfo,
                                  const char* formatName)
{
    void* storage = imaqkit::imaqmalloc(sizeof(ORXadaptor));
    if (!storage) return nullptr;
    try {
        return new (storage) ORXadaptor(engine, deviceInfo, formatName);
    } catch (...) {
        imaqkit::imaqfree(storage);
        throw;
    }
}

} // namespace orx
