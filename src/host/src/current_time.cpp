// getCurrentTime: seconds on the monotonic clock that std::chrono::steady_clock
// reads (the acquisition compares frame stamps with that clock). Adaptors call
// it for every frame; on POSIX it asks the clock directly.
#include "platform/imaqkit.h"

#if defined(_WIN32)
#include <chrono>
#else
#include <time.h>
#endif

namespace imaqkit {

double getCurrentTime()
{
#if defined(_WIN32)
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
#else
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
#endif
}

} // namespace imaqkit
