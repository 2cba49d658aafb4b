// The contact sheet's labels: drawn with the built-in font, on a dark band
// that keeps them legible on any picture, cut to fit their tile.
#include "output/bitmap_font.h"
#include "cli_error.h"
#include "output/contact_sheet.h"

#include <gtest/gtest.h>

#include <set>

namespace orx::cli_test {
namespace {

using orximaq::ContactSheetLayout;
using orximaq::ContactTile;
using orximaq::Image;
using orximaq::PixelFormat;

Image plain(std::int32_t width, std::int32_t height, std::uint8_t grey)
{
    return Image{width, height, PixelFormat::Grey8,
                 std::vector<std::uint8_t>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), grey)};
}

const std::uint8_t* pixelAt(const Image& rgb, std::int32_t x, std::int32_t y)
{
    return &rgb.pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(rgb.width) +
                        static_cast<std::size_t>(x)) * 3];
}

bool isText(const std::uint8_t* pixel)
{
    return pixel[0] > 200;
}

// Pixels of text colour in the rectangle.
int textPixels(const Image& rgb, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height)
{
    int count = 0;
    for (std::int32_t y = top; y < top + height; ++y)
        for (std::int32_t x = left; x < left + width; ++x)
            count += isText(pixelAt(rgb, x, y)) ? 1 : 0;
    return count;
}

// Every printable character has its own shape (a slip in the table would
// make two characters look alike); only the blank is empty.
TEST(BitmapFontTest, PrintableGlyphsAreDistinct)
{
    std::set<std::array<std::uint8_t, orximaq::kGlyphHeight>> shapes;
    for (char c = ' '; c <= '~'; ++c) {
        const auto& glyph = orximaq::glyphFor(c);
        shapes.insert(glyph);
        bool empty = true;
        for (const auto row : glyph) {
            EXPECT_EQ(row & ~0x1Fu, 0u) << c;
            empty = empty && row == 0;
        }
        EXPECT_EQ(empty, c == ' ') << c;
    }
    EXPECT_EQ(shapes.size(), 95u);
    EXPECT_EQ(orximaq::glyphFor('\n'), orximaq::glyphFor('?'));
    EXPECT_EQ(orximaq::glyphFor('\xC3'), orximaq::glyphFor('?'));
}

// A glyph lands pixel for pixel, scaled, at its place; drawing past the
// image's edge is clipped, not written out of bounds.
TEST(BitmapFontTest, TextIsDrawnScaledAndClipped)
{
    Image rgb = orximaq::toRgb24(plain(20, 20, 0));
    orximaq::drawText(rgb, 2, 3, "T", {255, 255, 255}, 2);
    const auto& glyph = orximaq::glyphFor('T');
    for (std::int32_t y = 0; y < 20; ++y)
        for (std::int32_t x = 0; x < 20; ++x) {
            const std::int32_t column = (x - 2) / 2, row = (y - 3) / 2;
            const bool inside = x >= 2 && y >= 3 && column < orximaq::kGlyphWidth && row < orximaq::kGlyphHeight;
            const bool lit = inside && (glyph[static_cast<std::size_t>(row)] & (0x10u >> column)) != 0;
            EXPECT_EQ(isText(pixelAt(rgb, x, y)), lit) << x << "," << y;
        }
    orximaq::drawText(rgb, 15, 15, "WWWW", {255, 255, 255}, 3);
    orximaq::drawText(rgb, -40, -40, "WWWW", {255, 255, 255}, 3);
    EXPECT_EQ(orximaq::textWidth("ab", 2), 22);
}

TEST(BitmapFontTest, LongTextIsCutWithAnEllipsis)
{
    EXPECT_EQ(orximaq::fitText("short", 100), "short");
    const std::string cut = orximaq::fitText("a rather long device name", 59);
    EXPECT_EQ(cut, "a rathe...");
    EXPECT_LE(orximaq::textWidth(cut), 59);
    EXPECT_EQ(orximaq::fitText("abc", 5), "a");
    EXPECT_EQ(orximaq::fitText("abc", 4), "");
}

class ContactSheetTest : public ::testing::Test {
protected:
    ContactSheetLayout layout{.tileWidth = 120, .tileHeight = 90, .margin = 8, .textScale = 2, .labelLines = 3};
    std::int32_t line = orximaq::kCellHeight * 2 + 6;
    std::int32_t titleHeight = line + 8;
};

// On a white tile and on a black one the label band is dark with light text,
// so the label reads the same whatever the camera saw; the title is drawn.
TEST_F(ContactSheetTest, LabelsAreLegibleOnAnyTile)
{
    const Image sheet = orximaq::makeContactSheet(
        {ContactTile{plain(160, 120, 255), {"#1 White", "Y800 (160x120)", "frame 1 of 5"}},
         ContactTile{plain(160, 120, 0), {"#2 Black", "Y800 (160x120)", "frame 1 of 5"}}},
        "Title", layout);
    ASSERT_EQ(sheet.width, 2 * (120 + 8) + 8);
    ASSERT_EQ(sheet.height, titleHeight + 90 + 3 * line + 8 + 8);
    EXPECT_GT(textPixels(sheet, 0, 0, sheet.width, titleHeight), 0);
    for (int tile = 0; tile < 2; ++tile) {
        SCOPED_TRACE(tile);
        const std::int32_t left = 8 + tile * 128;
        const std::int32_t bandTop = titleHeight + 8 + 90;
        for (int row = 0; row < 3; ++row)
            EXPECT_GT(textPixels(sheet, left, bandTop + row * line, 120, line), 20) << row;
        // Every band pixel is either text or the dark band.
        for (std::int32_t y = bandTop; y < bandTop + 3 * line; ++y)
            for (std::int32_t x = left; x < left + 120; ++x) {
                const auto* pixel = pixelAt(sheet, x, y);
                ASSERT_TRUE(isText(pixel) || pixel[0] < 20) << x << "," << y;
            }
    }
    // The white picture stays white above its band, the black one black.
    EXPECT_EQ(pixelAt(sheet, 8 + 60, titleHeight + 8 + 45)[0], 255);
    EXPECT_EQ(pixelAt(sheet, 136 + 60, titleHeight + 8 + 45)[0], 0);
}

// A label too long for its tile is cut inside the tile: the gap to the next
// tile stays background. Lines beyond the band's are dropped.
TEST_F(ContactSheetTest, LongLabelsStayInTheirTile)
{
    const std::string longName(80, 'W');
    const Image sheet = orximaq::makeContactSheet(
        {ContactTile{plain(40, 30, 128), {longName, longName, longName, longName}},
         ContactTile{plain(40, 30, 128), {}}},
        std::string(200, 'W'), layout);
    const std::int32_t bandTop = titleHeight + 8 + 90;
    EXPECT_EQ(textPixels(sheet, 8 + 120, bandTop, 8, 3 * line), 0);
    EXPECT_EQ(textPixels(sheet, 136, bandTop, 120, 3 * line), 0);
    EXPECT_EQ(textPixels(sheet, sheet.width - 8, 0, 8, titleHeight), 0);
}

TEST_F(ContactSheetTest, NeedsATile)
{
    EXPECT_THROW(orximaq::makeContactSheet({}, "Title", layout), orximaq::CliError);
}

} // namespace
} // namespace orx::cli_test
