#include "caps_catalogue.h"

#include "vexcam/format_text.h"

#include <gst/video/video.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace vexcam::gst {

const std::vector<Size> kRangeSizes{{160, 120},  {320, 240},  {640, 480},   {800, 600},
                                    {1024, 768}, {1280, 720}, {1280, 1024}, {1920, 1080}};
const std::vector<double> kRangeRates{60, 50, 30, 25, 15, 10, 5};

namespace {

// The order in which colour formats are listed: colour first.
constexpr std::array<std::string_view, 4> kOrder{"RGB24", "RGB32", "Y800", "Y16"};
// A size range as a description states it: within these bounds (sources
// such as videotestsrc accept 1 to 2^31 - 1, and the host offers a range's
// ends as formats).
constexpr Size kSmallestRangeSize{160, 120};
constexpr Size kLargestRangeSize{3840, 2160};

struct IntRange {
    gint min = 0, max = 0, step = 1;
};

struct IntChoice {
    std::vector<gint> fixed;
    std::vector<IntRange> ranges;
};

void collectInts(const GValue* value, IntChoice& choice)
{
    if (!value) return;
    if (G_VALUE_HOLDS_INT(value)) {
        choice.fixed.push_back(g_value_get_int(value));
    } else if (GST_VALUE_HOLDS_INT_RANGE(value)) {
        choice.ranges.push_back({gst_value_get_int_range_min(value), gst_value_get_int_range_max(value),
                                 std::max(1, gst_value_get_int_range_step(value))});
    } else if (GST_VALUE_HOLDS_LIST(value)) {
        for (guint i = 0; i < gst_value_list_get_size(value); ++i)
            collectInts(gst_value_list_get_value(value, i), choice);
    }
}

void collectStrings(const GValue* value, std::vector<std::string>& strings)
{
    if (!value) return;
    if (G_VALUE_HOLDS_STRING(value)) {
        if (const char* text = g_value_get_string(value)) strings.emplace_back(text);
    } else if (GST_VALUE_HOLDS_LIST(value)) {
        for (guint i = 0; i < gst_value_list_get_size(value); ++i)
            collectStrings(gst_value_list_get_value(value, i), strings);
    }
}

Fraction fractionOf(const GValue* value)
{
    return {gst_value_get_fraction_numerator(value), gst_value_get_fraction_denominator(value)};
}

// Rates of a framerate field; a range gives the usual rates within it, or
// its top when none is.
void collectRates(const GValue* value, std::vector<Fraction>& rates)
{
    if (!value) return;
    if (GST_VALUE_HOLDS_FRACTION(value)) {
        if (fractionOf(value).num > 0) rates.push_back(fractionOf(value));
    } else if (GST_VALUE_HOLDS_FRACTION_RANGE(value)) {
        const double low = fractionOf(gst_value_get_fraction_range_min(value)).value();
        const Fraction top = fractionOf(gst_value_get_fraction_range_max(value));
        const auto before = rates.size();
        for (const double rate : kRangeRates)
            if (rate >= low && rate <= top.value()) rates.push_back({gint(rate), 1});
        if (rates.size() == before && top.num > 0 && top.value() < 1000.0) rates.push_back(top);
    } else if (GST_VALUE_HOLDS_LIST(value)) {
        for (guint i = 0; i < gst_value_list_get_size(value); ++i)
            collectRates(gst_value_list_get_value(value, i), rates);
    }
}

bool fits(const IntChoice& choice, gint value)
{
    if (std::find(choice.fixed.begin(), choice.fixed.end(), value) != choice.fixed.end()) return true;
    return std::any_of(choice.ranges.begin(), choice.ranges.end(), [&](const IntRange& range) {
        return value >= range.min && value <= range.max && (value - range.min) % range.step == 0;
    });
}

IntRange spanOf(const IntChoice& choice, gint smallest, gint largest)
{
    IntRange span{G_MAXINT, 0, 1};
    for (const gint value : choice.fixed) span = {std::min(span.min, value), std::max(span.max, value), 1};
    for (const auto& range : choice.ranges)
        span = {std::min(span.min, range.min), std::max(span.max, range.max), range.step};
    // Clipped on the range's own grid.
    if (span.min < smallest) span.min += (smallest - span.min + span.step - 1) / span.step * span.step;
    if (span.max > largest) span.max -= (span.max - largest + span.step - 1) / span.step * span.step;
    span.max = std::max(span.max, 1);
    span.min = std::clamp(span.min, 1, span.max);
    return span;
}

std::vector<std::string_view> colorformatsOfStructure(const GstStructure* structure)
{
    const std::string_view name = gst_structure_get_name(structure);
    std::vector<std::string_view> found;
    if (name == "image/jpeg") {
        found = {"RGB24", "Y800"};
    } else if (name == "video/x-raw") {
        std::vector<std::string> formats;
        collectStrings(gst_structure_get_value(structure, "format"), formats);
        for (const auto& format : formats)
            for (const auto colorformat : colorformatsOf(format)) found.push_back(colorformat);
    }
    std::vector<std::string_view> ordered;
    for (const auto colorformat : kOrder)
        if (std::find(found.begin(), found.end(), colorformat) != found.end()) ordered.push_back(colorformat);
    return ordered;
}

struct Builder {
    // (colour format position, area, width, height) -> rates
    std::map<std::tuple<std::size_t, std::int64_t, std::int32_t, std::int32_t>, std::vector<Fraction>> formats;
    std::map<std::string_view, DescriptionSpec> listed; // fixed sizes, by colour format
    CapsCatalogue catalogue;

    void addFormat(std::string_view colorformat, Size size, const std::vector<Fraction>& rates)
    {
        const auto position = std::size_t(std::find(kOrder.begin(), kOrder.end(), colorformat) - kOrder.begin());
        auto& known = formats[{position, std::int64_t(size.cx) * size.cy, size.cx, size.cy}];
        known.insert(known.end(), rates.begin(), rates.end());
        catalogue.largest = std::max(catalogue.largest, size, [](Size a, Size b) {
            return std::int64_t(a.cx) * a.cy < std::int64_t(b.cx) * b.cy;
        });
    }

    void addListed(std::string_view colorformat, Size size)
    {
        auto [entry, added] = listed.try_emplace(colorformat);
        DescriptionSpec& description = entry->second;
        if (added) {
            description.colorformat = std::string(colorformat);
            description.acceptance = SizeAcceptance::Listed;
            description.minSize = description.maxSize = size;
        }
        description.minSize = {std::min(description.minSize.cx, size.cx), std::min(description.minSize.cy, size.cy)};
        description.maxSize = {std::max(description.maxSize.cx, size.cx), std::max(description.maxSize.cy, size.cy)};
        if (std::find(description.acceptedSizes.begin(), description.acceptedSizes.end(), size) ==
            description.acceptedSizes.end())
            description.acceptedSizes.push_back(size);
    }

    void addGrid(std::string_view colorformat, const IntChoice& widths, const IntChoice& heights)
    {
        const IntRange w = spanOf(widths, kSmallestRangeSize.cx, kLargestRangeSize.cx);
        const IntRange h = spanOf(heights, kSmallestRangeSize.cy, kLargestRangeSize.cy);
        DescriptionSpec description;
        description.colorformat = std::string(colorformat);
        description.minSize = {w.min, h.min};
        description.maxSize = {w.max, h.max};
        description.stepSize = {w.step, h.step};
        const bool known = std::any_of(catalogue.descriptions.begin(), catalogue.descriptions.end(), [&](const auto& d) {
            return d.colorformat == description.colorformat && d.minSize == description.minSize &&
                   d.maxSize == description.maxSize && d.stepSize == description.stepSize;
        });
        if (!known) catalogue.descriptions.push_back(std::move(description));
    }

    void addStructure(const GstStructure* structure)
    {
        const auto colorformats = colorformatsOfStructure(structure);
        if (colorformats.empty()) return;
        IntChoice widths, heights;
        collectInts(gst_structure_get_value(structure, "width"), widths);
        collectInts(gst_structure_get_value(structure, "height"), heights);
        std::vector<Fraction> rates;
        collectRates(gst_structure_get_value(structure, "framerate"), rates);
        catalogue.fractions.insert(catalogue.fractions.end(), rates.begin(), rates.end());
        const bool ranged = !widths.ranges.empty() || !heights.ranges.empty();
        std::vector<Size> sizes;
        if (ranged) {
            for (const Size size : kRangeSizes)
                if (fits(widths, size.cx) && fits(heights, size.cy)) sizes.push_back(size);
            for (auto& rate : rates) catalogue.rates.defaults.push_back(rate.value());
        } else {
            for (const gint width : widths.fixed)
                for (const gint height : heights.fixed)
                    if (width > 0 && height > 0) sizes.push_back({width, height});
        }
        for (const auto colorformat : colorformats) {
            if (ranged) addGrid(colorformat, widths, heights);
            for (const Size size : sizes) {
                addFormat(colorformat, size, rates);
                if (!ranged) addListed(colorformat, size);
            }
        }
    }

    static std::vector<double> highestFirst(std::vector<double> rates)
    {
        for (double& rate : rates) rate = std::round(rate * 100.0) / 100.0;
        std::sort(rates.begin(), rates.end(), std::greater<>());
        rates.erase(std::unique(rates.begin(), rates.end()), rates.end());
        return rates;
    }

    CapsCatalogue finish()
    {
        for (const auto& [key, fractions] : formats) {
            const auto& [position, area, width, height] = key;
            const FormatSpec format{std::string(kOrder[position]), {width, height}};
            std::vector<double> rates;
            for (const auto& fraction : fractions) rates.push_back(fraction.value());
            if (!rates.empty()) catalogue.rates.byFormat[formatText(format.colorformat, format.size)] = highestFirst(rates);
            catalogue.formats.push_back(format);
        }
        for (auto& [colorformat, description] : listed) catalogue.descriptions.push_back(std::move(description));
        catalogue.rates.defaults = highestFirst(std::move(catalogue.rates.defaults));
        catalogue.rates.available = !catalogue.rates.byFormat.empty() || !catalogue.rates.defaults.empty();
        return std::move(catalogue);
    }
};

bool isYuv(std::string_view capsFormat)
{
    const GstVideoFormat format = gst_video_format_from_string(std::string(capsFormat).c_str());
    if (format == GST_VIDEO_FORMAT_UNKNOWN) return false;
    const GstVideoFormatInfo* info = gst_video_format_get_info(format);
    return info && GST_VIDEO_FORMAT_INFO_IS_YUV(info);
}

} // namespace

std::vector<std::string_view> colorformatsOf(std::string_view capsFormat)
{
    if (capsFormat == "GRAY8") return {"Y800"};
    if (capsFormat == "GRAY16_LE") return {"Y16"};
    if (capsFormat == "RGB" || capsFormat == "BGR") return {"RGB24"};
    if (capsFormat == "BGRx" || capsFormat == "BGRA" || capsFormat == "xRGB") return {"RGB32"};
    if (isYuv(capsFormat)) return {"RGB24", "Y800"};
    return {};
}

const char* capsFormatOf(PixelLayout layout)
{
    switch (layout) {
    case PixelLayout::Gray8: return "GRAY8";
    case PixelLayout::Gray16: return "GRAY16_LE";
    case PixelLayout::Rgb24: return "BGR";  // blue, green, red in memory
    case PixelLayout::Rgb32: return "BGRx"; // the fourth byte is set to 0xFF on copy
    case PixelLayout::Bayer8: return nullptr;
    }
    return nullptr;
}

CapsCatalogue catalogueOf(const GstCaps* caps)
{
    Builder builder;
    if (caps && !gst_caps_is_any(caps))
        for (guint i = 0; i < gst_caps_get_size(caps); ++i) builder.addStructure(gst_caps_get_structure(caps, i));
    return builder.finish();
}

Fraction fractionFor(const std::vector<Fraction>& fractions, double fps)
{
    const Fraction* best = nullptr;
    for (const auto& fraction : fractions)
        if (std::abs(fraction.value() - fps) <= fps * 0.005 &&
            (!best || std::abs(fraction.value() - fps) < std::abs(best->value() - fps)))
            best = &fraction;
    if (best) return *best;
    Fraction nearest;
    gst_util_double_to_fraction(fps, &nearest.num, &nearest.den);
    return nearest;
}

} // namespace vexcam::gst
