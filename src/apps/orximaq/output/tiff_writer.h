// Writes images as uncompressed TIFF files that keep every sample exactly:
// 8-bit grey, 16-bit grey or 8-bit RGB (colour frames with a fourth byte are
// stored as RGB, the fourth byte dropped).
#pragma once

#include "output/image.h"

#include <filesystem>

namespace orximaq {

// Writes the image to `path` through a temporary file renamed into place
// when complete. Throws CliError naming the file; also in a build without
// libtiff.
void writeTiff(const std::filesystem::path& path, const Image& image);

} // namespace orximaq
