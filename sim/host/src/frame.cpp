#include "frame.h"

#include "frame_counters.h"

#include <algorithm>
#include <cstring>

namespace imaqsim {

std::int32_t bytesPerPixelOf(std::uint32_t frameType) noexcept
{
    switch (frameType) {
    case imaqkit::kMono8: return 1;
    case imaqkit::kMono16: return 2;
    case imaqkit::kRgb24Packed: return 3;
    case imaqkit::kRgb32Packed: return 4;
    default: return 0;
    }
}

Frame::Frame()
{
    frameCounters().constructed();
}

Frame::~Frame()
{
    frameCounters().destroyed();
}

void Frame::configure(std::uint32_t frameType, std::int32_t width, std::int32_t height)
{
    frameType_ = frameType;
    width_ = width;
    height_ = height;
    bytesPerPixel_ = bytesPerPixelOf(frameType);
    time_ = 0.0;
    pixels_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                   static_cast<std::size_t>(bytesPerPixel_));
}

void Frame::copyData(const void* pixels, std::int32_t sourceWidth, std::int32_t sourceHeight,
                     std::int32_t x, std::int32_t y)
{
    const std::int64_t bpp = bytesPerPixel_;
    const std::int64_t rowBytes = std::int64_t{width_} * bpp;
    std::uint8_t* destination = pixels_.data();
    if (!pixels || sourceWidth <= 0 || sourceHeight <= 0 || rowBytes == 0) {
        std::fill(pixels_.begin(), pixels_.end(), std::uint8_t{0});
        return;
    }
    const auto* source = static_cast<const std::uint8_t*>(pixels);
    const std::int64_t sourceStride = std::int64_t{sourceWidth} * bpp;
    // Columns of the frame that fall inside the source, in frame coordinates.
    const std::int64_t first = std::clamp<std::int64_t>(-std::int64_t{x}, 0, width_);
    const std::int64_t last = std::clamp<std::int64_t>(std::int64_t{sourceWidth} - x, 0, width_);
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

} // namespace imaqsim
