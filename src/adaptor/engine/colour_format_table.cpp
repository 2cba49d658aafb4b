#include "engine/colour_format_table.h"

#include "platform/imaqkit.h"

namespace orx {
namespace {

constexpr ColourFormatRow kRows[] = {
    {"Y800", Vexlib::eY800, imaqkit::kMono8, false},
    {"RGB24", Vexlib::eRGB24, imaqkit::kRgb24Packed, false},
    // The camera converts BY8 to RGB24 for the sink.
    {"BY8", Vexlib::eRGB24, imaqkit::kRgb24Packed, false},
    {"RGB32", Vexlib::eRGB32, imaqkit::kRgb32Packed, false},
    {"Y16", Vexlib::eY16, imaqkit::kMono16, true},
};
constexpr ColourFormatRow kOtherFormats{nullptr, Vexlib::eRGB32, imaqkit::kRgb32Packed, false};

} // namespace

const ColourFormatRow& colourFormatTable(std::string_view colourFormatName)
{
    for (const auto& row : kRows)
        if (colourFormatName == row.name) return row;
    return kOtherFormats;
}

} // namespace orx
