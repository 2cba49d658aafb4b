#include "host_crop.h"

#include <cstring>

namespace imaqhost {

FrameView cropView(const FrameView& in, const HostCrop& crop, std::vector<std::uint8_t>& out)
{
    if (in.width != crop.fullWidth || in.height != crop.fullHeight) return in;
    const Region& region = crop.region;
    const bool inside = region.x >= 0 && region.y >= 0 && region.width > 0 && region.height > 0 &&
                        std::int64_t{region.x} + region.width <= in.width &&
                        std::int64_t{region.y} + region.height <= in.height &&
                        in.bytesPerPixel > 0 &&
                        in.bytes >= static_cast<std::size_t>(in.width) * in.height * in.bytesPerPixel;
    if (!inside) return in;
    if (region.width == in.width && region.height == in.height) return in;
    const std::size_t pixel = static_cast<std::size_t>(in.bytesPerPixel);
    const std::size_t sourceRow = static_cast<std::size_t>(in.width) * pixel;
    const std::size_t row = static_cast<std::size_t>(region.width) * pixel;
    out.resize(row * static_cast<std::size_t>(region.height));
    for (std::int32_t y = 0; y < region.height; ++y)
        std::memcpy(&out[static_cast<std::size_t>(y) * row],
                    in.pixels + static_cast<std::size_t>(region.y + y) * sourceRow + region.x * pixel, row);
    FrameView view = in;
    view.width = region.width;
    view.height = region.height;
    view.pixels = out.data();
    view.bytes = out.size();
    return view;
}

BayerAlignment shiftedAlignment(BayerAlignment alignment, std::int32_t x, std::int32_t y)
{
    // One column over swaps the colours within each row; one row down swaps the rows.
    if (x % 2 != 0) {
        switch (alignment) {
        case BayerAlignment::Gbrg: alignment = BayerAlignment::Bggr; break;
        case BayerAlignment::Bggr: alignment = BayerAlignment::Gbrg; break;
        case BayerAlignment::Grbg: alignment = BayerAlignment::Rggb; break;
        case BayerAlignment::Rggb: alignment = BayerAlignment::Grbg; break;
        }
    }
    if (y % 2 != 0) {
        switch (alignment) {
        case BayerAlignment::Gbrg: alignment = BayerAlignment::Rggb; break;
        case BayerAlignment::Rggb: alignment = BayerAlignment::Gbrg; break;
        case BayerAlignment::Grbg: alignment = BayerAlignment::Bggr; break;
        case BayerAlignment::Bggr: alignment = BayerAlignment::Grbg; break;
        }
    }
    return alignment;
}

} // namespace imaqhost
