#include "color_conversion.h"

#include "imaqhost/host_error.h"
#include "platform/imaqkit.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>

namespace imaqhost {

namespace {

// Luma weights of ITU-R BT.601 as Octave's rgb2gray uses them.
constexpr double kLumaR = 0.298936021293775;
constexpr double kLumaG = 0.587043074451121;
constexpr double kLumaB = 0.114020904255103;

struct Layout {
    std::int32_t bands = 0;     // 1 grey, 3 colour
    std::int32_t sampleBytes = 0;
    std::int32_t pixelBytes = 0;
};

Layout layoutOf(std::uint32_t frameType)
{
    switch (frameType) {
    case imaqkit::kMono8: return {1, 1, 1};
    case imaqkit::kMono16: return {1, 2, 2};
    case imaqkit::kRgb24Packed: return {3, 1, 3};
    case imaqkit::kRgb32Packed: return {3, 1, 4};
    case kHostRgb48: return {3, 2, 6};
    default: return {};
    }
}

std::string lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::uint32_t sampleAt(const std::uint8_t* p, std::int32_t sampleBytes)
{
    if (sampleBytes == 1) return *p;
    return static_cast<std::uint32_t>(p[0] | (p[1] << 8));
}

void putSample(std::uint8_t* p, std::int32_t sampleBytes, double value, double maximum)
{
    const auto v = static_cast<std::uint32_t>(std::clamp(std::round(value), 0.0, maximum));
    p[0] = static_cast<std::uint8_t>(v & 0xff);
    if (sampleBytes == 2) p[1] = static_cast<std::uint8_t>(v >> 8);
}

// Red, green and blue of pixel i (a grey pixel gives its value three times).
std::array<double, 3> rgbAt(const FrameView& in, const Layout& layout, std::size_t i)
{
    const std::uint8_t* p = in.pixels + i * static_cast<std::size_t>(layout.pixelBytes);
    if (layout.bands == 1) {
        const double v = sampleAt(p, layout.sampleBytes);
        return {v, v, v};
    }
    const std::int32_t s = layout.sampleBytes;
    return {double(sampleAt(p + 2 * s, s)), double(sampleAt(p + s, s)), double(sampleAt(p, s))};
}

std::size_t pixelCount(const FrameView& in)
{
    return static_cast<std::size_t>(in.width) * static_cast<std::size_t>(in.height);
}

FrameView resultView(const FrameView& in, std::uint32_t frameType, std::int32_t bands,
                     std::int32_t sampleBytes, std::vector<std::uint8_t>& out)
{
    FrameView view = in;
    view.frameType = frameType;
    view.bands = bands;
    view.bytesPerPixel = bands * sampleBytes;
    view.pixels = out.data();
    view.bytes = out.size();
    return view;
}

FrameView toRgb(const FrameView& in, const Layout& layout, std::vector<std::uint8_t>& out)
{
    const std::int32_t s = layout.sampleBytes;
    const double maximum = s == 1 ? 255.0 : 65535.0;
    out.resize(pixelCount(in) * 3 * s);
    for (std::size_t i = 0; i < pixelCount(in); ++i) {
        const auto rgb = rgbAt(in, layout, i);
        std::uint8_t* p = &out[i * 3 * s];
        putSample(p, s, rgb[2], maximum);
        putSample(p + s, s, rgb[1], maximum);
        putSample(p + 2 * s, s, rgb[0], maximum);
    }
    return resultView(in, s == 1 ? imaqkit::kRgb24Packed : kHostRgb48, 3, s, out);
}

FrameView toGrayscale(const FrameView& in, const Layout& layout, std::vector<std::uint8_t>& out)
{
    const std::int32_t s = layout.sampleBytes;
    const double maximum = s == 1 ? 255.0 : 65535.0;
    out.resize(pixelCount(in) * s);
    for (std::size_t i = 0; i < pixelCount(in); ++i) {
        const auto rgb = rgbAt(in, layout, i);
        putSample(&out[i * s], s, kLumaR * rgb[0] + kLumaG * rgb[1] + kLumaB * rgb[2], maximum);
    }
    return resultView(in, s == 1 ? imaqkit::kMono8 : imaqkit::kMono16, 1, s, out);
}

// BT.601 studio range, as Octave's rgb2ycbcr: on [0, 1] samples
// Y = (16 + 65.481 R + 128.553 G + 24.966 B) / 255, and likewise Cb and Cr
// around 128, then scaled to the sample's range.
FrameView toYCbCr(const FrameView& in, const Layout& layout, std::vector<std::uint8_t>& out)
{
    const std::int32_t s = layout.sampleBytes;
    const double maximum = s == 1 ? 255.0 : 65535.0;
    out.resize(pixelCount(in) * 3 * s);
    for (std::size_t i = 0; i < pixelCount(in); ++i) {
        auto rgb = rgbAt(in, layout, i);
        for (double& v : rgb) v /= maximum;
        const double y = (16.0 + 65.481 * rgb[0] + 128.553 * rgb[1] + 24.966 * rgb[2]) / 255.0;
        const double cb = (128.0 - 37.797 * rgb[0] - 74.203 * rgb[1] + 112.0 * rgb[2]) / 255.0;
        const double cr = (128.0 + 112.0 * rgb[0] - 93.786 * rgb[1] - 18.214 * rgb[2]) / 255.0;
        std::uint8_t* p = &out[i * 3 * s];
        putSample(p, s, y * maximum, maximum);
        putSample(p + s, s, cb * maximum, maximum);
        putSample(p + 2 * s, s, cr * maximum, maximum);
    }
    return resultView(in, s == 1 ? kHostYCbCr24 : kHostYCbCr48, 3, s, out);
}

// Which colour (0 red, 1 green, 2 blue) sits at an even/odd row and column.
std::array<int, 4> mosaicOf(BayerAlignment alignment)
{
    switch (alignment) {
    case BayerAlignment::Gbrg: return {1, 2, 0, 1};
    case BayerAlignment::Grbg: return {1, 0, 2, 1};
    case BayerAlignment::Bggr: return {2, 1, 1, 0};
    case BayerAlignment::Rggb: return {0, 1, 1, 2};
    }
    return {1, 0, 2, 1};
}

// Gradient-corrected bilinear kernels (Malvar, He and Cutler), doubled so
// that every weight is whole; each sums to 16.
using Kernel = std::array<std::array<int, 5>, 5>;
constexpr Kernel kGreenAtRedOrBlue{{{0, 0, -2, 0, 0}, {0, 0, 4, 0, 0}, {-2, 4, 8, 4, -2},
                                    {0, 0, 4, 0, 0}, {0, 0, -2, 0, 0}}};
// At a green pixel, the colour whose neighbours are left and right of it.
constexpr Kernel kAcrossRow{{{0, 0, 1, 0, 0}, {0, -2, 0, -2, 0}, {-2, 8, 10, 8, -2},
                             {0, -2, 0, -2, 0}, {0, 0, 1, 0, 0}}};
// At a green pixel, the colour whose neighbours are above and below it.
constexpr Kernel kAcrossColumn{{{0, 0, -2, 0, 0}, {0, -2, 8, -2, 0}, {1, 0, 10, 0, 1},
                                {0, -2, 8, -2, 0}, {0, 0, -2, 0, 0}}};
// Red at a blue pixel, or blue at a red one.
constexpr Kernel kDiagonal{{{0, 0, -3, 0, 0}, {0, 4, 0, 4, 0}, {-3, 0, 12, 0, -3},
                            {0, 4, 0, 4, 0}, {0, 0, -3, 0, 0}}};

// Mirrors an index into [0, size) without repeating the edge, which keeps
// the mosaic's parity (and so the colour) of the mirrored pixel.
std::int32_t mirror(std::int32_t i, std::int32_t size)
{
    if (size == 1) return 0;
    while (i < 0 || i >= size) {
        if (i < 0) i = -i;
        if (i >= size) i = 2 * (size - 1) - i;
    }
    return i;
}

FrameView demosaic(const FrameView& in, const Layout& layout, BayerAlignment alignment,
                   std::vector<std::uint8_t>& out)
{
    const std::int32_t s = layout.sampleBytes;
    const double maximum = s == 1 ? 255.0 : 65535.0;
    const auto mosaic = mosaicOf(alignment);
    const auto colourAt = [&](std::int32_t x, std::int32_t y) { return mosaic[(y % 2) * 2 + x % 2]; };
    const auto raw = [&](std::int32_t x, std::int32_t y) {
        const std::size_t i = static_cast<std::size_t>(mirror(y, in.height)) * in.width +
                              mirror(x, in.width);
        return static_cast<int>(sampleAt(in.pixels + i * s, s));
    };
    const auto apply = [&](const Kernel& k, std::int32_t x, std::int32_t y) {
        int sum = 0;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (const int w = k[dy + 2][dx + 2]) sum += w * raw(x + dx, y + dy);
        return sum / 16.0;
    };
    out.resize(pixelCount(in) * 3 * s);
    for (std::int32_t y = 0; y < in.height; ++y) {
        for (std::int32_t x = 0; x < in.width; ++x) {
            const int here = colourAt(x, y);
            std::array<double, 3> rgb{};
            rgb[here] = raw(x, y);
            if (here == 1) {
                // Green: the other two lie across the row or across the column.
                const int acrossRow = colourAt(x + 1, y);
                rgb[acrossRow] = apply(kAcrossRow, x, y);
                rgb[2 - acrossRow] = apply(kAcrossColumn, x, y);
            } else {
                rgb[1] = apply(kGreenAtRedOrBlue, x, y);
                rgb[2 - here] = apply(kDiagonal, x, y);
            }
            std::uint8_t* p = &out[(static_cast<std::size_t>(y) * in.width + x) * 3 * s];
            putSample(p, s, rgb[2], maximum);
            putSample(p + s, s, rgb[1], maximum);
            putSample(p + 2 * s, s, rgb[0], maximum);
        }
    }
    return resultView(in, s == 1 ? imaqkit::kRgb24Packed : kHostRgb48, 3, s, out);
}

} // namespace

const char* toString(ColorSpace space)
{
    switch (space) {
    case ColorSpace::Native: return "native";
    case ColorSpace::Rgb: return "rgb";
    case ColorSpace::Grayscale: return "grayscale";
    case ColorSpace::YCbCr: return "YCbCr";
    case ColorSpace::Bayer: return "bayer";
    }
    return "native";
}

ColorSpace parseColorSpace(const std::string& text)
{
    const std::string name = lower(text);
    if (name == "rgb") return ColorSpace::Rgb;
    if (name == "grayscale") return ColorSpace::Grayscale;
    if (name == "ycbcr") return ColorSpace::YCbCr;
    if (name == "bayer") return ColorSpace::Bayer;
    throw HostError("Unknown colour space \"" + text + "\"; use rgb, grayscale, YCbCr or bayer.");
}

const char* toString(BayerAlignment alignment)
{
    switch (alignment) {
    case BayerAlignment::Gbrg: return "gbrg";
    case BayerAlignment::Grbg: return "grbg";
    case BayerAlignment::Bggr: return "bggr";
    case BayerAlignment::Rggb: return "rggb";
    }
    return "grbg";
}

BayerAlignment parseBayerAlignment(const std::string& text)
{
    const std::string name = lower(text);
    for (auto alignment : {BayerAlignment::Gbrg, BayerAlignment::Grbg, BayerAlignment::Bggr,
                           BayerAlignment::Rggb})
        if (name == toString(alignment)) return alignment;
    throw HostError("Unknown Bayer sensor alignment \"" + text + "\"; use gbrg, grbg, bggr or rggb.");
}

ColorSpace nativeColorSpaceOf(std::uint32_t frameType)
{
    return layoutOf(frameType).bands == 3 ? ColorSpace::Rgb : ColorSpace::Grayscale;
}

std::int32_t bandsIn(std::uint32_t frameType, ColorSpace space)
{
    const Layout layout = layoutOf(frameType);
    if (layout.bands == 0) return 0;
    switch (space) {
    case ColorSpace::Native: return layout.bands;
    case ColorSpace::Grayscale: return 1;
    case ColorSpace::Rgb:
    case ColorSpace::YCbCr: return 3;
    case ColorSpace::Bayer: return layout.bands == 1 ? 3 : 0;
    }
    return 0;
}

void checkConvertible(std::uint32_t frameType, ColorSpace space)
{
    if (bandsIn(frameType, space) != 0) return;
    if (space == ColorSpace::Bayer)
        throw HostError("The bayer colour space needs a grey (8 or 16-bit) format.");
    throw HostError(std::string("Frames of this format cannot be returned as ") + toString(space) + ".");
}

FrameView convertColor(const FrameView& in, ColorSpace space, BayerAlignment alignment,
                       std::vector<std::uint8_t>& out)
{
    const Layout layout = layoutOf(in.frameType);
    const bool whole = layout.bands != 0 && in.width > 0 && in.height > 0 &&
                       in.bytes >= pixelCount(in) * static_cast<std::size_t>(layout.pixelBytes);
    if (space == ColorSpace::Native || !whole) return in;
    switch (space) {
    case ColorSpace::Rgb:
        if (in.frameType == imaqkit::kRgb24Packed || in.frameType == kHostRgb48) return in;
        return toRgb(in, layout, out);
    case ColorSpace::Grayscale:
        if (layout.bands == 1) return in;
        return toGrayscale(in, layout, out);
    case ColorSpace::YCbCr: return toYCbCr(in, layout, out);
    case ColorSpace::Bayer:
        checkConvertible(in.frameType, space);
        return demosaic(in, layout, alignment, out);
    case ColorSpace::Native: break;
    }
    return in;
}

} // namespace imaqhost
