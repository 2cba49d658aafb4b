// The bodies the kit's base classes bring with them: the root destructor and
// the adaptor base, which owns the adaptor manager and forwards slots 1 to 3.
#include "platform/imaqkit.h"

namespace imaqkit {

IMAQInterface::~IMAQInterface() = default;

IAdaptor::~IAdaptor()
{
    delete adaptorManager;
}

std::int64_t IAdaptor::framesDelivered()
{
    return adaptorManager ? adaptorManager->framesDelivered() : 0;
}

void IAdaptor::getROI(std::int32_t* x, std::int32_t* y, std::int32_t* width, std::int32_t* height)
{
    if (adaptorManager) adaptorManager->getROI(x, y, width, height);
}

bool IAdaptor::setROI(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    return adaptorManager ? adaptorManager->setROI(x, y, width, height) : false;
}

} // namespace imaqkit
