// The host's light mutex under contention.
#include "light_mutex.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Threads that find it held sleep and are woken; no increment is lost.
TEST(LightMutex, StreamingContendedIncrementsAreAllKept)
{
    imaqhost::LightMutex mutex;
    std::int64_t count = 0;
    constexpr int kThreads = 4;
    constexpr int kEach = 20000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < kEach; ++i) {
                std::lock_guard lock(mutex);
                ++count;
            }
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(count, std::int64_t{kThreads} * kEach);
}

TEST(LightMutex, TryLockFailsWhileHeldAndWaitsWorkThroughItsLock)
{
    imaqhost::LightMutex mutex;
    ASSERT_TRUE(mutex.try_lock());
    std::thread other([&] { EXPECT_FALSE(mutex.try_lock()); });
    other.join();
    mutex.unlock();

    std::condition_variable_any changed;
    bool ready = false;
    std::thread waker([&] {
        std::lock_guard lock(mutex);
        ready = true;
        changed.notify_all();
    });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return ready; });
    }
    waker.join();
    EXPECT_TRUE(ready);
}

} // namespace
