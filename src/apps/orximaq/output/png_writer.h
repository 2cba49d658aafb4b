// Writes images as PNG files: 8-bit grey, 16-bit grey or 8-bit RGB.
#pragma once

#include "output/image.h"

#include <filesystem>

namespace orximaq {

// Camera frames compress poorly: a fast level keeps writing ahead of the camera.
inline constexpr int kDefaultPngLevel = 1;

// Writes the image to `path`. The data goes to a temporary file beside it that
// is renamed into place only when complete, so a failure never leaves a
// half-written PNG under the final name. Throws CliError naming the file.
// `level`: zlib's compression level, 0 (none, fastest) to 9 (smallest).
void writePng(const std::filesystem::path& path, const Image& image, int level = kDefaultPngLevel);

} // namespace orximaq
