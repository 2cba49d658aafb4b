// Wakes the threads that wait for logged frames. A waiter reads the
// sequence number while it still holds the lock of the state it waits on,
// releases the lock and waits for the number to change; a notifier changes
// the state, then the number. On Linux this is a futex: a notification
// nobody waits for is two atomic operations, a wake-up one system call on
// each side, with no lock of its own (a condition variable takes its
// internal lock and the caller's mutex again on both sides).
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#if defined(__linux__)
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>
#else
#include <condition_variable>
#include <mutex>
#endif

namespace imaqhost {

class FrameSignal {
public:
    using Clock = std::chrono::steady_clock;

    std::uint32_t sequence() const noexcept { return sequence_.load(); }
    // Until the sequence is no longer `seen`; may return early (spuriously).
#if defined(__linux__)
    // Inline: a stream slower than its consumer waits once per frame.
    void wait(std::uint32_t seen)
    {
        const Waiting waiting(waiters_);
        futex(FUTEX_WAIT_PRIVATE, seen, nullptr);
    }
#else
    void wait(std::uint32_t seen);
#endif
    // The same, giving up at `deadline`; false when the deadline had passed.
    bool waitUntil(std::uint32_t seen, Clock::time_point deadline);
    void notifyAll() noexcept
    {
        // Inline: a notification nobody waits for is two atomic operations.
        ++sequence_;
        if (waiters_.load() > 0) wakeAll();
    }

private:
    // Counts a waiter for as long as it waits, so that a notifier with
    // nobody waiting makes no system call.
    class Waiting {
    public:
        explicit Waiting(std::atomic<std::uint32_t>& waiters) noexcept : waiters_(waiters) { ++waiters_; }
        ~Waiting() { --waiters_; }
        Waiting(const Waiting&) = delete;
        Waiting& operator=(const Waiting&) = delete;

    private:
        std::atomic<std::uint32_t>& waiters_;
    };

#if defined(__linux__)
    // The kernel sleeps only while the sequence still holds `value`; a wake
    // wakes `value` threads.
    void futex(int operation, std::uint32_t value, const void* relative) noexcept
    {
        static_assert(sizeof(std::atomic<std::uint32_t>) == sizeof(std::uint32_t) &&
                      std::atomic<std::uint32_t>::is_always_lock_free);
        syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&sequence_), operation, value, relative, nullptr, 0);
    }
    void wakeAll() noexcept { futex(FUTEX_WAKE_PRIVATE, INT32_MAX, nullptr); }
#else
    void wakeAll() noexcept;
#endif

    std::atomic<std::uint32_t> sequence_{0};
    std::atomic<std::uint32_t> waiters_{0};
#if !defined(__linux__)
    std::mutex mutex_;
    std::condition_variable changed_;
#endif
};

} // namespace imaqhost
