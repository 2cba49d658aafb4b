// The frame types the host knows: the camera's (from the host kit) and the
// host's own, which only its colour conversion makes, with their pixel sizes.
#pragma once

#include "platform/imaqkit.h"

#include <array>
#include <cstdint>

namespace imaqhost {

// Frame types of converted frames that no camera delivers. Samples are
// interleaved per pixel and little-endian; colour keeps the order of the
// host's colour frames (blue, green, red).
inline constexpr std::uint32_t kHostRgb48 = 0x7f030002u;    // B, G, R: 16 bits each
inline constexpr std::uint32_t kHostYCbCr24 = 0x7f030003u;  // Y, Cb, Cr: 8 bits each
inline constexpr std::uint32_t kHostYCbCr48 = 0x7f030004u;  // Y, Cb, Cr: 16 bits each

struct FrameTypeInfo {
    std::uint32_t frameType = 0;
    std::int32_t bytesPerPixel = 0;
    bool fromCamera = false; // a type an adaptor may ask the host's engine for
};

inline constexpr std::array<FrameTypeInfo, 7> kFrameTypes{{
    {imaqkit::kMono8, 1, true},
    {imaqkit::kMono16, 2, true},
    {imaqkit::kRgb24Packed, 3, true},
    {imaqkit::kRgb32Packed, 4, true},
    {kHostRgb48, 6, false},
    {kHostYCbCr24, 3, false},
    {kHostYCbCr48, 6, false},
}};

// Bytes one pixel of the type takes; 0 for a type the host does not know.
constexpr std::int32_t bytesPerPixel(std::uint32_t frameType) noexcept
{
    for (const FrameTypeInfo& known : kFrameTypes)
        if (known.frameType == frameType) return known.bytesPerPixel;
    return 0;
}

// Bytes per pixel of a type a camera delivers; 0 for any other type.
constexpr std::int32_t cameraBytesPerPixel(std::uint32_t frameType) noexcept
{
    for (const FrameTypeInfo& known : kFrameTypes)
        if (known.frameType == frameType && known.fromCamera) return known.bytesPerPixel;
    return 0;
}

} // namespace imaqhost
