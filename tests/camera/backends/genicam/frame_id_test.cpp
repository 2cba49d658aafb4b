// Frame identifiers made continuous across the 16-bit wrap of GigE Vision
// cameras, with and without the reserved 0, and once a camera counts wider.
#include "frame_id.h"

#include <gtest/gtest.h>

namespace {

using vexcam::genicam::FrameIdTracker;

TEST(FrameIdTracker, WrapSkipsTheReservedZero)
{
    FrameIdTracker ids;
    ids.next(65534);
    EXPECT_EQ(ids.next(65535).lost, 0u);
    const auto step = ids.next(1);
    EXPECT_TRUE(step.wrapped);
    EXPECT_EQ(step.lost, 0u) << "0 is never sent, so 65535 -> 1 loses nothing";
    EXPECT_EQ(step.index, 2u);
}

TEST(FrameIdTracker, WrapThroughZeroAndLossesAcrossIt)
{
    FrameIdTracker ids;
    ids.next(0);
    ids.next(65535);
    const auto zero = ids.next(0);
    EXPECT_TRUE(zero.wrapped);
    EXPECT_EQ(zero.lost, 0u) << "a camera that sends 0 counts it";
    const auto gap = ids.next(3);
    EXPECT_EQ(gap.lost, 2u);
    EXPECT_FALSE(gap.wrapped);
}

TEST(FrameIdTracker, WideIdentifiersDoNotWrap)
{
    FrameIdTracker ids;
    ids.next(70000);
    const auto step = ids.next(70003);
    EXPECT_EQ(step.lost, 2u);
    EXPECT_FALSE(step.wrapped);
    EXPECT_EQ(ids.next(70003).lost, 0u) << "a repeated identifier is another frame, not a loss";
}

} // namespace
