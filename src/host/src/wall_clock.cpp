// The runtime's wall clock for front-ends: now, and a moment as local time.
#include "clock_vector.h"

#include <chrono>

namespace imaqhost {

double wallSecondsNow()
{
    using Clock = std::chrono::system_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

ClockVector localClockVector(double wallSeconds)
{
    thread_local LocalClock clock;
    return clock.at(wallSeconds);
}

} // namespace imaqhost
