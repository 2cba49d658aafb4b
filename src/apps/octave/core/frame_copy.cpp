#include "frame_copy.h"

#include "platform/imaqkit.h"

#include <cstring>

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

// Colour frames hold blue, green, red (and a fourth byte for 32-bit pixels).
void transposeColour(const std::uint8_t* source, std::uint8_t* destination, std::int32_t width,
                     std::int32_t height, std::int32_t pixelBytes)
{
    const std::size_t plane = static_cast<std::size_t>(width) * height;
    std::uint8_t* red = destination;
    std::uint8_t* green = destination + plane;
    std::uint8_t* blue = destination + 2 * plane;
    for (std::int32_t top = 0; top < height; top += kRowBlock)
    for (std::int32_t left = 0; left < width; left += kColumnBlock) {
        const std::int32_t bottom = top + kRowBlock < height ? top + kRowBlock : height;
        const std::int32_t right = left + kColumnBlock < width ? left + kColumnBlock : width;
        for (std::int32_t x = left; x < right; ++x) {
            const std::size_t column = static_cast<std::size_t>(x) * height;
            for (std::int32_t y = top; y < bottom; ++y) {
                const std::uint8_t* pixel = source + (static_cast<std::size_t>(y) * width + x) * pixelBytes;
                red[column + y] = pixel[2];
                green[column + y] = pixel[1];
                blue[column + y] = pixel[0];
            }
        }
    }
}

std::int32_t pixelBytesOf(std::uint32_t frameType)
{
    switch (frameType) {
    case imaqkit::kMono8: return 1;
    case imaqkit::kMono16: return 2;
    case imaqkit::kRgb24Packed: return 3;
    case imaqkit::kRgb32Packed: return 4;
    default: return 0;
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
    case imaqkit::kRgb32Packed: shape.bands = 3; break;
    default: break;
    }
    return shape;
}

bool copyToColumnMajor(const imaqhost::FrameView& frame, void* destination)
{
    const FrameShape shape = shapeOf(frame.frameType, frame.width, frame.height);
    const std::int32_t pixelBytes = pixelBytesOf(frame.frameType);
    if (shape.bands == 0 || frame.width < 0 || frame.height < 0 ||
        frame.bytes != static_cast<std::size_t>(frame.width) * frame.height * pixelBytes)
        return false;
    if (shape.bands == 3)
        transposeColour(frame.pixels, static_cast<std::uint8_t*>(destination), frame.width, frame.height, pixelBytes);
    else if (shape.sample == SampleClass::Uint16)
        transposeMono(frame.pixels, static_cast<std::uint16_t*>(destination), frame.width, frame.height);
    else
        transposeMono(frame.pixels, static_cast<std::uint8_t*>(destination), frame.width, frame.height);
    return true;
}

} // namespace orxoct
