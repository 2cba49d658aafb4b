// One RGB picture that shows several images side by side, each scaled into a
// tile of the same size with its aspect ratio kept.
#pragma once

#include "image.h"

#include <vector>

namespace orximaq {

struct ContactSheetLayout {
    std::int32_t tileWidth = 320;
    std::int32_t tileHeight = 240;
    std::int32_t margin = 8;
};

// Tiles fill rows left to right, as many columns as the smallest square grid
// needs. Throws CliError when there is no image.
Image makeContactSheet(const std::vector<Image>& images, const ContactSheetLayout& layout = {});

// The image scaled to fit within width x height, aspect ratio kept (box filter).
Image scaleToFit(const Image& image, std::int32_t width, std::int32_t height);

} // namespace orximaq
