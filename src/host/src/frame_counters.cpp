#include "frame_counters.h"

#include "imaqhost/testing/accounting.h"

namespace imaqhost {

namespace detail {
constinit FrameCounters frameCounterStore;
} // namespace detail

std::int64_t liveFrames()
{
    return frameCounters().live.load();
}

std::int64_t pooledFrames()
{
    return frameCounters().pooled.load();
}

std::int64_t framesConstructed()
{
    return frameCounters().everConstructed.load();
}

void failNextMakeFrames(int count)
{
    frameCounters().makeFrameFailures.arm(count);
}

int pendingMakeFrameFailures()
{
    return frameCounters().makeFrameFailures.left();
}

} // namespace imaqhost
