// Frame copies for the writers reuse released buffers, hold exact copies,
// and may outlive the list they came from.
#include "output/recycled_buffers.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

TEST(RecycledBuffers, ReusesAReleasedBufferForAnExactCopy)
{
    orximaq::RecycledBuffers buffers;
    std::vector<std::uint8_t> frame(1000);
    std::iota(frame.begin(), frame.end(), 0);
    auto first = buffers.copyOf(frame.data(), frame.size());
    ASSERT_EQ(*first, frame);
    const auto* memory = first->data();
    first.reset();
    EXPECT_EQ(buffers.idle(), 1u);

    frame[0] = 99;
    const auto second = buffers.copyOf(frame.data(), frame.size());
    EXPECT_EQ(second->data(), memory) << "the released buffer was not reused";
    EXPECT_EQ(*second, frame);
    EXPECT_EQ(buffers.idle(), 0u);
}

TEST(RecycledBuffers, NoPixelsGiveAnEmptyBuffer)
{
    orximaq::RecycledBuffers buffers;
    EXPECT_TRUE(buffers.copyOf(nullptr, 64)->empty());
}

TEST(RecycledBuffers, ABufferMayOutliveItsList)
{
    std::vector<std::uint8_t> frame(16, 7);
    orximaq::RecycledBuffers::Buffer kept;
    {
        orximaq::RecycledBuffers buffers;
        kept = buffers.copyOf(frame.data(), frame.size());
    }
    EXPECT_EQ(*kept, frame);
    kept.reset(); // returns to a list nobody else holds; the sanitizers see no leak
}

} // namespace
