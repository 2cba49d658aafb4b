// A tiny built-in bitmap font for labels drawn into preview images: 5 x 7
// pixel glyphs of printable ASCII in a 6 x 8 cell, scaled by whole pixels.
#pragma once

#include "output/image.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace orximaq {

inline constexpr std::int32_t kGlyphWidth = 5;
inline constexpr std::int32_t kGlyphHeight = 7;
inline constexpr std::int32_t kCellWidth = 6;  // a blank column between glyphs
inline constexpr std::int32_t kCellHeight = 8; // a blank row below

// A glyph's rows, top first; bit 4 is the leftmost pixel. Characters outside
// printable ASCII are drawn as '?'.
const std::array<std::uint8_t, kGlyphHeight>& glyphFor(char character);

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
};

// Width in pixels of `text` at `scale`, without the trailing blank column.
std::int32_t textWidth(std::string_view text, std::int32_t scale = 1);

// Draws `text` with its top-left corner at (left, top) into an RGB image;
// pixels outside the image are skipped.
void drawText(Image& rgb, std::int32_t left, std::int32_t top, std::string_view text, Rgb colour,
              std::int32_t scale = 1);

// The text shortened with a trailing "..." to fit in `width` pixels at `scale`.
std::string fitText(std::string_view text, std::int32_t width, std::int32_t scale = 1);

} // namespace orximaq
