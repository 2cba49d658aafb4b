// Process-wide frame counts behind imaqhost::liveFrames and friends.
#pragma once

#include "fault_counter.h"

#include <atomic>
#include <cstdint>

namespace imaqhost {

struct FrameCounters {
    std::atomic<std::int64_t> live{0};
    std::atomic<std::int64_t> pooled{0};
    std::atomic<std::int64_t> everConstructed{0};
    FaultCounter makeFrameFailures;

    void constructed() noexcept
    {
        ++live;
        ++everConstructed;
    }
    void destroyed() noexcept { --live; }
};

namespace detail {
extern constinit FrameCounters frameCounterStore;
} // namespace detail

// Inline: the pool counts every frame it takes and returns.
inline FrameCounters& frameCounters() noexcept
{
    return detail::frameCounterStore;
}

} // namespace imaqhost
