#include "format_selection.h"
#include "item_data.h"

namespace Vexlib {

VideoFormatDesc::VideoFormatDesc(std::shared_ptr<const detail::FormatDescData> data) : data_(std::move(data)) {}

SIZE VideoFormatDesc::getMinSize() const
{
    return {data_->spec.minSize.cx, data_->spec.minSize.cy};
}

SIZE VideoFormatDesc::getMaxSize() const
{
    return {data_->spec.maxSize.cx, data_->spec.maxSize.cy};
}

SIZE VideoFormatDesc::getStepSize() const
{
    return {data_->spec.stepSize.cx, data_->spec.stepSize.cy};
}

bool VideoFormatDesc::isValidSize(const SIZE& size) const
{
    return vexcam::acceptsSize(data_->spec, vexcam::Size{size.cx, size.cy});
}

bool VideoFormatDesc::isROIFormat() const
{
    return data_->spec.roi;
}

GUID VideoFormatDesc::getSubtype() const
{
    return data_->subtype;
}

// Any size: the grabber decides whether it accepts the format.
VideoFormatItem VideoFormatDesc::createVideoFormat(const SIZE& size) const
{
    return vexcam::makeFormat(data_->spec.colorformat, data_->subtype, vexcam::Size{size.cx, size.cy});
}

VideoFormatItem VideoFormatDesc::createVideoFormat(std::int32_t width, std::int32_t height) const
{
    return createVideoFormat(SIZE{width, height});
}

} // namespace Vexlib
