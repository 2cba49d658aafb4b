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

#if !defined(__linux__)
#include <condition_variable>
#include <mutex>
#endif

namespace imaqhost {

class FrameSignal {
public:
    using Clock = std::chrono::steady_clock;

    std::uint32_t sequence() const noexcept { return sequence_.load(); }
    // Until the sequence is no longer `seen`; may return early (spuriously).
    void wait(std::uint32_t seen);
    // The same, giving up at `deadline`; false when the deadline had passed.
    bool waitUntil(std::uint32_t seen, Clock::time_point deadline);
    void notifyAll() noexcept
    {
        // Inline: a notification nobody waits for is two atomic operations.
        ++sequence_;
        if (waiters_.load() > 0) wakeAll();
    }

private:
    void wakeAll() noexcept;

    std::atomic<std::uint32_t> sequence_{0};
    std::atomic<std::uint32_t> waiters_{0};
#if !defined(__linux__)
    std::mutex mutex_;
    std::condition_variable changed_;
#endif
};

} // namespace imaqhost
