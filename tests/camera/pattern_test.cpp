#include "camera_fixture.h"

#include "vexcam/pattern.h"

#include <vector>

namespace vexcam::test {
namespace {

using pattern::Adjust;

std::vector<BYTE> image(PixelLayout layout, std::int32_t width, std::int32_t height, std::int32_t x, std::int32_t y,
                        std::uint32_t frame, Adjust adjust = {})
{
    std::vector<BYTE> pixels(std::size_t(width) * std::size_t(height) * bytesPerPixel(layout));
    pattern::fill(layout, pixels.data(), width, height, x, y, frame, adjust);
    return pixels;
}

class PatternTest : public ::testing::TestWithParam<PixelLayout> {};

// A filled window decodes to its frame number, also near the counter's wrap.
TEST_P(PatternTest, WindowDecodesToItsFrameNumber)
{
    for (const std::uint32_t frame : {0u, 1u, 77u, 0xFFFFFFFEu, 0xFFFFFFFFu}) {
        const auto pixels = image(GetParam(), 37, 11, 101, 53, frame);
        const auto check = pattern::checkFrame(GetParam(), pixels.data(), 37, 11, 101, 53);
        ASSERT_TRUE(check) << check.problem;
        EXPECT_EQ(check.frameNumber, frame);
    }
}

// The smallest window that carries the whole header, at odd offsets.
TEST_P(PatternTest, SmallestWindowDecodes)
{
    const auto pixels = image(GetParam(), 8, 4, 1263, 955, 4242);
    std::uint32_t frame = 0;
    EXPECT_TRUE(pattern::verifyFrame(GetParam(), pixels.data(), 8, 4, 1263, 955, &frame));
    EXPECT_EQ(frame, 4242u);
}

// A window checked against the wrong sensor position fails: the image proves
// where on the sensor it was taken.
TEST_P(PatternTest, WrongSensorPositionIsDetected)
{
    const auto pixels = image(GetParam(), 32, 16, 64, 32, 9);
    EXPECT_FALSE(pattern::verifyFrame(GetParam(), pixels.data(), 32, 16, 68, 32, nullptr));
    EXPECT_FALSE(pattern::verifyFrame(GetParam(), pixels.data(), 32, 16, 64, 34, nullptr));
    EXPECT_FALSE(pattern::verifyFrame(GetParam(), pixels.data(), 32, 16, 64, 33, nullptr));
}

// An image made of two frames (a torn frame) is rejected, and so is a single
// changed byte.
TEST_P(PatternTest, TornOrDamagedFrameIsDetected)
{
    const auto first = image(GetParam(), 40, 20, 0, 0, 100);
    const auto second = image(GetParam(), 40, 20, 0, 0, 101);
    auto torn = first;
    std::copy(second.begin() + std::ptrdiff_t(torn.size() / 2), second.end(), torn.begin() + std::ptrdiff_t(torn.size() / 2));
    EXPECT_FALSE(pattern::checkFrame(GetParam(), torn.data(), 40, 20, 0, 0));

    auto damaged = first;
    damaged[damaged.size() / 3] ^= 0x40;
    EXPECT_FALSE(pattern::checkFrame(GetParam(), damaged.data(), 40, 20, 0, 0));
}

// Brightness and gain change the image visibly but it still decodes, and the
// header reports the adjustment.
TEST_P(PatternTest, AdjustedFrameDecodesWithItsAdjustment)
{
    const Adjust adjust{-40, 1.5};
    const auto plain = image(GetParam(), 64, 8, 16, 0, 5);
    const auto adjusted = image(GetParam(), 64, 8, 16, 0, 5, adjust);
    EXPECT_NE(plain, adjusted);
    const auto check = pattern::checkFrame(GetParam(), adjusted.data(), 64, 8, 16, 0);
    ASSERT_TRUE(check) << check.problem;
    EXPECT_EQ(check.frameNumber, 5u);
    EXPECT_EQ(check.adjust, pattern::quantised(adjust));
}

INSTANTIATE_TEST_SUITE_P(Layouts, PatternTest,
                         ::testing::Values(PixelLayout::Gray8, PixelLayout::Gray16, PixelLayout::Rgb24,
                                           PixelLayout::Rgb32, PixelLayout::Bayer8),
                         [](const auto& info) { return std::string(layoutName(info.param)); });

// The per-pixel helpers agree with the filled image, in the documented byte
// order (blue, green, red; 16-bit little-endian).
TEST(PatternValues, HelpersMatchTheFilledImage)
{
    const Adjust adjust{12, 0.75};
    const auto gray = image(PixelLayout::Gray8, 9, 5, 3, 2, 17, adjust);
    EXPECT_EQ(gray[1 * 9 + 4], pattern::expectedGray8(3 + 4, 2 + 1, 17, adjust));
    const auto gray16 = image(PixelLayout::Gray16, 9, 5, 3, 2, 17, adjust);
    const std::uint16_t v16 = std::uint16_t(gray16[2 * (9 + 4)] | (gray16[2 * (9 + 4) + 1] << 8));
    EXPECT_EQ(v16, pattern::expectedGray16(7, 3, 17, adjust));
    const auto rgb32 = image(PixelLayout::Rgb32, 9, 5, 3, 2, 17, adjust);
    const auto c = pattern::expectedRgb(7, 3, 17, adjust);
    const BYTE* p = &rgb32[4 * (9 + 4)];
    EXPECT_EQ((pattern::Bgr{p[0], p[1], p[2]}), c);
    EXPECT_EQ(p[3], 0xFF);
    const auto bayer = image(PixelLayout::Bayer8, 9, 5, 3, 2, 17, adjust);
    EXPECT_EQ(bayer[9 + 4], pattern::expectedBayer8(7, 3, 17, adjust));
    // Odd row, odd column of a BGGR sensor is red.
    EXPECT_EQ(pattern::expectedBayer8(7, 3, 17, adjust), c.r);
}

// A window too small to carry the header is refused with a reason.
TEST(PatternValues, TooSmallWindowIsRefused)
{
    const auto pixels = image(PixelLayout::Gray8, 7, 4, 0, 0, 1);
    const auto check = pattern::checkFrame(PixelLayout::Gray8, pixels.data(), 7, 4, 0, 0);
    EXPECT_FALSE(check);
    EXPECT_NE(check.problem.find("8 x 4"), std::string::npos);
}

// The pattern moves from frame to frame.
TEST(PatternValues, PatternMoves)
{
    EXPECT_NE(image(PixelLayout::Rgb24, 64, 4, 0, 0, 10), image(PixelLayout::Rgb24, 64, 4, 0, 0, 11));
}

} // namespace
} // namespace vexcam::test
