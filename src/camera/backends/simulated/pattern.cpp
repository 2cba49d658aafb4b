#include "vexcam/pattern.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace vexcam::pattern {
namespace {

constexpr std::int32_t kMaxBrightness = 255;
constexpr std::int32_t kMaxGainSteps = 65535;
constexpr std::int32_t kSlotColumns = 8;
constexpr std::int32_t kSlotRows = 4;

// A triangle wave of period 512 between 0 and 255: smooth moving gradients.
constexpr std::uint8_t triangle(std::uint32_t t) noexcept
{
    t &= 511u;
    return static_cast<std::uint8_t>(t < 256u ? t : 511u - t);
}

std::int32_t gainSteps(double gain)
{
    if (!(gain > 0.0)) return 0;
    return static_cast<std::int32_t>(std::min<double>(std::lround(gain * 256.0), kMaxGainSteps));
}

std::int32_t clampBrightness(std::int32_t brightness)
{
    return std::clamp(brightness, -kMaxBrightness, kMaxBrightness);
}

// What one frame needs to know to produce its samples.
class FrameRecipe {
public:
    FrameRecipe(std::uint32_t frame, Adjust adjust) : frame_(frame)
    {
        const std::int32_t steps = gainSteps(adjust.gain);
        const std::int32_t brightness = clampBrightness(adjust.brightness);
        for (std::int32_t base = 0; base < 256; ++base) {
            const std::int32_t scaled = ((base * steps + 128) >> 8) + brightness;
            adjusted_[static_cast<std::size_t>(base)] = static_cast<std::uint8_t>(std::clamp(scaled, 0, 255) & 0xFC);
        }
        header_ = std::uint64_t{frame} | (std::uint64_t{static_cast<std::uint16_t>(brightness)} << 32) |
                  (std::uint64_t{static_cast<std::uint16_t>(steps)} << 48);
    }

    std::uint32_t frame() const noexcept { return frame_; }

    // The two header bits that sensor pixel (x, y) carries.
    std::uint8_t data(std::uint32_t x, std::uint32_t y) const noexcept
    {
        const std::uint32_t slot = (x & 7u) | ((y & 3u) << 3);
        return static_cast<std::uint8_t>((header_ >> (2u * slot)) & 3u);
    }

    std::uint8_t sample(std::uint8_t base, std::uint8_t data) const noexcept
    {
        return static_cast<std::uint8_t>(adjusted_[base] | data);
    }

    std::uint8_t grayBase(std::uint32_t x, std::uint32_t y) const noexcept { return triangle(x + (y >> 1) + 4u * frame_); }
    std::uint8_t redBase(std::uint32_t x, std::uint32_t) const noexcept { return triangle(x + 3u * frame_); }
    std::uint8_t greenBase(std::uint32_t, std::uint32_t y) const noexcept { return triangle(y + 2u * frame_); }
    std::uint8_t blueBase(std::uint32_t x, std::uint32_t y) const noexcept { return triangle(x + y + 5u * frame_); }
    std::uint8_t fineDetail(std::uint32_t x, std::uint32_t y) const noexcept
    {
        return static_cast<std::uint8_t>(x * 3u + y * 5u + frame_);
    }

    std::uint8_t gray8(std::uint32_t x, std::uint32_t y) const noexcept { return sample(grayBase(x, y), data(x, y)); }
    std::uint16_t gray16(std::uint32_t x, std::uint32_t y) const noexcept
    {
        return static_cast<std::uint16_t>((gray8(x, y) << 8) | fineDetail(x, y));
    }
    Bgr bgr(std::uint32_t x, std::uint32_t y) const noexcept
    {
        const std::uint8_t d = data(x, y);
        return {sample(blueBase(x, y), d), sample(greenBase(x, y), d), sample(redBase(x, y), d)};
    }
    std::uint8_t bayer8(std::uint32_t x, std::uint32_t y) const noexcept
    {
        const std::uint8_t d = data(x, y);
        const bool evenRow = (y & 1u) == 0;
        const bool evenColumn = (x & 1u) == 0;
        if (evenRow && evenColumn) return sample(blueBase(x, y), d);
        if (!evenRow && !evenColumn) return sample(redBase(x, y), d);
        return sample(greenBase(x, y), d);
    }

private:
    std::uint32_t frame_;
    std::uint64_t header_ = 0;
    std::array<std::uint8_t, 256> adjusted_{};
};

void fillRow(PixelLayout layout, const FrameRecipe& recipe, BYTE* row, std::int32_t width, std::uint32_t x0,
             std::uint32_t y)
{
    switch (layout) {
    case PixelLayout::Gray8:
        for (std::int32_t i = 0; i < width; ++i) row[i] = recipe.gray8(x0 + std::uint32_t(i), y);
        break;
    case PixelLayout::Gray16:
        for (std::int32_t i = 0; i < width; ++i) {
            const std::uint16_t v = recipe.gray16(x0 + std::uint32_t(i), y);
            row[2 * i] = static_cast<BYTE>(v & 0xFF);
            row[2 * i + 1] = static_cast<BYTE>(v >> 8);
        }
        break;
    case PixelLayout::Rgb24:
    case PixelLayout::Rgb32: {
        const std::size_t step = bytesPerPixel(layout);
        BYTE* p = row;
        for (std::int32_t i = 0; i < width; ++i, p += step) {
            const Bgr c = recipe.bgr(x0 + std::uint32_t(i), y);
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
            if (step == 4) p[3] = 0xFF;
        }
        break;
    }
    case PixelLayout::Bayer8:
        for (std::int32_t i = 0; i < width; ++i) row[i] = recipe.bayer8(x0 + std::uint32_t(i), y);
        break;
    }
}

// The header bits a stored pixel carries.
std::uint8_t storedData(PixelLayout layout, const BYTE* pixel)
{
    return static_cast<std::uint8_t>((layout == PixelLayout::Gray16 ? pixel[1] : pixel[0]) & 3u);
}

std::string pixelProblem(const char* what, std::int32_t column, std::int32_t row)
{
    return std::string(what) + " at pixel (" + std::to_string(column) + ", " + std::to_string(row) + ")";
}

} // namespace

Adjust quantised(Adjust adjust)
{
    return {clampBrightness(adjust.brightness), gainSteps(adjust.gain) / 256.0};
}

std::uint8_t expectedGray8(std::int32_t x, std::int32_t y, std::uint32_t frame, Adjust adjust)
{
    return FrameRecipe(frame, adjust).gray8(std::uint32_t(x), std::uint32_t(y));
}

std::uint16_t expectedGray16(std::int32_t x, std::int32_t y, std::uint32_t frame, Adjust adjust)
{
    return FrameRecipe(frame, adjust).gray16(std::uint32_t(x), std::uint32_t(y));
}

Bgr expectedRgb(std::int32_t x, std::int32_t y, std::uint32_t frame, Adjust adjust)
{
    return FrameRecipe(frame, adjust).bgr(std::uint32_t(x), std::uint32_t(y));
}

std::uint8_t expectedBayer8(std::int32_t x, std::int32_t y, std::uint32_t frame, Adjust adjust)
{
    return FrameRecipe(frame, adjust).bayer8(std::uint32_t(x), std::uint32_t(y));
}

void fill(PixelLayout layout, BYTE* pixels, std::int32_t width, std::int32_t height, std::int32_t sensorX,
          std::int32_t sensorY, std::uint32_t frame, Adjust adjust, std::size_t stride)
{
    if (!pixels || width <= 0 || height <= 0) return;
    if (stride == 0) stride = std::size_t(width) * bytesPerPixel(layout);
    const FrameRecipe recipe(frame, adjust);
    for (std::int32_t row = 0; row < height; ++row)
        fillRow(layout, recipe, pixels + std::size_t(row) * stride, width, std::uint32_t(sensorX),
                std::uint32_t(sensorY + row));
}

FrameCheck checkFrame(PixelLayout layout, const BYTE* pixels, std::int32_t width, std::int32_t height,
                      std::int32_t sensorX, std::int32_t sensorY, std::size_t stride)
{
    FrameCheck check;
    if (!pixels) {
        check.problem = "no pixels";
        return check;
    }
    if (width < kSlotColumns || height < kSlotRows) {
        check.problem = "the image is smaller than 8 x 4 pixels and cannot carry the frame header";
        return check;
    }
    const std::size_t pixelBytes = bytesPerPixel(layout);
    if (stride == 0) stride = std::size_t(width) * pixelBytes;

    // Every pixel of one slot must carry the same two header bits.
    std::array<int, 32> slots;
    slots.fill(-1);
    for (std::int32_t row = 0; row < height; ++row) {
        const BYTE* p = pixels + std::size_t(row) * stride;
        const std::uint32_t y = std::uint32_t(sensorY + row);
        for (std::int32_t column = 0; column < width; ++column, p += pixelBytes) {
            const std::uint32_t x = std::uint32_t(sensorX + column);
            const std::size_t slot = (x & 7u) | ((y & 3u) << 3);
            const int bits = storedData(layout, p);
            if (slots[slot] < 0) {
                slots[slot] = bits;
            } else if (slots[slot] != bits) {
                check.problem = pixelProblem("the frame header differs (torn frame)", column, row);
                return check;
            }
        }
    }
    std::uint64_t header = 0;
    for (std::size_t slot = 0; slot < slots.size(); ++slot) header |= std::uint64_t(slots[slot]) << (2 * slot);
    check.frameNumber = static_cast<std::uint32_t>(header);
    check.adjust.brightness = static_cast<std::int16_t>(static_cast<std::uint16_t>(header >> 32));
    check.adjust.gain = static_cast<std::uint16_t>(header >> 48) / 256.0;

    const std::size_t rowBytes = std::size_t(width) * pixelBytes;
    std::vector<BYTE> expected(rowBytes);
    const FrameRecipe recipe(check.frameNumber, check.adjust);
    for (std::int32_t row = 0; row < height; ++row) {
        fillRow(layout, recipe, expected.data(), width, std::uint32_t(sensorX), std::uint32_t(sensorY + row));
        const BYTE* actual = pixels + std::size_t(row) * stride;
        if (std::memcmp(actual, expected.data(), rowBytes) == 0) continue;
        std::size_t at = 0;
        while (actual[at] == expected[at]) ++at;
        check.problem = pixelProblem("the pixel differs from the pattern", std::int32_t(at / pixelBytes), row);
        return check;
    }
    check.whole = true;
    return check;
}

bool verifyFrame(PixelLayout layout, const BYTE* pixels, std::int32_t width, std::int32_t height,
                 std::int32_t sensorX, std::int32_t sensorY, std::uint32_t* frameNumber)
{
    const FrameCheck check = checkFrame(layout, pixels, width, height, sensorX, sensorY);
    if (check && frameNumber) *frameNumber = check.frameNumber;
    return check.whole;
}

} // namespace vexcam::pattern
