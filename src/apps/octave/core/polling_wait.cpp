#include "polling_wait.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orxoct {

std::optional<std::chrono::milliseconds> deadlineOf(double seconds)
{
    // Beyond a million years a deadline means nothing and would overflow.
    if (std::isinf(seconds) || seconds > 3.0e13)
        return std::nullopt;
    return std::chrono::milliseconds(static_cast<std::int64_t>(std::ceil(std::max(0.0, seconds) * 1000.0)));
}

bool pollUntil(const std::function<bool(std::chrono::milliseconds)>& slice,
               std::optional<std::chrono::milliseconds> timeout, const std::function<void()>& check)
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    for (;;) {
        if (check)
            check();
        auto next = kPollSlice;
        if (timeout) {
            const auto left = *timeout - std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
            if (left <= std::chrono::milliseconds::zero())
                return slice(std::chrono::milliseconds::zero());
            next = std::min(next, left);
        }
        if (slice(next))
            return true;
    }
}

} // namespace orxoct
