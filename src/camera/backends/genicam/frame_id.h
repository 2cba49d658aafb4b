// Frame identifiers of a camera made continuous. GigE Vision cameras count
// frames in 16 bits and start again after 65535 (skipping 0, which the
// protocol reserves; a camera that does use 0 is followed as well), so the
// distance between two frames is taken modulo 65536 while the identifiers
// stay within 16 bits, and as plain difference once a wider one appears.
#pragma once

#include <cstdint>
#include <optional>

namespace vexcam::genicam {

class FrameIdTracker {
public:
    struct Step {
        std::uint64_t index; // frames since the first one
        std::uint64_t lost;  // frames missing before this one
        bool wrapped;        // the 16-bit identifier started again from the bottom
    };

    Step next(std::uint64_t id)
    {
        seenZero_ = seenZero_ || id == 0;
        if (!last_) {
            last_ = id;
            return {0, 0, false};
        }
        wide_ = wide_ || id > 0xFFFF || *last_ > 0xFFFF;
        std::uint64_t distance = id - *last_;
        const bool wrapped = !wide_ && id < *last_;
        if (!wide_) {
            distance = (id - *last_) & 0xFFFF;
            if (id < *last_ && !seenZero_ && distance > 1) distance -= 1; // the reserved 0 was never sent
        }
        if (distance == 0) distance = 1; // a repeated identifier still is another frame
        last_ = id;
        index_ += distance;
        return {index_, distance - 1, wrapped};
    }

private:
    std::optional<std::uint64_t> last_;
    std::uint64_t index_ = 0;
    bool wide_ = false;
    bool seenZero_ = false;
};

} // namespace vexcam::genicam
