#include "pixel_formats.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vexcam::genicam {
namespace {

constexpr std::array kMappings{
    PixelFormatMapping{"Mono8", "Y800", CameraPixels::Mono8},
    PixelFormatMapping{"Mono16", "Y16", CameraPixels::Mono16},
    PixelFormatMapping{"RGB8", "RGB24", CameraPixels::Rgb8},
    PixelFormatMapping{"RGB8Packed", "RGB24", CameraPixels::Rgb8},
    PixelFormatMapping{"BayerRG8", "BY8", CameraPixels::BayerRG8},
    PixelFormatMapping{"BayerGR8", "BY8", CameraPixels::BayerGR8},
    PixelFormatMapping{"BayerGB8", "BY8", CameraPixels::BayerGB8},
    PixelFormatMapping{"BayerBG8", "BY8", CameraPixels::BayerBG8},
};

struct Bgr {
    std::uint8_t b, g, r;
};

void putPixel(PixelLayout to, std::uint8_t* out, std::size_t index, Bgr pixel)
{
    if (to == PixelLayout::Rgb24) {
        std::uint8_t* p = out + index * 3;
        p[0] = pixel.b, p[1] = pixel.g, p[2] = pixel.r;
    } else {
        std::uint8_t* p = out + index * 4;
        p[0] = pixel.b, p[1] = pixel.g, p[2] = pixel.r, p[3] = 0xFF;
    }
}

// Where red sits in the 2x2 tile: column and row (blue is diagonal to it).
struct BayerPhase {
    int redX, redY;
};

BayerPhase phaseOf(CameraPixels pixels)
{
    switch (pixels) {
    case CameraPixels::BayerRG8: return {0, 0};
    case CameraPixels::BayerGR8: return {1, 0};
    case CameraPixels::BayerGB8: return {0, 1};
    default: return {1, 1}; // BayerBG8
    }
}

// Each 2x2 tile gives its red, its blue and the mean of its two greens to all
// four of its pixels: cheap, and exact on flat colour. An odd last row or
// column repeats the tile before it.
void demosaic(CameraPixels from, const std::uint8_t* in, PixelLayout to, std::uint8_t* out, std::int32_t width,
              std::int32_t height)
{
    const BayerPhase phase = phaseOf(from);
    const auto at = [&](std::int32_t x, std::int32_t y) { return in[std::size_t(y) * std::size_t(width) + std::size_t(x)]; };
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int32_t tileY = std::min(y & ~1, height - 2 < 0 ? 0 : height - 2);
        for (std::int32_t x = 0; x < width; ++x) {
            const std::int32_t tileX = std::min(x & ~1, width - 2 < 0 ? 0 : width - 2);
            if (width < 2 || height < 2) {
                const std::uint8_t v = at(x, y);
                putPixel(to, out, std::size_t(y) * std::size_t(width) + std::size_t(x), {v, v, v});
                continue;
            }
            const std::uint8_t red = at(tileX + phase.redX, tileY + phase.redY);
            const std::uint8_t blue = at(tileX + 1 - phase.redX, tileY + 1 - phase.redY);
            const int green = (at(tileX + 1 - phase.redX, tileY + phase.redY) + at(tileX + phase.redX, tileY + 1 - phase.redY)) / 2;
            putPixel(to, out, std::size_t(y) * std::size_t(width) + std::size_t(x), {blue, std::uint8_t(green), red});
        }
    }
}

bool isBayer(CameraPixels pixels)
{
    return pixels != CameraPixels::Mono8 && pixels != CameraPixels::Mono16 && pixels != CameraPixels::Rgb8;
}

bool isColour(PixelLayout layout) { return layout == PixelLayout::Rgb24 || layout == PixelLayout::Rgb32; }

} // namespace

std::optional<PixelFormatMapping> mappingOfCamera(std::string_view pixelFormat)
{
    for (const auto& mapping : kMappings)
        if (mapping.camera == pixelFormat) return mapping;
    return std::nullopt;
}

std::size_t cameraBytesPerPixel(CameraPixels pixels)
{
    switch (pixels) {
    case CameraPixels::Mono16: return 2;
    case CameraPixels::Rgb8: return 3;
    default: return 1;
    }
}

bool convertFrame(CameraPixels from, const std::uint8_t* in, PixelLayout to, std::uint8_t* out, std::int32_t width,
                  std::int32_t height)
{
    const std::size_t pixels = std::size_t(width) * std::size_t(height);
    if (from == CameraPixels::Mono8 && to == PixelLayout::Gray8) {
        std::memcpy(out, in, pixels);
        return true;
    }
    if (from == CameraPixels::Mono16 && to == PixelLayout::Gray16) {
        std::memcpy(out, in, pixels * 2); // both little-endian
        return true;
    }
    if (isBayer(from) && to == PixelLayout::Bayer8) {
        std::memcpy(out, in, pixels);
        return true;
    }
    if (isBayer(from) && isColour(to)) {
        demosaic(from, in, to, out, width, height);
        return true;
    }
    if (from == CameraPixels::Rgb8 && isColour(to)) {
        for (std::size_t i = 0; i < pixels; ++i) putPixel(to, out, i, {in[i * 3 + 2], in[i * 3 + 1], in[i * 3]});
        return true;
    }
    if (from == CameraPixels::Mono8 && isColour(to)) {
        for (std::size_t i = 0; i < pixels; ++i) putPixel(to, out, i, {in[i], in[i], in[i]});
        return true;
    }
    return false;
}

} // namespace vexcam::genicam
