// getCurrentTime: seconds on a monotonic clock.
#include "platform/imaqkit.h"

#include <chrono>

namespace imaqkit {

double getCurrentTime()
{
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

} // namespace imaqkit
