// The test pattern of the simulated camera: moving colour gradients that carry
// data, so that a test can prove which window of which frame arrived and that
// the frame is whole.
//
// Every pixel is a function of its SENSOR coordinates (X, Y), the frame number
// and the brightness/gain adjustment in force. The two lowest bits of each
// 8-bit sample (of the high byte for Y16) carry two bits of a 64-bit frame
// header: frame number (bits 0-31), brightness (32-47, two's complement) and
// gain in 1/256 steps (48-63). Sensor pixel (X, Y) carries header bits
// 2s and 2s+1 with s = (X mod 8) + 8 (Y mod 4), so any window of at least
// 8 x 4 pixels holds the whole header. The decoder reads the header, checks
// that every pixel agrees with it (a torn frame mixes two headers) and then
// that every pixel equals the expected value for its sensor coordinates.
#pragma once

#include "vexcam/pixel_layout.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vexcam::pattern {

// Brightness is added to every 8-bit sample, gain multiplies it first.
struct Adjust {
    std::int32_t brightness = 0; // clamped to -255..255
    double gain = 1.0;           // quantised to 1/256, 0..255.99
    friend bool operator==(const Adjust&, const Adjust&) = default;
};

// The adjustment as the frame header carries it (quantised and clamped).
VEXLIB_API Adjust quantised(Adjust adjust);

struct Bgr {
    std::uint8_t b = 0, g = 0, r = 0;
    friend bool operator==(const Bgr&, const Bgr&) = default;
};

// The value of sensor pixel (x, y) of frame `frame` in each layout.
VEXLIB_API std::uint8_t expectedGray8(std::int32_t x, std::int32_t y, std::uint32_t frame, Adjust adjust = {});
VEXLIB_API std::uint16_t expectedGray16(std::int32_t x, std::int32_t y, std::uint32_t frame, Adjust adjust = {});
VEXLIB_API Bgr expectedRgb(std::int32_t x, std::int32_t y, std::uint32_t frame, Adjust adjust = {});
VEXLIB_API std::uint8_t expectedBayer8(std::int32_t x, std::int32_t y, std::uint32_t frame, Adjust adjust = {});

// Fills a packed image of width x height whose top-left pixel is sensor pixel
// (sensorX, sensorY). `stride` 0 means width * bytesPerPixel(layout).
VEXLIB_API void fill(PixelLayout layout, BYTE* pixels, std::int32_t width, std::int32_t height,
                     std::int32_t sensorX, std::int32_t sensorY, std::uint32_t frame, Adjust adjust = {},
                     std::size_t stride = 0);

struct FrameCheck {
    bool whole = false;          // every pixel is what the header promises
    std::uint32_t frameNumber = 0;
    Adjust adjust;
    std::string problem;         // why not, when not
    explicit operator bool() const noexcept { return whole; }
};

// Decodes and checks an image said to start at sensor pixel (sensorX, sensorY).
VEXLIB_API FrameCheck checkFrame(PixelLayout layout, const BYTE* pixels, std::int32_t width, std::int32_t height,
                                 std::int32_t sensorX, std::int32_t sensorY, std::size_t stride = 0);

// checkFrame in short: true when the frame is whole; the frame number is
// written to `frameNumber` (when given) only then.
VEXLIB_API bool verifyFrame(PixelLayout layout, const BYTE* pixels, std::int32_t width, std::int32_t height,
                            std::int32_t sensorX, std::int32_t sensorY, std::uint32_t* frameNumber);

} // namespace vexcam::pattern
