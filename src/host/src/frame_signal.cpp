#include "frame_signal.h"

#if defined(__linux__)
#include <ctime>
#endif

namespace imaqhost {

#if defined(__linux__)

bool FrameSignal::waitUntil(std::uint32_t seen, Clock::time_point deadline)
{
    const auto left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) return false;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds);
    timespec relative{};
    relative.tv_sec = static_cast<std::time_t>(seconds.count());
    relative.tv_nsec = static_cast<long>(nanoseconds.count());
    Waiting waiting(waiters_);
    futex(FUTEX_WAIT_PRIVATE, seen, &relative);
    return sequence_.load() != seen || Clock::now() < deadline;
}

#else

void FrameSignal::wait(std::uint32_t seen)
{
    Waiting waiting(waiters_);
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return sequence_.load() != seen; });
}

bool FrameSignal::waitUntil(std::uint32_t seen, Clock::time_point deadline)
{
    Waiting waiting(waiters_);
    std::unique_lock lock(mutex_);
    return changed_.wait_until(lock, deadline, [&] { return sequence_.load() != seen; });
}

void FrameSignal::wakeAll() noexcept
{
    // Taking the mutex orders the wake-up after a waiter's check of the sequence.
    { std::lock_guard lock(mutex_); }
    changed_.notify_all();
}

#endif

} // namespace imaqhost
