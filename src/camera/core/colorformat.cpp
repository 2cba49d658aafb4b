#include "colorformat.h"

#include "vexcam/pixel_layout.h"

#include <array>

namespace vexcam {
namespace {

constexpr GUID rgbSubtype(std::uint32_t data1)
{
    return {data1, 0x524F, 0x11CE, {0x9F, 0x53, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
}

struct ColorformatRow {
    std::string_view name;
    Vexlib::tColorformatEnum value;
    std::optional<GUID> (*subtype)();
};

const std::array kColorformats{
    ColorformatRow{"RGB32", Vexlib::eRGB32, [] { return std::optional(rgbSubtype(0xE436EB7E)); }},
    ColorformatRow{"RGB24", Vexlib::eRGB24, [] { return std::optional(rgbSubtype(0xE436EB7D)); }},
    ColorformatRow{"RGB565", Vexlib::eRGB565, [] { return std::optional(rgbSubtype(0xE436EB7B)); }},
    ColorformatRow{"RGB555", Vexlib::eRGB555, [] { return std::optional(rgbSubtype(0xE436EB7C)); }},
    ColorformatRow{"RGB8", Vexlib::eRGB8, [] { return std::optional(rgbSubtype(0xE436EB7A)); }},
    ColorformatRow{"UYVY", Vexlib::eUYVY, [] { return std::optional(fourccSubtype("UYVY")); }},
    ColorformatRow{"Y800", Vexlib::eY800, [] { return std::optional(fourccSubtype("Y800")); }},
    ColorformatRow{"BY8", Vexlib::eBY8, [] { return std::optional(fourccSubtype("BY8 ")); }},
    ColorformatRow{"YGB1", Vexlib::eYGB1, [] { return std::optional(fourccSubtype("YGB1")); }},
    ColorformatRow{"YGB0", Vexlib::eYGB0, [] { return std::optional(fourccSubtype("YGB0")); }},
    ColorformatRow{"Y16", Vexlib::eY16, [] { return std::optional(fourccSubtype("Y16 ")); }},
};

const ColorformatRow* findRow(std::string_view name)
{
    for (const auto& row : kColorformats)
        if (row.name == name) return &row;
    return nullptr;
}

const ColorformatRow* findRow(Vexlib::tColorformatEnum value)
{
    for (const auto& row : kColorformats)
        if (row.value == value) return &row;
    return nullptr;
}

} // namespace

GUID fourccSubtype(std::string_view fourcc)
{
    std::uint32_t code = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const auto c = static_cast<unsigned char>(i < fourcc.size() ? fourcc[i] : ' ');
        code |= std::uint32_t{c} << (8 * i);
    }
    return {code, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
}

std::optional<GUID> subtypeOfColorformat(std::string_view colorformat)
{
    const ColorformatRow* row = findRow(colorformat);
    return row ? row->subtype() : std::nullopt;
}

Vexlib::tColorformatEnum colorformatEnum(std::string_view colorformat)
{
    const ColorformatRow* row = findRow(colorformat);
    return row ? row->value : Vexlib::eInvalidColorformat;
}

GUID layoutSubtype(PixelLayout layout)
{
    switch (layout) {
    case PixelLayout::Gray8: return *subtypeOfColorformat("Y800");
    case PixelLayout::Gray16: return *subtypeOfColorformat("Y16");
    case PixelLayout::Rgb24: return *subtypeOfColorformat("RGB24");
    case PixelLayout::Rgb32: return *subtypeOfColorformat("RGB32");
    case PixelLayout::Bayer8: return *subtypeOfColorformat("BY8");
    }
    return GUID{};
}

std::optional<PixelLayout> layoutOfSubtype(const GUID& subtype)
{
    for (PixelLayout layout : {PixelLayout::Gray8, PixelLayout::Gray16, PixelLayout::Rgb24, PixelLayout::Rgb32,
                               PixelLayout::Bayer8})
        if (layoutSubtype(layout) == subtype) return layout;
    return std::nullopt;
}

PixelLayout nativeLayout(std::string_view colorformat)
{
    if (colorformat == "Y800") return PixelLayout::Gray8;
    if (colorformat == "Y16") return PixelLayout::Gray16;
    if (colorformat == "RGB24") return PixelLayout::Rgb24;
    if (colorformat == "BY8") return PixelLayout::Bayer8;
    return PixelLayout::Rgb32;
}

std::string_view layoutName(PixelLayout layout)
{
    switch (layout) {
    case PixelLayout::Gray8: return "Y800";
    case PixelLayout::Gray16: return "Y16";
    case PixelLayout::Rgb24: return "RGB24";
    case PixelLayout::Rgb32: return "RGB32";
    case PixelLayout::Bayer8: return "BY8";
    }
    return "";
}

} // namespace vexcam

namespace Vexlib {

GUID getSubtypeFromColorformat(tColorformatEnum colorformat)
{
    const auto* row = vexcam::findRow(colorformat);
    if (!row) return GUID{};
    return row->subtype().value_or(GUID{});
}

} // namespace Vexlib
