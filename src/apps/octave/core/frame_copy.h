// Copies a host frame (top-down packed rows, colour as B,G,R[,X] bytes) into
// the column-major layout of an H x W x B array: element (y, x, band) at
// y + H * (x + W * band), colour bands in R, G, B order.
#pragma once

#include "imaqhost/acquisition.h"

#include <cstddef>
#include <cstdint>

namespace orxoct {

enum class SampleClass { Uint8, Uint16 };

struct FrameShape {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t bands = 0;
    SampleClass sample = SampleClass::Uint8;

    std::size_t samples() const
    {
        return static_cast<std::size_t>(height) * static_cast<std::size_t>(width) * static_cast<std::size_t>(bands);
    }
    std::size_t bytes() const { return samples() * (sample == SampleClass::Uint16 ? 2 : 1); }
    friend bool operator==(const FrameShape&, const FrameShape&) = default;
};

// The array shape of a frame type, or bands == 0 when the type is not one of
// mono 8/16, RGB 24/32/48, YCbCr 24/48.
FrameShape shapeOf(std::uint32_t frameType, std::int32_t width, std::int32_t height);

// Writes shapeOf(frame).bytes() bytes at `destination`, in one pass over the
// frame. The frame's byte count must match its shape (checked: false when not).
bool copyToColumnMajor(const imaqhost::FrameView& frame, void* destination);

} // namespace orxoct
