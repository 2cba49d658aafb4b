// A self-contained PNG encoder for builds without libpng: the image data goes
// into the file uncompressed (deflate "stored" blocks), which every PNG reader
// accepts. Larger files, no dependency.
#pragma once

#include "output/image.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace orximaq {

// The complete PNG file for `image` (16-bit samples are written big-endian).
std::vector<std::uint8_t> encodeStoredPng(const Image& image);

// Writes encodeStoredPng(image) to `file`; false when the write fails.
bool writeStoredPng(std::FILE* file, const Image& image);

} // namespace orximaq
