// The gateway's interruptible waits: a wait ends when the work is done, when
// the timeout passes (also a zero one, which still looks once), or when the
// check between slices throws; no deadline means no limit.
#include "polling_wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;
using orxoct::deadlineOf;
using orxoct::pollUntil;

TEST(PollingWait, DeadlinesFromSeconds)
{
    EXPECT_FALSE(deadlineOf(std::numeric_limits<double>::infinity()).has_value());
    EXPECT_FALSE(deadlineOf(1e300).has_value());
    EXPECT_EQ(deadlineOf(0.0), 0ms);
    EXPECT_EQ(deadlineOf(0.0004), 1ms); // never rounded down to no wait at all
    EXPECT_EQ(deadlineOf(2.5), 2500ms);
    EXPECT_EQ(deadlineOf(1e10), std::chrono::milliseconds(10'000'000'000'000LL));
}

TEST(PollingWait, EndsWhenDoneWithoutWaitingOut)
{
    int slices = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(pollUntil([&](std::chrono::milliseconds) { return ++slices == 3; }, 10s, {}));
    EXPECT_EQ(slices, 3);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST(PollingWait, TimesOutAndZeroTimeoutLooksOnce)
{
    int slices = 0;
    EXPECT_FALSE(pollUntil([&](std::chrono::milliseconds slice) {
        ++slices;
        EXPECT_LE(slice, orxoct::kPollSlice);
        return false;
    }, 0ms, {}));
    EXPECT_EQ(slices, 1);
    EXPECT_FALSE(pollUntil([](std::chrono::milliseconds slice) {
        std::this_thread::sleep_for(slice);
        return false;
    }, 50ms, {}));
}

TEST(PollingWait, CheckEndsAnUnlimitedWait)
{
    int checks = 0;
    const auto interrupt = [&] {
        if (++checks == 5)
            throw std::runtime_error("interrupted");
    };
    EXPECT_THROW(pollUntil([](std::chrono::milliseconds) { return false; }, std::nullopt, interrupt),
                 std::runtime_error);
    EXPECT_EQ(checks, 5);
}

} // namespace
