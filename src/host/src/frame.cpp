#include "frame.h"

#include "color_conversion.h"
#include "frame_counters.h"
#include "imaqhost/frame_types.h"

#include <algorithm>
#include <cstring>

namespace imaqhost {

namespace {

// memcpy runs at full speed on pieces of this size; a single copy of several
// megabytes can take a markedly slower path in the C library.
constexpr std::size_t kCopyPiece = std::size_t{256} << 10;

void copyInPieces(std::uint8_t* out, const std::uint8_t* in, std::size_t bytes)
{
    for (; bytes > kCopyPiece; bytes -= kCopyPiece, out += kCopyPiece, in += kCopyPiece)
        std::memcpy(out, in, kCopyPiece);
    std::memcpy(out, in, bytes);
}

// Frame and source rows of the same length: the frame's rows that lie within
// the source are one block in both images, copied at once; the rest is cleared.
void copyRowBlock(std::uint8_t* destination, std::int64_t height, std::int64_t rowBytes,
                  const std::uint8_t* source, std::int64_t sourceHeight, std::int64_t y)
{
    const std::int64_t top = std::clamp<std::int64_t>(-y, 0, height);
    const std::int64_t bottom = std::clamp<std::int64_t>(sourceHeight - y, top, height);
    if (top > 0) std::memset(destination, 0, static_cast<std::size_t>(top * rowBytes));
    if (bottom > top)
        copyInPieces(destination + top * rowBytes, source + (y + top) * rowBytes,
                     static_cast<std::size_t>((bottom - top) * rowBytes));
    if (bottom < height)
        std::memset(destination + bottom * rowBytes, 0, static_cast<std::size_t>((height - bottom) * rowBytes));
}

} // namespace

std::int32_t bytesPerPixelOf(std::uint32_t frameType) noexcept
{
    return cameraBytesPerPixel(frameType);
}

Frame::Frame()
{
    frameCounters().constructed();
}

Frame::~Frame()
{
    frameCounters().destroyed();
}

void Frame::reshape(std::uint32_t frameType, std::int32_t width, std::int32_t height)
{
    frameType_ = frameType;
    width_ = width;
    height_ = height;
    bytesPerPixel_ = bytesPerPixelOf(frameType);
    bands_ = std::max(bandsIn(frameType, ColorSpace::Native), 1);
    pixels_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                   static_cast<std::size_t>(bytesPerPixel_));
}

void Frame::copyData(const void* pixels, std::int32_t sourceWidth, std::int32_t sourceHeight,
                     std::int32_t x, std::int32_t y)
{
    // The whole image, the usual case (a frame always has a positive size).
    if (pixels && x == 0 && y == 0 && sourceWidth == width_ && sourceHeight == height_) {
        copyInPieces(pixels_.data(), static_cast<const std::uint8_t*>(pixels), pixels_.size());
        return;
    }
    copyWindow(static_cast<const std::uint8_t*>(pixels), sourceWidth, sourceHeight, x, y);
}

void Frame::copyWindow(const std::uint8_t* source, std::int32_t sourceWidth, std::int32_t sourceHeight,
                       std::int32_t x, std::int32_t y)
{
    std::uint8_t* destination = pixels_.data();
    const std::int64_t bpp = bytesPerPixel_;
    const std::int64_t rowBytes = std::int64_t{width_} * bpp;
    if (!source || sourceWidth <= 0 || sourceHeight <= 0 || rowBytes == 0) {
        std::fill(pixels_.begin(), pixels_.end(), std::uint8_t{0});
        return;
    }
    const std::int64_t sourceStride = std::int64_t{sourceWidth} * bpp;
    // Columns of the frame that fall inside the source, in frame coordinates.
    const std::int64_t first = std::clamp<std::int64_t>(-std::int64_t{x}, 0, width_);
    const std::int64_t last = std::clamp<std::int64_t>(std::int64_t{sourceWidth} - x, 0, width_);
    if (first == 0 && last == width_ && sourceStride == rowBytes) {
        copyRowBlock(destination, height_, rowBytes, source, sourceHeight, y);
        return;
    }
    for (std::int64_t row = 0; row < height_; ++row) {
        std::uint8_t* out = destination + row * rowBytes;
        const std::int64_t sourceRow = std::int64_t{y} + row;
        if (sourceRow < 0 || sourceRow >= sourceHeight || first >= last) {
            std::memset(out, 0, static_cast<std::size_t>(rowBytes));
            continue;
        }
        const std::uint8_t* in = source + sourceRow * sourceStride + (x + first) * bpp;
        std::memset(out, 0, static_cast<std::size_t>(first * bpp));
        std::memcpy(out + first * bpp, in, static_cast<std::size_t>((last - first) * bpp));
        std::memset(out + last * bpp, 0, static_cast<std::size_t>((width_ - last) * bpp));
    }
}

} // namespace imaqhost
