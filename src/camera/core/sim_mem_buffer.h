// One image buffer of the simulated sink, in one pixel layout.
#pragma once

#include "platform/vexlib.h"
#include "vexcam/pixel_layout.h"
#include "vexcam/rig.h"

#include <atomic>
#include <vector>

namespace vexcam {

class SimMemBuffer final : public Vexlib::MemBuffer {
public:
    SimMemBuffer(PixelLayout layout, Size size);
    ~SimMemBuffer() override;
    SimMemBuffer(const SimMemBuffer&) = delete;
    SimMemBuffer& operator=(const SimMemBuffer&) = delete;

    BYTE* getPtr() const override;
    bool lock() override;
    bool unlock() override;
    bool isLocked() const override;
    SIZE getSize() const override;
    std::int32_t getBitsPerPixel() const override;
    std::size_t getBufferSize() const override;
    GUID getSubtype() const override;

    PixelLayout layout() const noexcept { return layout_; }
    Size size() const noexcept { return size_; }

private:
    const PixelLayout layout_;
    const Size size_;
    mutable std::vector<BYTE> pixels_;
    std::atomic<std::int32_t> locks_{0};
};

} // namespace vexcam
