// The figures drawn from a run's time stamps, on stamps made up for the
// purpose (powers of two keep the arithmetic exact).
#include "run_statistics.h"

#include <gtest/gtest.h>

namespace orximaq {
namespace {

std::vector<double> evenStamps(int count, double step)
{
    std::vector<double> stamps;
    for (int i = 0; i < count; ++i)
        stamps.push_back(1000.0 + i * step);
    return stamps;
}

TEST(RunStatisticsTest, EvenStampsHaveTheirRateAndNoSpread)
{
    const auto figures = runStatistics(evenStamps(33, 0.125));
    ASSERT_TRUE(figures);
    EXPECT_DOUBLE_EQ(figures->rateMean, 8.0);
    EXPECT_NEAR(figures->rateSpread, 0.0, 1e-9);
    EXPECT_DOUBLE_EQ(figures->longestGap, 0.125);
}

// One late frame: the mean is frames over the span, the spread that of the
// per-interval rates (10, 10 and 10/3 per second), the gap the late one.
TEST(RunStatisticsTest, LateFrameWidensSpreadAndIsTheLongestGap)
{
    const auto figures = runStatistics({0.0, 0.1, 0.2, 0.5});
    ASSERT_TRUE(figures);
    EXPECT_NEAR(figures->rateMean, 6.0, 1e-9);
    EXPECT_NEAR(figures->rateSpread, 3.849, 1e-3);
    EXPECT_NEAR(figures->longestGap, 0.3, 1e-9);
}

TEST(RunStatisticsTest, GapInTheMiddleIsFound)
{
    const auto figures = runStatistics({0.0, 0.5, 0.75, 2.75, 3.0});
    ASSERT_TRUE(figures);
    EXPECT_DOUBLE_EQ(figures->longestGap, 2.0);
}

// Fewer than two stamps give no figures; equal stamps give no rate and no
// division by zero.
TEST(RunStatisticsTest, TooFewOrEqualStamps)
{
    EXPECT_FALSE(runStatistics({}));
    EXPECT_FALSE(runStatistics({5.0}));
    const auto equal = runStatistics({5.0, 5.0, 5.0});
    ASSERT_TRUE(equal);
    EXPECT_EQ(equal->rateMean, 0.0);
    EXPECT_EQ(equal->rateSpread, 0.0);
    EXPECT_EQ(equal->longestGap, 0.0);
}

// The rate over the last second counts only the stamps within it.
TEST(RunStatisticsTest, RecentRateLooksAtTheLastSecondOnly)
{
    auto stamps = evenStamps(9, 0.5);   // 2 per second for 4 s
    auto fast = evenStamps(17, 0.0625); // then 16 per second for 1 s
    for (auto& stamp : fast)
        stamp += 4.0 + 0.0625;
    stamps.insert(stamps.end(), fast.begin(), fast.end());
    const auto rate = recentRate(stamps);
    ASSERT_TRUE(rate);
    EXPECT_DOUBLE_EQ(*rate, 16.0);
    const auto slow = recentRate(evenStamps(9, 0.5));
    ASSERT_TRUE(slow);
    EXPECT_DOUBLE_EQ(*slow, 2.0);
}

TEST(RunStatisticsTest, RecentRateNeedsTwoStampsInTheLastSecond)
{
    EXPECT_FALSE(recentRate({}));
    EXPECT_FALSE(recentRate({1.0}));
    EXPECT_FALSE(recentRate({1.0, 3.0})); // a pause: only the newest in the window
    EXPECT_FALSE(recentRate({2.0, 2.0}));
}

} // namespace
} // namespace orximaq
