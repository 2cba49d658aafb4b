// Which camera pixel formats the library delivers, as which colour format,
// and the conversion of a camera frame into the sink's pixel layout.
#pragma once

#include "vexcam/pixel_layout.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vexcam::genicam {

enum class CameraPixels { Mono8, Mono16, Rgb8, BayerRG8, BayerGR8, BayerGB8, BayerBG8 };

struct PixelFormatMapping {
    std::string_view camera;      // the camera's PixelFormat entry
    std::string_view colorformat; // what the library offers it as
    CameraPixels pixels;
};

// None for a pixel format the library does not deliver.
std::optional<PixelFormatMapping> mappingOfCamera(std::string_view pixelFormat);
std::size_t cameraBytesPerPixel(CameraPixels pixels);

// Converts one frame of `width` x `height` (rows packed in both). False when
// the conversion is not offered; `out` is then left as it was.
bool convertFrame(CameraPixels from, const std::uint8_t* in, PixelLayout to, std::uint8_t* out, std::int32_t width,
                  std::int32_t height);

} // namespace vexcam::genicam
