#include "item_data.h"

namespace Vexlib {

VideoCaptureDeviceItem::VideoCaptureDeviceItem() = default;

VideoCaptureDeviceItem::VideoCaptureDeviceItem(std::shared_ptr<const detail::DeviceData> data) : data_(std::move(data)) {}

const char* VideoCaptureDeviceItem::c_str() const
{
    return data_ ? data_->spec.name.c_str() : "";
}

bool VideoCaptureDeviceItem::getSerialNumber(std::int64_t& serial) const
{
    if (!data_ || !data_->spec.serial) return false;
    serial = *data_->spec.serial;
    return true;
}

bool VideoCaptureDeviceItem::isValid() const
{
    return data_ != nullptr;
}

} // namespace Vexlib
