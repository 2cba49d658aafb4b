// A mutex for state that two threads touch once per frame and almost never
// at the same moment. Its uncontended lock and unlock are one atomic
// operation each, inline; a thread that finds it held sleeps on a futex
// (elsewhere than Linux it is a std::mutex). A std::mutex costs a library
// call and about 60 instructions a pair even when nobody else wants it.
// Not recursive; waits on it go through std::condition_variable_any.
#pragma once

#include <atomic>
#include <cstdint>

#if !defined(__linux__)
#include <mutex>
#endif

namespace imaqhost {

#if defined(__linux__)

class LightMutex {
public:
    LightMutex() = default;
    LightMutex(const LightMutex&) = delete;
    LightMutex& operator=(const LightMutex&) = delete;

    void lock() noexcept
    {
        std::uint32_t free = kFree;
        if (!state_.compare_exchange_strong(free, kLocked, std::memory_order_acquire)) lockContended();
    }
    bool try_lock() noexcept
    {
        std::uint32_t free = kFree;
        return state_.compare_exchange_strong(free, kLocked, std::memory_order_acquire);
    }
    void unlock() noexcept
    {
        if (state_.exchange(kFree, std::memory_order_release) == kContended) wakeOne();
    }

private:
    static constexpr std::uint32_t kFree = 0;
    static constexpr std::uint32_t kLocked = 1;
    static constexpr std::uint32_t kContended = 2; // locked, and a thread may sleep on it

    void lockContended() noexcept;
    void wakeOne() noexcept;

    std::atomic<std::uint32_t> state_{kFree};
};

#else

class LightMutex {
public:
    void lock() { mutex_.lock(); }
    bool try_lock() { return mutex_.try_lock(); }
    void unlock() { mutex_.unlock(); }

private:
    std::mutex mutex_;
};

#endif

} // namespace imaqhost
