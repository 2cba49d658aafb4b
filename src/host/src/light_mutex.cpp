#include "light_mutex.h"

#if defined(__linux__)
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace imaqhost {

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t) &&
              std::atomic<std::uint32_t>::is_always_lock_free);

void LightMutex::lockContended() noexcept
{
    // Marked contended before sleeping, so that the holder's unlock wakes a
    // sleeper; a thread that takes it this way keeps the mark, which costs
    // at most one needless wake-up.
    while (state_.exchange(kContended, std::memory_order_acquire) != kFree)
        syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&state_), FUTEX_WAIT_PRIVATE, kContended,
                nullptr, nullptr, 0);
}

void LightMutex::wakeOne() noexcept
{
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&state_), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

} // namespace imaqhost
#endif
