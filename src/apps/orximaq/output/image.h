// An image as the command-line host writes it: top-down rows of grey or RGB
// pixels, tightly packed. 16-bit samples are held in the machine's byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace orximaq {

enum class PixelFormat { Grey8, Grey16, Rgb24 };

struct Image {
    std::int32_t width = 0;
    std::int32_t height = 0;
    PixelFormat format = PixelFormat::Grey8;
    std::vector<std::uint8_t> pixels;

    std::size_t rowBytes() const;
};

std::size_t bytesPerPixel(PixelFormat format);
// Whether the image has a size and exactly the pixels its size needs.
bool hasWholePixels(const Image& image);
int bitDepth(PixelFormat format);

// The image format for a host frame type; none for a type the host does not define.
std::optional<PixelFormat> pixelFormatForFrameType(std::uint32_t frameType);

// Builds an image from a host frame's pixels: colour frames come in blue, green,
// red order (RGB32 with a fourth byte) and become RGB.
// Throws CliError when the data is shorter than the frame type and size need.
Image imageFromFrame(std::uint32_t frameType, std::int32_t width, std::int32_t height,
                     const std::uint8_t* data, std::size_t size);

// The same picture as 8-bit RGB, for previews.
Image toRgb24(const Image& image);

} // namespace orximaq
