#include "imaqhost/testing/video_input_inspector.h"

#include "video_input_parts.h"

namespace imaqhost {

imaqkit::IAdaptor& VideoInputInspector::adaptor() const
{
    return *input_.parts_->adaptor;
}

void VideoInputInspector::setDeviceSpecific(const std::string& name, bool deviceSpecific) const
{
    input_.parts_->engine->deviceProperties().setDeviceSpecific(name, deviceSpecific);
}

bool VideoInputInspector::hasCustomGetFunction(const std::string& name) const
{
    return input_.parts_->engine->deviceProperties().hasCustomGetFunction(name);
}

std::size_t VideoInputInspector::postSetListenerCount(const std::string& name) const
{
    return input_.parts_->engine->deviceProperties().postSetListenerCount(name);
}

std::int64_t VideoInputInspector::framesOutsideAcquisition() const
{
    return input_.parts_->engine->acquisition().framesOutsideAcquisition();
}

} // namespace imaqhost
