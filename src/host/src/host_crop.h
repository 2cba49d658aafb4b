// Cropping in the host, for cameras that cannot crop in hardware: the
// adaptor delivers the full image and the host cuts the user's region out
// as frames are taken out of the buffer.
#pragma once

#include "imaqhost/acquisition.h"
#include "imaqhost/video_input.h"

#include <cstdint>
#include <vector>

namespace imaqhost {

// The region of the view, copied into `out`; the view itself when the
// region does not lie within it.
FrameView cropView(const FrameView& in, const Region& region, std::vector<std::uint8_t>& out);

// The alignment of a mosaic seen from (x, y) of the original one.
BayerAlignment shiftedAlignment(BayerAlignment alignment, std::int32_t x, std::int32_t y);

} // namespace imaqhost
