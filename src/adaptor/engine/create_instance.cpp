#include "engine/create_instance.h"

#include "common/host_storage.h"
#include "engine/orx_adaptor.h"

namespace orx {

imaqkit::IAdaptor* createInstance(imaqkit::IEngine* engine, imaqkit::IDeviceInfo* deviceInfo,
                                  const char* formatName)
{
    return newInHostStorage<ORXadaptor>(engine, deviceInfo, formatName);
}

} // namespace orx
