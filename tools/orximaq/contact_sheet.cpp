#include "contact_sheet.h"

#include "cli_error.h"

#include <algorithm>
#include <cmath>

namespace orximaq {
namespace {

constexpr std::uint8_t kBackground = 40;

// Box-filtered sample of the source over [from, to) in one dimension.
struct Span {
    std::int32_t from;
    std::int32_t to;
};

Span sourceSpan(std::int32_t target, std::int32_t targetSize, std::int32_t sourceSize)
{
    const auto from = static_cast<std::int32_t>(static_cast<std::int64_t>(target) * sourceSize / targetSize);
    auto to = static_cast<std::int32_t>(static_cast<std::int64_t>(target + 1) * sourceSize / targetSize);
    return {from, std::max(to, from + 1)};
}

void averageInto(const Image& rgb, Span xs, Span ys, std::uint8_t* out)
{
    std::uint64_t sum[3] = {0, 0, 0};
    for (std::int32_t y = ys.from; y < ys.to; ++y) {
        const std::uint8_t* row = rgb.pixels.data() + static_cast<std::size_t>(y) * rgb.rowBytes();
        for (std::int32_t x = xs.from; x < xs.to; ++x)
            for (int c = 0; c < 3; ++c)
                sum[c] += row[static_cast<std::size_t>(x) * 3 + static_cast<std::size_t>(c)];
    }
    const auto count = static_cast<std::uint64_t>(xs.to - xs.from) * static_cast<std::uint64_t>(ys.to - ys.from);
    for (int c = 0; c < 3; ++c)
        out[c] = static_cast<std::uint8_t>(sum[c] / count);
}

void paste(Image& sheet, const Image& tile, std::int32_t left, std::int32_t top)
{
    for (std::int32_t y = 0; y < tile.height; ++y)
        std::copy_n(tile.pixels.data() + static_cast<std::size_t>(y) * tile.rowBytes(), tile.rowBytes(),
                    sheet.pixels.data() + static_cast<std::size_t>(top + y) * sheet.rowBytes() +
                        static_cast<std::size_t>(left) * 3);
}

} // namespace

Image scaleToFit(const Image& image, std::int32_t width, std::int32_t height)
{
    const Image rgb = toRgb24(image);
    const double scale = std::min(static_cast<double>(width) / rgb.width, static_cast<double>(height) / rgb.height);
    const auto targetWidth = std::clamp(static_cast<std::int32_t>(std::lround(rgb.width * scale)), 1, width);
    const auto targetHeight = std::clamp(static_cast<std::int32_t>(std::lround(rgb.height * scale)), 1, height);
    Image scaled{targetWidth, targetHeight, PixelFormat::Rgb24,
                 std::vector<std::uint8_t>(static_cast<std::size_t>(targetWidth) * static_cast<std::size_t>(targetHeight) * 3)};
    for (std::int32_t y = 0; y < targetHeight; ++y) {
        const Span ys = sourceSpan(y, targetHeight, rgb.height);
        for (std::int32_t x = 0; x < targetWidth; ++x)
            averageInto(rgb, sourceSpan(x, targetWidth, rgb.width), ys,
                        &scaled.pixels[(static_cast<std::size_t>(y) * static_cast<std::size_t>(targetWidth) +
                                        static_cast<std::size_t>(x)) * 3]);
    }
    return scaled;
}

Image makeContactSheet(const std::vector<Image>& images, const ContactSheetLayout& layout)
{
    if (images.empty())
        throw CliError("a contact sheet needs at least one image");
    const auto count = static_cast<std::int32_t>(images.size());
    const auto columns = static_cast<std::int32_t>(std::ceil(std::sqrt(static_cast<double>(count))));
    const std::int32_t rows = (count + columns - 1) / columns;
    const std::int32_t cellWidth = layout.tileWidth + layout.margin;
    const std::int32_t cellHeight = layout.tileHeight + layout.margin;
    Image sheet{columns * cellWidth + layout.margin, rows * cellHeight + layout.margin, PixelFormat::Rgb24, {}};
    sheet.pixels.assign(sheet.rowBytes() * static_cast<std::size_t>(sheet.height), kBackground);

    for (std::int32_t i = 0; i < count; ++i) {
        const Image tile = scaleToFit(images[static_cast<std::size_t>(i)], layout.tileWidth, layout.tileHeight);
        // Centred in its cell.
        const std::int32_t left = layout.margin + (i % columns) * cellWidth + (layout.tileWidth - tile.width) / 2;
        const std::int32_t top = layout.margin + (i / columns) * cellHeight + (layout.tileHeight - tile.height) / 2;
        paste(sheet, tile, left, top);
    }
    return sheet;
}

} // namespace orximaq
