// Frames become images with the pixel sizes of the host's frame-type table:
// a buffer too short for its type, or a type without a size, is refused
// instead of being read with a guessed size.
#include "cli_error.h"
#include "imaqhost/frame_types.h"
#include "output/image.h"
#include "support/leak_check.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

using orximaq::CliError;
using orximaq::imageFromFrame;

class FrameImage : public orx::test::LeakCheckedTest {};

TEST_F(FrameImage, EveryWritableTypeReadsExactlyItsPixels)
{
    for (const std::uint32_t type : std::initializer_list<std::uint32_t>{
             imaqkit::kMono8, imaqkit::kMono16, imaqkit::kRgb24Packed, imaqkit::kRgb32Packed, imaqhost::kHostYCbCr24}) {
        const auto pixel = static_cast<std::size_t>(imaqhost::bytesPerPixel(type));
        const std::vector<std::uint8_t> data(3 * 2 * pixel, 7);
        const auto image = imageFromFrame(type, 3, 2, data.data(), data.size());
        EXPECT_EQ(image.pixels.size(), image.rowBytes() * 2) << type;
        EXPECT_THROW(imageFromFrame(type, 3, 2, data.data(), data.size() - 1), CliError) << type;
    }
}

// RGB32 keeps its fourth byte out of the image: blue, green, red become RGB.
TEST_F(FrameImage, ThirtyTwoBitColourSkipsTheFourthByte)
{
    const std::vector<std::uint8_t> data{1, 2, 3, 99, 4, 5, 6, 99};
    const auto image = imageFromFrame(imaqkit::kRgb32Packed, 2, 1, data.data(), data.size());
    EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{3, 2, 1, 6, 5, 4}));
}

TEST_F(FrameImage, TypesWithoutAnImageAreRefused)
{
    const std::vector<std::uint8_t> data(64, 0);
    for (const std::uint32_t type : {0u, 0x7f030001u, imaqhost::kHostRgb48, imaqhost::kHostYCbCr48})
        EXPECT_THROW(imageFromFrame(type, 2, 2, data.data(), data.size()), CliError) << type;
}

} // namespace
