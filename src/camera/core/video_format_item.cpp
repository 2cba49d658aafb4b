#include "item_data.h"
#include "wide_text.h"

#include <tuple>

namespace Vexlib {

VideoFormatItem::VideoFormatItem() = default;

VideoFormatItem::VideoFormatItem(std::shared_ptr<const detail::FormatData> data) : data_(std::move(data)) {}

const char* VideoFormatItem::c_str() const
{
    return data_ ? data_->text.c_str() : "";
}

WCHAR* VideoFormatItem::toString_() const
{
    return vexcam::wideTaskMemCopy(data_ ? data_->text : std::string());
}

WCHAR* VideoFormatItem::getColorformatString_() const
{
    return vexcam::wideTaskMemCopy(data_ ? data_->colorformat : std::string());
}

SIZE VideoFormatItem::getSize() const
{
    return data_ ? SIZE{data_->size.cx, data_->size.cy} : SIZE{0, 0};
}

GUID VideoFormatItem::getSubtype() const
{
    return data_ ? data_->subtype : GUID{};
}

bool VideoFormatItem::isValid() const
{
    return data_ != nullptr;
}

bool VideoFormatItem::operator==(const VideoFormatItem& other) const
{
    if (!data_ || !other.data_) return !data_ && !other.data_;
    return data_->colorformat == other.data_->colorformat && data_->subtype == other.data_->subtype &&
           data_->size == other.data_->size;
}

// By colour-format name, then width, then height; an invalid item comes first.
bool VideoFormatItem::operator<(const VideoFormatItem& other) const
{
    if (!data_ || !other.data_) return !data_ && other.data_;
    return std::tie(data_->colorformat, data_->size.cx, data_->size.cy) <
           std::tie(other.data_->colorformat, other.data_->size.cx, other.data_->size.cy);
}

} // namespace Vexlib
