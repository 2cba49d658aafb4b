#include "item_data.h"

namespace Vexlib {

AnalogChannelItem::AnalogChannelItem() = default;

AnalogChannelItem::AnalogChannelItem(std::shared_ptr<const detail::ChannelData> data) : data_(std::move(data)) {}

const char* AnalogChannelItem::c_str() const
{
    return data_ ? data_->name.c_str() : "";
}

std::int32_t AnalogChannelItem::getIndex() const
{
    return data_ ? data_->index : -1;
}

bool AnalogChannelItem::isValid() const
{
    return data_ != nullptr;
}

} // namespace Vexlib
