#include "frame_copy.h"

#include "platform/imaqkit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using orxoct::copyToColumnMajor;
using orxoct::shapeOf;

imaqhost::FrameView viewOf(std::uint32_t type, std::int32_t width, std::int32_t height, std::int32_t pixelBytes,
                          const std::vector<std::uint8_t>& pixels)
{
    return {0, type, width, height, pixelBytes, 0.0, pixels.data(), pixels.size()};
}

// Sample value of (x, y, byte) in a packed frame, unique per position.
std::uint8_t sourceByte(std::int32_t x, std::int32_t y, std::int32_t byte)
{
    return static_cast<std::uint8_t>(x * 7 + y * 31 + byte * 101);
}

std::vector<std::uint8_t> packedFrame(std::int32_t width, std::int32_t height, std::int32_t pixelBytes)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * pixelBytes);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            for (std::int32_t b = 0; b < pixelBytes; ++b)
                pixels[(static_cast<std::size_t>(y) * width + x) * pixelBytes + b] = sourceByte(x, y, b);
    return pixels;
}

TEST(FrameCopy, ShapesOfEveryLayout)
{
    EXPECT_EQ(shapeOf(imaqkit::kMono8, 5, 3), (orxoct::FrameShape{3, 5, 1, orxoct::SampleClass::Uint8}));
    EXPECT_EQ(shapeOf(imaqkit::kMono16, 5, 3), (orxoct::FrameShape{3, 5, 1, orxoct::SampleClass::Uint16}));
    EXPECT_EQ(shapeOf(imaqkit::kRgb24Packed, 5, 3), (orxoct::FrameShape{3, 5, 3, orxoct::SampleClass::Uint8}));
    EXPECT_EQ(shapeOf(imaqkit::kRgb32Packed, 5, 3), (orxoct::FrameShape{3, 5, 3, orxoct::SampleClass::Uint8}));
    EXPECT_EQ(shapeOf(0x12345678u, 5, 3).bands, 0);
    EXPECT_EQ(shapeOf(imaqkit::kMono16, 5, 3).bytes(), 30u);
}

// Heights that are not a multiple of the row block, and a single row/column.
class MonoCopy : public ::testing::TestWithParam<std::pair<std::int32_t, std::int32_t>> {};

TEST_P(MonoCopy, EightBitSamplesLandInTheirColumns)
{
    const auto [width, height] = GetParam();
    const auto pixels = packedFrame(width, height, 1);
    std::vector<std::uint8_t> out(pixels.size(), 0xEE);
    ASSERT_TRUE(copyToColumnMajor(viewOf(imaqkit::kMono8, width, height, 1, pixels), out.data()));
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            ASSERT_EQ(out[static_cast<std::size_t>(x) * height + y], sourceByte(x, y, 0)) << x << "," << y;
}

TEST_P(MonoCopy, SixteenBitSamplesKeepTheirByteOrder)
{
    const auto [width, height] = GetParam();
    const auto pixels = packedFrame(width, height, 2);
    std::vector<std::uint16_t> out(static_cast<std::size_t>(width) * height);
    ASSERT_TRUE(copyToColumnMajor(viewOf(imaqkit::kMono16, width, height, 2, pixels), out.data()));
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            std::uint16_t expected;
            std::memcpy(&expected, &pixels[(static_cast<std::size_t>(y) * width + x) * 2], 2);
            ASSERT_EQ(out[static_cast<std::size_t>(x) * height + y], expected);
        }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MonoCopy,
                         ::testing::Values(std::pair{1, 1}, std::pair{7, 1}, std::pair{1, 37}, std::pair{33, 17},
                                           std::pair{64, 48}));

// Colour pixels arrive as blue, green, red (and a fourth byte): the planes
// come out red, green, blue, and the fourth byte is dropped.
TEST(FrameCopy, ColourBecomesRedGreenBluePlanes)
{
    for (const auto& [type, pixelBytes] : {std::pair{imaqkit::kRgb24Packed, 3}, std::pair{imaqkit::kRgb32Packed, 4}}) {
        const std::int32_t width = 19, height = 21;
        const auto pixels = packedFrame(width, height, pixelBytes);
        const std::size_t plane = static_cast<std::size_t>(width) * height;
        std::vector<std::uint8_t> out(plane * 3);
        ASSERT_TRUE(copyToColumnMajor(viewOf(type, width, height, pixelBytes, pixels), out.data()));
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x) {
                const std::size_t at = static_cast<std::size_t>(x) * height + y;
                ASSERT_EQ(out[at], sourceByte(x, y, 2));
                ASSERT_EQ(out[plane + at], sourceByte(x, y, 1));
                ASSERT_EQ(out[2 * plane + at], sourceByte(x, y, 0));
            }
    }
}

TEST(FrameCopy, RefusesFramesWhoseBytesDoNotMatchTheirSize)
{
    const auto pixels = packedFrame(4, 4, 3);
    std::vector<std::uint8_t> out(pixels.size() * 2);
    EXPECT_FALSE(copyToColumnMajor(viewOf(imaqkit::kRgb24Packed, 4, 5, 3, pixels), out.data()));
    EXPECT_FALSE(copyToColumnMajor(viewOf(imaqkit::kRgb32Packed, 4, 4, 4, pixels), out.data()));
    EXPECT_FALSE(copyToColumnMajor(viewOf(0x1u, 4, 4, 3, pixels), out.data()));
}

} // namespace

namespace {

// Converted frames: 16-bit colour keeps blue, green, red order like the
// 8-bit ones; YCbCr keeps its bands in order.
TEST(FrameCopy, ConvertedLayoutsKeepTheirBands)
{
    EXPECT_EQ(shapeOf(imaqhost::kHostRgb48, 5, 3), (orxoct::FrameShape{3, 5, 3, orxoct::SampleClass::Uint16}));
    EXPECT_EQ(shapeOf(imaqhost::kHostYCbCr24, 5, 3), (orxoct::FrameShape{3, 5, 3, orxoct::SampleClass::Uint8}));
    EXPECT_EQ(shapeOf(imaqhost::kHostYCbCr48, 5, 3), (orxoct::FrameShape{3, 5, 3, orxoct::SampleClass::Uint16}));

    const std::int32_t width = 70, height = 3; // past one column block
    const auto ycc = packedFrame(width, height, 3);
    std::vector<std::uint8_t> out(ycc.size());
    ASSERT_TRUE(copyToColumnMajor(viewOf(imaqhost::kHostYCbCr24, width, height, 3, ycc), out.data()));
    const std::size_t plane = static_cast<std::size_t>(width) * height;
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            for (std::int32_t band = 0; band < 3; ++band)
                ASSERT_EQ(out[band * plane + static_cast<std::size_t>(x) * height + y], sourceByte(x, y, band));

    const auto rgb = packedFrame(width, height, 6);
    std::vector<std::uint16_t> words(plane * 3);
    ASSERT_TRUE(copyToColumnMajor(viewOf(imaqhost::kHostRgb48, width, height, 6, rgb), words.data()));
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            for (std::int32_t band = 0; band < 3; ++band) {
                // Red (band 0) is the pixel's third 16-bit sample.
                const std::int32_t sample = 2 - band;
                const auto expected = static_cast<std::uint16_t>(sourceByte(x, y, 2 * sample) |
                                                                 (sourceByte(x, y, 2 * sample + 1) << 8));
                ASSERT_EQ(words[band * plane + static_cast<std::size_t>(x) * height + y], expected);
            }
    // A byte count that does not match is refused.
    EXPECT_FALSE(copyToColumnMajor(viewOf(imaqhost::kHostRgb48, width, height, 6,
                                          std::vector<std::uint8_t>(rgb.size() - 1)),
                                   words.data()));
}

} // namespace
