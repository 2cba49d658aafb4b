// A PNG file's rows as stored, without filter bytes (png_file_posix.cpp reads
// them with libpng; png_file_windows.cpp reads the uncompressed files that
// the Windows build writes). Sets the image's size, depth and channels, or
// its problem.
#pragma once

#include "png_file.h"

namespace orx::cli_test {

bool readPngRows(const std::filesystem::path& path, PngFile& image, std::vector<std::uint8_t>& rows);

} // namespace orx::cli_test
