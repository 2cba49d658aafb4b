#include "format_selection.h"

#include "colorformat.h"
#include "item_data.h"

#include <algorithm>

namespace vexcam {
namespace {

bool withinRange(const DescriptionSpec& d, Size size)
{
    return size.cx >= d.minSize.cx && size.cy >= d.minSize.cy && size.cx <= d.maxSize.cx && size.cy <= d.maxSize.cy;
}

bool onGrid(std::int32_t value, std::int32_t min, std::int32_t step)
{
    return step <= 0 ? value == min : (value - min) % step == 0;
}

bool contains(const std::vector<Size>& sizes, Size size)
{
    return std::find(sizes.begin(), sizes.end(), size) != sizes.end();
}

// Whether `roi` descriptions of the norm produce this colour format and size.
bool fromRoiDescription(const NormSpec& norm, const Vexlib::VideoFormatItem& item)
{
    const auto* data = item.data();
    return std::any_of(norm.descriptions.begin(), norm.descriptions.end(), [&](const DescriptionSpec& d) {
        return d.roi && d.colorformat == data->colorformat && descriptionSubtype(d) == data->subtype &&
               offersSize(d, data->size);
    });
}

} // namespace

GUID colorformatSubtype(std::string_view colorformat)
{
    return subtypeOfColorformat(colorformat).value_or(fourccSubtype(colorformat));
}

GUID descriptionSubtype(const DescriptionSpec& description)
{
    return description.subtype.value_or(colorformatSubtype(description.colorformat));
}

Vexlib::VideoFormatItem makeFormat(std::string_view colorformat, const GUID& subtype, Size size)
{
    auto data = std::make_shared<Vexlib::detail::FormatData>();
    data->colorformat = std::string(colorformat);
    data->size = size;
    data->subtype = subtype;
    data->text = formatText(colorformat, size);
    return Vexlib::VideoFormatItem(std::move(data));
}

Vexlib::VideoFormatItem makeFormat(const FormatSpec& format)
{
    return makeFormat(format.colorformat, colorformatSubtype(format.colorformat), format.size);
}

bool acceptsSize(const DescriptionSpec& description, Size size)
{
    if (contains(description.rejectedSizes, size)) return false;
    if (description.acceptance == SizeAcceptance::Listed) return contains(description.acceptedSizes, size);
    return withinRange(description, size) && onGrid(size.cx, description.minSize.cx, description.stepSize.cx) &&
           onGrid(size.cy, description.minSize.cy, description.stepSize.cy);
}

bool offersSize(const DescriptionSpec& description, Size size)
{
    return size == description.minSize || size == description.maxSize || acceptsSize(description, size);
}

std::optional<FormatChoice> chooseFormat(const NormSpec& norm, std::string_view text)
{
    for (const FormatSpec& fixed : norm.formats)
        if (formatText(fixed.colorformat, fixed.size) == text) return chooseFormat(norm, makeFormat(fixed));
    const auto named = parseFormatText(text);
    if (!named) return std::nullopt;
    for (const DescriptionSpec& d : norm.descriptions)
        if (d.colorformat == named->colorformat && offersSize(d, named->size))
            return chooseFormat(norm, makeFormat(d.colorformat, descriptionSubtype(d), named->size));
    return std::nullopt;
}

std::optional<FormatChoice> chooseFormat(const NormSpec& norm, const Vexlib::VideoFormatItem& item)
{
    const auto* data = item.data();
    if (!data) return std::nullopt;
    const bool fixed = std::any_of(norm.formats.begin(), norm.formats.end(),
                                   [&](const FormatSpec& f) { return makeFormat(f) == item; });
    const bool described = std::any_of(norm.descriptions.begin(), norm.descriptions.end(), [&](const DescriptionSpec& d) {
        return d.colorformat == data->colorformat && descriptionSubtype(d) == data->subtype &&
               offersSize(d, data->size);
    });
    if (!fixed && !described) return std::nullopt;
    return FormatChoice{item, fromRoiDescription(norm, item)};
}

std::optional<FormatChoice> defaultFormat(const NormSpec& norm)
{
    if (!norm.formats.empty()) return chooseFormat(norm, makeFormat(norm.formats.front()));
    if (!norm.descriptions.empty()) {
        const DescriptionSpec& d = norm.descriptions.front();
        return chooseFormat(norm, makeFormat(d.colorformat, descriptionSubtype(d), d.maxSize));
    }
    return std::nullopt;
}

Size largestSize(const std::vector<NormSpec>& norms)
{
    Size largest;
    const auto grow = [&](Size s) {
        largest.cx = std::max(largest.cx, s.cx);
        largest.cy = std::max(largest.cy, s.cy);
    };
    for (const NormSpec& norm : norms) {
        for (const FormatSpec& f : norm.formats) grow(f.size);
        for (const DescriptionSpec& d : norm.descriptions) grow(d.maxSize);
    }
    return largest;
}

} // namespace vexcam
