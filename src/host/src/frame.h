// A host frame: pixels of one frame type and size, and a time stamp.
#pragma once

#include "platform/imaqkit.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace imaqhost {

// Bytes per pixel of a frame type a camera delivers (imaqhost/frame_types.h);
// 0 for any other, so the engine makes no frame of it.
std::int32_t bytesPerPixelOf(std::uint32_t frameType) noexcept;

class Frame final : public imaqkit::IFrame {
public:
    enum class State { Pooled, HandedOut, Received };

    Frame();
    ~Frame();
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    // Copies the frame-sized window at (x, y) of a tightly packed, top-down
    // source image. Only the part that overlaps the source is read; the rest
    // of the frame is cleared.
    void copyData(const void* pixels, std::int32_t sourceWidth, std::int32_t sourceHeight,
                  std::int32_t x, std::int32_t y) override;
    void frameReserved1() override {}
    void frameReserved2() override {}
    void frameReserved3() override {}
    void frameReserved4() override {}
    void frameReserved5() override {}
    void setTime(double time) override { time_ = time; }

    // Gives the frame a type and size and clears its time; the pixel
    // storage only ever grows.
    void configure(std::uint32_t frameType, std::int32_t width, std::int32_t height)
    {
        clearTime();
        if (!hasShape(frameType, width, height)) reshape(frameType, width, height);
    }
    void clearTime() noexcept { time_ = 0.0; }
    std::size_t capacity() const noexcept { return pixels_.capacity(); }
    bool hasShape(std::uint32_t frameType, std::int32_t width, std::int32_t height) const noexcept
    {
        return frameType == frameType_ && width == width_ && height == height_;
    }

    std::uint32_t frameType() const noexcept { return frameType_; }
    std::int32_t width() const noexcept { return width_; }
    std::int32_t height() const noexcept { return height_; }
    std::int32_t bytesPerPixel() const noexcept { return bytesPerPixel_; }
    // Samples per pixel as delivered (1 for a type without a colour layout).
    std::int32_t bands() const noexcept { return bands_; }
    double time() const noexcept { return time_; }
    const std::uint8_t* pixels() const noexcept { return pixels_.data(); }
    std::size_t bytes() const noexcept { return pixels_.size(); }

    // Atomic: the pool checks a returning frame's state without its lock.
    std::atomic<State> state{State::Pooled};

private:
    void reshape(std::uint32_t frameType, std::int32_t width, std::int32_t height);
    // copyData of a window that is not the whole source image.
    void copyWindow(const std::uint8_t* source, std::int32_t sourceWidth, std::int32_t sourceHeight,
                    std::int32_t x, std::int32_t y);

    std::uint32_t frameType_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t bytesPerPixel_ = 0;
    std::int32_t bands_ = 1;
    double time_ = 0.0;
    std::vector<std::uint8_t> pixels_;
};

} // namespace imaqhost
