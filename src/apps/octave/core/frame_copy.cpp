#include "frame_copy.h"

#include "imaqhost/frame_types.h"
#include "platform/imaqkit.h"

#include <cstring>
#include <utility>

namespace orxoct {
namespace {

// The frame is walked in tiles of 64 x 64 pixels: every source and
// destination cache line a tile touches stays in the first-level cache while
// the tile is transposed, so each byte is fetched once.
constexpr std::int32_t kRowBlock = 64;
constexpr std::int32_t kColumnBlock = 64;

template <typename Sample>
void transposeMono(const std::uint8_t* source, Sample* destination, std::int32_t width, std::int32_t height)
{
    for (std::int32_t top = 0; top < height; top += kRowBlock)
    for (std::int32_t left = 0; left < width; left += kColumnBlock) {
        const std::int32_t bottom = top + kRowBlock < height ? top + kRowBlock : height;
        const std::int32_t right = left + kColumnBlock < width ? left + kColumnBlock : width;
        for (std::int32_t x = left; x < right; ++x) {
            Sample* column = destination + static_cast<std::size_t>(x) * height;
            for (std::int32_t y = top; y < bottom; ++y) {
                Sample value;
                std::memcpy(&value, source + (static_cast<std::size_t>(y) * width + x) * sizeof(Sample), sizeof(Sample));
                column[y] = value;
            }
        }
    }
}

// Colour frames hold blue, green, red (and a fourth sample for 32-bit
// pixels), which become the red, green and blue planes; YCbCr frames hold
// their three samples in the planes' order.
template <typename Sample>
void transposeColour(const std::uint8_t* source, Sample* destination, std::int32_t width, std::int32_t height,
                     std::int32_t pixelBytes, bool reversed)
{
    const std::size_t plane = static_cast<std::size_t>(width) * height;
    Sample* planes[3] = {destination, destination + plane, destination + 2 * plane};
    if (reversed)
        std::swap(planes[0], planes[2]);
    for (std::int32_t top = 0; top < height; top += kRowBlock)
    for (std::int32_t left = 0; left < width; left += kColumnBlock) {
        const std::int32_t bottom = top + kRowBlock < height ? top + kRowBlock : height;
        const std::int32_t right = left + kColumnBlock < width ? left + kColumnBlock : width;
        for (std::int32_t x = left; x < right; ++x) {
            const std::size_t column = static_cast<std::size_t>(x) * height;
            for (std::int32_t y = top; y < bottom; ++y) {
                const std::uint8_t* pixel = source + (static_cast<std::size_t>(y) * width + x) * pixelBytes;
                for (int band = 0; band < 3; ++band)
                    std::memcpy(&planes[band][column + y], pixel + band * sizeof(Sample), sizeof(Sample));
            }
        }
    }
}

} // namespace

FrameShape shapeOf(std::uint32_t frameType, std::int32_t width, std::int32_t height)
{
    FrameShape shape{height, width, 0, SampleClass::Uint8};
    switch (frameType) {
    case imaqkit::kMono8: shape.bands = 1; break;
    case imaqkit::kMono16: shape.bands = 1; shape.sample = SampleClass::Uint16; break;
    case imaqkit::kRgb24Packed:
    case imaqkit::kRgb32Packed:
    case imaqhost::kHostYCbCr24: shape.bands = 3; break;
    case imaqhost::kHostRgb48:
    case imaqhost::kHostYCbCr48: shape.bands = 3; shape.sample = SampleClass::Uint16; break;
    default: break;
    }
    return shape;
}

bool copyToColumnMajor(const imaqhost::FrameView& frame, void* destination)
{
    const FrameShape shape = shapeOf(frame.frameType, frame.width, frame.height);
    const std::int32_t pixelBytes = imaqhost::bytesPerPixel(frame.frameType);
    if (shape.bands == 0 || frame.width < 0 || frame.height < 0 ||
        frame.bytes != static_cast<std::size_t>(frame.width) * frame.height * pixelBytes)
        return false;
    const bool reversed = frame.frameType != imaqhost::kHostYCbCr24 && frame.frameType != imaqhost::kHostYCbCr48;
    if (shape.bands == 3 && shape.sample == SampleClass::Uint16)
        transposeColour(frame.pixels, static_cast<std::uint16_t*>(destination), frame.width, frame.height,
                        pixelBytes, reversed);
    else if (shape.bands == 3)
        transposeColour(frame.pixels, static_cast<std::uint8_t*>(destination), frame.width, frame.height,
                        pixelBytes, reversed);
    else if (shape.sample == SampleClass::Uint16)
        transposeMono(frame.pixels, static_cast<std::uint16_t*>(destination), frame.width, frame.height);
    else
        transposeMono(frame.pixels, static_cast<std::uint8_t*>(destination), frame.width, frame.height);
    return true;
}

} // namespace orxoct
