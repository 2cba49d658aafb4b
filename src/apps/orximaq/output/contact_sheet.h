// One RGB picture that shows several images side by side, each scaled into a
// tile of the same size with its aspect ratio kept, labelled below on a dark
// band, under a title line.
#pragma once

#include "output/image.h"

#include <string>
#include <string_view>
#include <vector>

namespace orximaq {

struct ContactSheetLayout {
    std::int32_t tileWidth = 320;
    std::int32_t tileHeight = 240;
    std::int32_t margin = 8;
    std::int32_t textScale = 2;  // font pixels per screen pixel side
    std::int32_t labelLines = 3; // lines of each tile's label band
};

// An image and the lines that say what it shows (device, format, frame).
struct ContactTile {
    Image image;
    std::vector<std::string> label;
};

// Tiles fill rows left to right, as many columns as the smallest square grid
// needs. Label lines beyond the layout's are dropped, lines too long for the
// tile end in "...". Throws CliError when there is no tile.
Image makeContactSheet(const std::vector<ContactTile>& tiles, std::string_view title,
                       const ContactSheetLayout& layout = {});

// The image scaled to fit within width x height, aspect ratio kept (box filter).
Image scaleToFit(const Image& image, std::int32_t width, std::int32_t height);

} // namespace orximaq
