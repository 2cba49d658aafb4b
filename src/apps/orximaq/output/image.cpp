#include "output/image.h"

#include "cli_error.h"
#include "imaqhost/acquisition.h"
#include "imaqhost/frame_types.h"
#include "platform/imaqkit.h"

#include <cstring>
#include <string>

namespace orximaq {

std::size_t bytesPerPixel(PixelFormat format)
{
    switch (format) {
    case PixelFormat::Grey8: return 1;
    case PixelFormat::Grey16: return 2;
    case PixelFormat::Rgb24: return 3;
    }
    return 1;
}

int bitDepth(PixelFormat format)
{
    return format == PixelFormat::Grey16 ? 16 : 8;
}

std::size_t Image::rowBytes() const
{
    return static_cast<std::size_t>(width) * bytesPerPixel(format);
}

bool hasWholePixels(const Image& image)
{
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() == image.rowBytes() * static_cast<std::size_t>(image.height);
}

std::optional<PixelFormat> pixelFormatForFrameType(std::uint32_t frameType)
{
    switch (frameType) {
    case imaqkit::kMono8: return PixelFormat::Grey8;
    case imaqkit::kMono16: return PixelFormat::Grey16;
    case imaqkit::kRgb24Packed:
    case imaqkit::kRgb32Packed:
    case imaqhost::kHostYCbCr24: return PixelFormat::Rgb24;
    default: return std::nullopt;
    }
}

Image imageFromFrame(std::uint32_t frameType, std::int32_t width, std::int32_t height,
                     const std::uint8_t* data, std::size_t size)
{
    const auto format = pixelFormatForFrameType(frameType);
    const auto sourcePixel = static_cast<std::size_t>(imaqhost::bytesPerPixel(frameType));
    if (!format || sourcePixel == 0)
        throw CliError("frame type " + std::to_string(frameType) + " cannot be written as an image");
    if (width <= 0 || height <= 0)
        throw CliError("frame of size " + std::to_string(width) + "x" + std::to_string(height) +
                       " cannot be written as an image");
    const std::size_t pixelCount = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (data == nullptr || size < pixelCount * sourcePixel)
        throw CliError("frame data is shorter than a " + std::to_string(width) + "x" +
                       std::to_string(height) + " frame of its type");

    Image image{width, height, *format, {}};
    // Y, Cb and Cr are written in their order as three channels.
    if (*format != PixelFormat::Rgb24 || frameType == imaqhost::kHostYCbCr24) {
        image.pixels.assign(data, data + pixelCount * sourcePixel);
        return image;
    }
    // Host colour frames hold the camera's order: blue, green, red (and a fourth byte).
    image.pixels.resize(pixelCount * 3);
    for (std::size_t i = 0; i < pixelCount; ++i) {
        const std::uint8_t* bgr = data + i * sourcePixel;
        std::uint8_t* rgb = &image.pixels[i * 3];
        rgb[0] = bgr[2];
        rgb[1] = bgr[1];
        rgb[2] = bgr[0];
    }
    return image;
}

Image toRgb24(const Image& image)
{
    if (image.format == PixelFormat::Rgb24)
        return image;
    const std::size_t pixelCount = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    Image rgb{image.width, image.height, PixelFormat::Rgb24, std::vector<std::uint8_t>(pixelCount * 3)};
    for (std::size_t i = 0; i < pixelCount; ++i) {
        std::uint8_t grey = image.pixels[i];
        if (image.format == PixelFormat::Grey16) {
            std::uint16_t sample = 0;
            std::memcpy(&sample, &image.pixels[i * 2], 2);
            grey = static_cast<std::uint8_t>(sample >> 8);
        }
        rgb.pixels[i * 3] = rgb.pixels[i * 3 + 1] = rgb.pixels[i * 3 + 2] = grey;
    }
    return rgb;
}

} // namespace orximaq
