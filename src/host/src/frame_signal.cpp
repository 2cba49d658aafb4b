#include "frame_signal.h"

#if defined(__linux__)
#include <climits>
#include <ctime>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace imaqhost {

namespace {

// Counts a waiter for as long as it waits, so that a notifier with nobody
// waiting makes no system call.
class Waiting {
public:
    explicit Waiting(std::atomic<std::uint32_t>& waiters) : waiters_(waiters) { ++waiters_; }
    ~Waiting() { --waiters_; }
    Waiting(const Waiting&) = delete;
    Waiting& operator=(const Waiting&) = delete;

private:
    std::atomic<std::uint32_t>& waiters_;
};

} // namespace

#if defined(__linux__)

namespace {

static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t) &&
              std::atomic<std::uint32_t>::is_always_lock_free);

void futexWait(std::atomic<std::uint32_t>& word, std::uint32_t seen, const timespec* relative)
{
    // The kernel sleeps only while the word still holds `seen`.
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&word), FUTEX_WAIT_PRIVATE, seen, relative,
            nullptr, 0);
}

} // namespace

void FrameSignal::wait(std::uint32_t seen)
{
    Waiting waiting(waiters_);
    futexWait(sequence_, seen, nullptr);
}

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
    futexWait(sequence_, seen, &relative);
    return sequence_.load() != seen || Clock::now() < deadline;
}

void FrameSignal::wakeAll() noexcept
{
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&sequence_), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
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
