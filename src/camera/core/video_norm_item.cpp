#include "item_data.h"

namespace Vexlib {

VideoNormItem::VideoNormItem() = default;

VideoNormItem::VideoNormItem(std::shared_ptr<const detail::NormData> data) : data_(std::move(data)) {}

const char* VideoNormItem::c_str() const
{
    if (!data_ || !data_->device) return "";
    const auto& norms = data_->device->spec.norms;
    return data_->index < norms.size() ? norms[data_->index].name.c_str() : "";
}

bool VideoNormItem::isValid() const
{
    return data_ != nullptr;
}

} // namespace Vexlib
