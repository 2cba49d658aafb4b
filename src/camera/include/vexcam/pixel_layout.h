// The pixel layouts in which the simulated camera fills its buffers. Rows are
// packed (no padding) and run top to bottom. Colour pixels are stored in the
// Windows order: blue, green, red (and an unused fourth byte, 0xFF, for
// RGB32). Sixteen-bit grey is little-endian.
#pragma once

#include "platform/vexlib.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vexcam {

enum class PixelLayout {
    Gray8,  // Y800: one byte per pixel
    Gray16, // Y16: two bytes per pixel
    Rgb24,  // RGB24: blue, green, red
    Rgb32,  // RGB32: blue, green, red, 0xFF
    Bayer8, // BY8: raw sensor data, one byte per pixel, BGGR colour filter
};

constexpr std::int32_t bitsPerPixel(PixelLayout layout) noexcept
{
    switch (layout) {
    case PixelLayout::Gray8: return 8;
    case PixelLayout::Gray16: return 16;
    case PixelLayout::Rgb24: return 24;
    case PixelLayout::Rgb32: return 32;
    case PixelLayout::Bayer8: return 8;
    }
    return 0;
}

constexpr std::size_t bytesPerPixel(PixelLayout layout) noexcept
{
    return static_cast<std::size_t>(bitsPerPixel(layout) / 8);
}

// The media subtype of a layout, and the layout of a subtype (none for a
// subtype the camera cannot deliver).
VEXLIB_API GUID layoutSubtype(PixelLayout layout);
VEXLIB_API std::optional<PixelLayout> layoutOfSubtype(const GUID& subtype);
// The layout a colour format is delivered in when the sink asks for nothing
// in particular ("Y800", "Y16", "RGB24", "RGB32", "BY8"; RGB32 for others).
VEXLIB_API PixelLayout nativeLayout(std::string_view colorformat);
VEXLIB_API std::string_view layoutName(PixelLayout layout);

} // namespace vexcam
