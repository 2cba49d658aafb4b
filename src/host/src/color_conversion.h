// Returned colour spaces, applied as frames are taken out of the buffer.
#pragma once

#include "imaqhost/acquisition.h"

#include <cstdint>
#include <vector>

namespace imaqhost {

// The colour space a frame type comes in when nothing is converted.
ColorSpace nativeColorSpaceOf(std::uint32_t frameType);
// Bands a frame type gives in the colour space (0: it cannot be converted).
std::int32_t bandsIn(std::uint32_t frameType, ColorSpace space);
// HostError when the frame type cannot be returned in the colour space.
void checkConvertible(std::uint32_t frameType, ColorSpace space);

// Converts the view's pixels into `out` and returns the view of the result
// (frame type, bands, bytes per pixel, pixels); the view itself when the
// colour space is the frame's own.
FrameView convertColor(const FrameView& in, ColorSpace space, BayerAlignment alignment,
                       std::vector<std::uint8_t>& out);

} // namespace imaqhost
