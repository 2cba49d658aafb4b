#include "sim_mem_buffer.h"

#include "simulation_counters.h"

namespace Vexlib {

MemBuffer::~MemBuffer() = default;

} // namespace Vexlib

namespace vexcam {

SimMemBuffer::SimMemBuffer(PixelLayout layout, Size size)
    : layout_(layout), size_(size),
      pixels_(std::size_t(std::max(size.cx, 0)) * std::size_t(std::max(size.cy, 0)) * bytesPerPixel(layout))
{
    ++counters::liveBuffers;
}

SimMemBuffer::~SimMemBuffer()
{
    counters::lockedBuffers -= locks_.load();
    --counters::liveBuffers;
}

BYTE* SimMemBuffer::getPtr() const
{
    return pixels_.data();
}

// Locks nest: a buffer is free again after as many unlocks as locks.
bool SimMemBuffer::lock()
{
    ++locks_;
    ++counters::lockedBuffers;
    return true;
}

bool SimMemBuffer::unlock()
{
    std::int32_t current = locks_.load();
    do {
        if (current == 0) return false;
    } while (!locks_.compare_exchange_weak(current, current - 1));
    --counters::lockedBuffers;
    return true;
}

bool SimMemBuffer::isLocked() const
{
    return locks_.load() > 0;
}

SIZE SimMemBuffer::getSize() const
{
    return {size_.cx, size_.cy};
}

std::int32_t SimMemBuffer::getBitsPerPixel() const
{
    return bitsPerPixel(layout_);
}

std::size_t SimMemBuffer::getBufferSize() const
{
    return pixels_.size();
}

GUID SimMemBuffer::getSubtype() const
{
    return layoutSubtype(layout_);
}

} // namespace vexcam
