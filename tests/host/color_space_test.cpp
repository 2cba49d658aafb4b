// Returned colour spaces: frames come out of the buffer converted, with
// pixels as Octave's rgb2gray and rgb2ycbcr give them and Bayer mosaics
// demosaiced by gradient-corrected bilinear interpolation.
#include "host_test.h"

#include "imaqhost/host_error.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <optional>

namespace hosttest {
namespace {

using imaqhost::BayerAlignment;
using imaqhost::ColorSpace;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

struct Converted {
    imaqhost::FrameView view;
    std::vector<std::uint8_t> pixels;
};

class ColorSpaceTest : public HostTest {
protected:
    // One frame of the configured fake, taken out in the colour space.
    Converted takeOne(ColorSpace space, BayerAlignment alignment = BayerAlignment::Grbg,
                      std::optional<imaqhost::Region> region = std::nullopt)
    {
        imaqhost::Session session(fakeEntryPoints());
        auto input = openFake(session);
        input->setColorSpace(space, alignment);
        if (region) input->setRegion(*region);
        bands_ = input->returnedBands();
        Converted converted;
        input->acquire(1, [&](const imaqhost::FrameView& frame) {
            converted.view = frame;
            converted.pixels.assign(frame.pixels, frame.pixels + frame.bytes);
        });
        converted.view.pixels = nullptr;
        return converted;
    }

    std::int32_t bands_ = 0;
};

// Two colour pixels, stored blue-green-red as the host's colour frames are.
void twoColourPixels(std::uint32_t frameType)
{
    config().frameType = frameType;
    config().width = 2;
    config().height = 1;
    if (frameType == imaqkit::kRgb24Packed)
        config().source = {50, 100, 200, 0, 0, 255};
    else
        config().source = {50, 100, 200, 9, 0, 0, 255, 9};
}

// rgb2gray: round(0.298936 R + 0.587043 G + 0.114021 B): 124.19 and 76.23.
TEST_F(ColorSpaceTest, GrayscaleIsOctavesLuma)
{
    for (const auto type : {imaqkit::kRgb24Packed, imaqkit::kRgb32Packed}) {
        twoColourPixels(type);
        const auto out = takeOne(ColorSpace::Grayscale);
        EXPECT_EQ(out.view.frameType, imaqkit::kMono8);
        EXPECT_EQ(out.view.bands, 1);
        EXPECT_EQ(bands_, 1);
        EXPECT_THAT(out.pixels, ElementsAre(124, 76));
    }
}

// rgb2ycbcr of (200, 100, 50) is (122.67, 91.22, 175.49); of pure red (81.48, 90.20, 240).
TEST_F(ColorSpaceTest, YCbCrIsStudioRangeBt601)
{
    twoColourPixels(imaqkit::kRgb24Packed);
    const auto out = takeOne(ColorSpace::YCbCr);
    EXPECT_EQ(out.view.frameType, imaqhost::kHostYCbCr24);
    EXPECT_EQ(out.view.bands, 3);
    EXPECT_EQ(out.view.bytesPerPixel, 3);
    EXPECT_THAT(out.pixels, ElementsAre(123, 91, 175, 81, 90, 240));
}

// A 16-bit grey white is Y 235/255 and Cb, Cr 128/255 of full scale.
TEST_F(ColorSpaceTest, YCbCrOfSixteenBitGrey)
{
    config().frameType = imaqkit::kMono16;
    config().width = 1;
    config().height = 1;
    config().source = {0xff, 0xff};
    const auto out = takeOne(ColorSpace::YCbCr);
    EXPECT_EQ(out.view.frameType, imaqhost::kHostYCbCr48);
    const auto sample = [&](int i) { return out.pixels[2 * i] | (out.pixels[2 * i + 1] << 8); };
    EXPECT_EQ(sample(0), 60395);
    EXPECT_EQ(sample(1), 32896);
    EXPECT_EQ(sample(2), 32896);
}

// rgb drops the fourth byte of 32-bit frames and repeats a grey value.
TEST_F(ColorSpaceTest, RgbFromFourByteAndGreyFrames)
{
    twoColourPixels(imaqkit::kRgb32Packed);
    auto out = takeOne(ColorSpace::Rgb);
    EXPECT_EQ(out.view.frameType, imaqkit::kRgb24Packed);
    EXPECT_THAT(out.pixels, ElementsAre(50, 100, 200, 0, 0, 255));

    config().frameType = imaqkit::kMono8;
    config().width = 2;
    config().height = 1;
    config().source = {10, 250};
    out = takeOne(ColorSpace::Rgb);
    EXPECT_EQ(bands_, 3);
    EXPECT_THAT(out.pixels, ElementsAre(10, 10, 10, 250, 250, 250));
}

// Native leaves frames as the camera sent them; bayer on a colour format is refused.
TEST_F(ColorSpaceTest, NativeIsUntouchedAndBayerNeedsGrey)
{
    twoColourPixels(imaqkit::kRgb24Packed);
    EXPECT_THAT(takeOne(ColorSpace::Native).pixels, ElementsAre(50, 100, 200, 0, 0, 255));
    imaqhost::Session session(fakeEntryPoints());
    auto input = openFake(session);
    EXPECT_EQ(input->colorSpace(), ColorSpace::Rgb);
    EXPECT_THROW(input->setColorSpace(ColorSpace::Bayer), imaqhost::HostError);
    EXPECT_THROW(imaqhost::parseColorSpace("hsv"), imaqhost::HostError);
    EXPECT_EQ(imaqhost::parseColorSpace("YCbCr"), ColorSpace::YCbCr);
    EXPECT_EQ(imaqhost::parseBayerAlignment("RGGB"), BayerAlignment::Rggb);
}

// The colour (0 red, 1 green, 2 blue) at (x, y) of each alignment.
int siteColour(BayerAlignment alignment, int x, int y)
{
    static const std::map<BayerAlignment, std::array<int, 4>> sites{
        {BayerAlignment::Gbrg, {1, 2, 0, 1}}, {BayerAlignment::Grbg, {1, 0, 2, 1}},
        {BayerAlignment::Bggr, {2, 1, 1, 0}}, {BayerAlignment::Rggb, {0, 1, 1, 2}}};
    return sites.at(alignment)[(y % 2) * 2 + x % 2];
}

// A mosaic of a flat (200, 100, 50) scene.
std::vector<std::uint8_t> flatMosaic(BayerAlignment alignment, int width, int height)
{
    const std::array<std::uint8_t, 3> scene{200, 100, 50};
    std::vector<std::uint8_t> mosaic;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) mosaic.push_back(scene[siteColour(alignment, x, y)]);
    return mosaic;
}

class BayerTest : public ColorSpaceTest, public ::testing::WithParamInterface<BayerAlignment> {};

// A flat scene comes back flat, edges included, for every alignment, also
// when the host crops at an odd offset (the mosaic's phase moves with it).
TEST_P(BayerTest, FlatSceneDemosaicsToItsColour)
{
    config().frameType = imaqkit::kMono8;
    config().width = 7;
    config().height = 6;
    config().source = flatMosaic(GetParam(), 7, 6);
    config().hardwareRegion = false;
    for (const auto region : {std::optional<imaqhost::Region>{}, std::optional(imaqhost::Region{1, 1, 5, 4})}) {
        const auto out = takeOne(ColorSpace::Bayer, GetParam(), region);
        EXPECT_EQ(out.view.frameType, imaqkit::kRgb24Packed);
        std::vector<std::uint8_t> expected;
        for (int i = 0; i < out.view.width * out.view.height; ++i) expected.insert(expected.end(), {50, 100, 200});
        EXPECT_EQ(out.pixels, expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Alignments, BayerTest,
                         ::testing::Values(BayerAlignment::Gbrg, BayerAlignment::Grbg,
                                           BayerAlignment::Bggr, BayerAlignment::Rggb),
                         [](const auto& info) { return std::string(imaqhost::toString(info.param)); });

// One bright red site (160) at (2, 2) of an rggb mosaic, worked by hand
// with the kernels' weights over 8: there green is 4/8 of it and blue
// 6/8; the green site to its right and the one below get red 4/8; the
// blue site on the diagonal gets red 2/8.
TEST_F(ColorSpaceTest, BayerImpulseGivesTheKernelWeights)
{
    config().frameType = imaqkit::kMono8;
    config().width = 6;
    config().height = 6;
    config().source.assign(36, 0);
    config().source[2 * 6 + 2] = 160;
    const auto out = takeOne(ColorSpace::Bayer, BayerAlignment::Rggb);
    const auto rgbAt = [&](int x, int y) {
        const std::uint8_t* p = &out.pixels[static_cast<std::size_t>((y * 6 + x) * 3)];
        return std::array<int, 3>{p[2], p[1], p[0]};
    };
    EXPECT_EQ(rgbAt(2, 2), (std::array<int, 3>{160, 80, 120}));
    EXPECT_EQ(rgbAt(3, 2), (std::array<int, 3>{80, 0, 0}));
    EXPECT_EQ(rgbAt(2, 3), (std::array<int, 3>{80, 0, 0}));
    EXPECT_EQ(rgbAt(3, 3), (std::array<int, 3>{40, 0, 0}));
    // Negative weights never wrap: the red site two columns over stays black.
    EXPECT_EQ(rgbAt(4, 2), (std::array<int, 3>{0, 0, 0}));
}

// A linear ramp is reproduced exactly away from the edges: every kernel is
// symmetric and sums to one.
TEST_F(ColorSpaceTest, BayerRampIsReproduced)
{
    config().frameType = imaqkit::kMono16;
    config().width = 8;
    config().height = 8;
    config().source.clear();
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const int v = 1000 + 300 * x + 100 * y;
            config().source.insert(config().source.end(), {std::uint8_t(v & 0xff), std::uint8_t(v >> 8)});
        }
    const auto out = takeOne(ColorSpace::Bayer, BayerAlignment::Gbrg);
    EXPECT_EQ(out.view.frameType, imaqhost::kHostRgb48);
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 6; ++x)
            for (int c = 0; c < 3; ++c) {
                const std::size_t i = static_cast<std::size_t>(((y * 8 + x) * 3 + c) * 2);
                EXPECT_EQ(out.pixels[i] | (out.pixels[i + 1] << 8), 1000 + 300 * x + 100 * y)
                    << "at " << x << "," << y << " band " << c;
            }
}

} // namespace
} // namespace hosttest
