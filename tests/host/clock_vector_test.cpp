// Frame stamps as local clock vectors: the cache of the last second, per
// thread, against the full look-up.
#include "clock_vector.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

void expectSameClock(const imaqhost::ClockVector& got, const imaqhost::ClockVector& expected)
{
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(got[i], expected[i]);
    EXPECT_DOUBLE_EQ(got[5], expected[5]);
}

// Moments within a second share its local time; the next second, an
// earlier one and one before 1970 are looked up afresh.
TEST(LocalClock, AgreesWithTheFullLookUpAcrossSeconds)
{
    imaqhost::LocalClock clock;
    for (const double moment : {1.7e9 + 0.25, 1.7e9 + 0.75, 1.7e9 + 1.0, 1.7e9 + 1.5, 1.7e9 - 3.5, -0.5, 0.0}) {
        SCOPED_TRACE(moment);
        expectSameClock(clock.at(moment), imaqhost::clockVectorAt(moment));
    }
}

// A frame's clock vector is made when asked, on the asking thread: two
// threads asking for moments of different seconds in turn do not disturb
// each other's cached second.
TEST(LocalClockVector, FrameClocksAreRightOnEveryThread)
{
    const auto check = [](double base) {
        for (int i = 0; i < 40; ++i) {
            imaqhost::FrameMetadata meta;
            meta.wallTime = base + 0.3 * i; // crosses a second every few frames
            SCOPED_TRACE(meta.wallTime);
            expectSameClock(meta.absTime(), imaqhost::clockVectorAt(meta.wallTime));
        }
    };
    std::thread other([&] { check(1.6e9 + 0.1); });
    check(1.7e9 + 0.9);
    other.join();
    // A moment before one asked earlier on this thread.
    expectSameClock(imaqhost::localClockVector(1.7e9 - 86400.5), imaqhost::clockVectorAt(1.7e9 - 86400.5));
}

} // namespace
