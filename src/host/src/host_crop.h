// Cropping in the host, for cameras that cannot crop in hardware: the
// adaptor delivers the full image and the host cuts the user's region out
// as frames are taken out of the buffer.
#pragma once

#include "imaqhost/acquisition.h"
#include "imaqhost/video_input.h"

#include <cstdint>
#include <vector>

namespace imaqhost {

// The user's region on a camera that delivers the full image.
struct HostCrop {
    Region region;
    std::int32_t fullWidth = 0;
    std::int32_t fullHeight = 0;
};

// The region of the view, copied into `out`. Only a frame of the full image
// is cropped: a camera that crops in hardware delivers frames of the
// region's size, which pass unchanged, as does a region outside the view.
FrameView cropView(const FrameView& in, const HostCrop& crop, std::vector<std::uint8_t>& out);

// The alignment of a mosaic seen from (x, y) of the original one.
BayerAlignment shiftedAlignment(BayerAlignment alignment, std::int32_t x, std::int32_t y);

} // namespace imaqhost
