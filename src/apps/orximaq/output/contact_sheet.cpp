#include "output/contact_sheet.h"

#include "output/bitmap_font.h"
#include "cli_error.h"

#include <algorithm>
#include <cmath>

namespace orximaq {
namespace {

constexpr std::uint8_t kBackground = 40;
// Labels are light text on a near-black band: legible whatever the tile shows.
constexpr std::uint8_t kBand = 12;
constexpr Rgb kLabelText{235, 235, 235};
constexpr Rgb kTitleText{255, 214, 110};
constexpr std::int32_t kLinePadding = 3; // pixels above and below each text line

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

void fillRect(Image& sheet, std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
              std::uint8_t grey)
{
    for (std::int32_t y = top; y < top + height; ++y)
        std::fill_n(sheet.pixels.data() + static_cast<std::size_t>(y) * sheet.rowBytes() +
                        static_cast<std::size_t>(left) * 3,
                    static_cast<std::size_t>(width) * 3, grey);
}

std::int32_t lineHeight(const ContactSheetLayout& layout)
{
    return kCellHeight * layout.textScale + 2 * kLinePadding;
}

void drawLabel(Image& sheet, const std::vector<std::string>& label, std::int32_t left, std::int32_t top,
               const ContactSheetLayout& layout)
{
    const std::int32_t line = lineHeight(layout);
    fillRect(sheet, left, top, layout.tileWidth, line * layout.labelLines, kBand);
    const std::int32_t textLeft = left + kLinePadding * 2;
    const std::int32_t room = layout.tileWidth - kLinePadding * 4;
    for (std::size_t i = 0; i < label.size() && i < static_cast<std::size_t>(layout.labelLines); ++i)
        drawText(sheet, textLeft, top + static_cast<std::int32_t>(i) * line + kLinePadding,
                 fitText(label[i], room, layout.textScale), kLabelText, layout.textScale);
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

Image makeContactSheet(const std::vector<ContactTile>& tiles, std::string_view title,
                       const ContactSheetLayout& layout)
{
    if (tiles.empty())
        throw CliError("a contact sheet needs at least one image");
    const auto count = static_cast<std::int32_t>(tiles.size());
    const auto columns = static_cast<std::int32_t>(std::ceil(std::sqrt(static_cast<double>(count))));
    const std::int32_t rows = (count + columns - 1) / columns;
    const std::int32_t bandHeight = lineHeight(layout) * layout.labelLines;
    const std::int32_t titleHeight = lineHeight(layout) + layout.margin;
    const std::int32_t cellWidth = layout.tileWidth + layout.margin;
    const std::int32_t cellHeight = layout.tileHeight + bandHeight + layout.margin;
    Image sheet{columns * cellWidth + layout.margin, titleHeight + rows * cellHeight + layout.margin,
                PixelFormat::Rgb24, {}};
    sheet.pixels.assign(sheet.rowBytes() * static_cast<std::size_t>(sheet.height), kBackground);

    fillRect(sheet, 0, 0, sheet.width, titleHeight, kBand);
    drawText(sheet, layout.margin, layout.margin / 2 + kLinePadding,
             fitText(title, sheet.width - 2 * layout.margin, layout.textScale), kTitleText, layout.textScale);
    for (std::int32_t i = 0; i < count; ++i) {
        const auto& entry = tiles[static_cast<std::size_t>(i)];
        const std::int32_t cellLeft = layout.margin + (i % columns) * cellWidth;
        const std::int32_t cellTop = titleHeight + layout.margin + (i / columns) * cellHeight;
        const Image tile = scaleToFit(entry.image, layout.tileWidth, layout.tileHeight);
        // Centred in its cell, above the label band.
        paste(sheet, tile, cellLeft + (layout.tileWidth - tile.width) / 2,
              cellTop + (layout.tileHeight - tile.height) / 2);
        drawLabel(sheet, entry.label, cellLeft, cellTop + layout.tileHeight, layout);
    }
    return sheet;
}

} // namespace orximaq
