// The host's frame buffer queue: first in, first out across the wrap of its
// block and across growth while wrapped.
#include "ring_buffer.h"

#include <gtest/gtest.h>

#include <deque>
#include <numeric>
#include <random>

namespace {

std::vector<int> takeAll(imaqhost::RingBuffer<int>& ring)
{
    std::vector<int> out;
    ring.takeFront(ring.size(), out);
    return out;
}

TEST(RingBuffer, KeepsOrderAcrossWrapAndGrowth)
{
    imaqhost::RingBuffer<int> ring;
    std::vector<int> out;
    for (int i = 0; i < 12; ++i) ring.push_back(i);
    ring.takeFront(10, out); // head near the end of the first block
    EXPECT_EQ(out.front(), 0);
    EXPECT_EQ(out.back(), 9);
    for (int i = 12; i < 40; ++i) ring.push_back(i); // wraps, then grows while wrapped
    std::vector<int> expected(30);
    std::iota(expected.begin(), expected.end(), 10);
    EXPECT_EQ(takeAll(ring), expected);
    EXPECT_TRUE(ring.empty());
}

TEST(RingBuffer, TakesAndCopiesAtMostWhatItHolds)
{
    imaqhost::RingBuffer<int> ring;
    std::vector<int> out{7};
    ring.takeFront(3, out);
    EXPECT_TRUE(out.empty()) << "an empty queue gives nothing and clears the output";
    ring.copyBack(3, out);
    EXPECT_TRUE(out.empty());
    for (int i = 0; i < 5; ++i) ring.push_back(i);
    ring.copyBack(3, out);
    EXPECT_EQ(out, (std::vector<int>{2, 3, 4}));
    ring.copyBack(9, out);
    EXPECT_EQ(out.size(), 5u);
    EXPECT_EQ(ring.size(), 5u) << "copying the newest leaves them queued";
    ring.takeFront(9, out);
    EXPECT_EQ(out, (std::vector<int>{0, 1, 2, 3, 4}));
    ring.push_back(5);
    EXPECT_EQ(takeAll(ring), std::vector<int>{5});
}

// Dropping the oldest, as the notification queue does when it is full:
// across the wrap, and on an empty queue.
TEST(RingBuffer, PopFrontDropsTheOldestAcrossTheWrap)
{
    imaqhost::RingBuffer<int> ring;
    ring.pop_front();
    EXPECT_TRUE(ring.empty());
    for (int i = 0; i < 16; ++i) ring.push_back(i); // exactly the first block
    for (int i = 0; i < 15; ++i) ring.pop_front();
    ring.push_back(16); // wraps to the block's start
    ring.push_back(17);
    ring.pop_front();
    EXPECT_EQ(takeAll(ring), (std::vector<int>{16, 17}));
    ring.push_back(18);
    EXPECT_EQ(takeAll(ring), std::vector<int>{18});
}

// Any run of pushes and takes, across many wraps and growths, keeps the
// order a plain queue keeps.
TEST(RingBuffer, AgreesWithAPlainQueueOverLongRuns)
{
    imaqhost::RingBuffer<int> ring;
    std::deque<int> model;
    std::mt19937 random(7);
    std::vector<int> out;
    int next = 0;
    for (int step = 0; step < 20000; ++step) {
        const auto choice = random() % 8;
        if (choice < 4) { // pushes outnumber takes: the queue grows through several sizes
            ring.push_back(next);
            model.push_back(next++);
        } else if (choice < 6) {
            ring.pop_front();
            if (!model.empty()) model.pop_front();
        } else if (choice == 6) {
            const std::size_t count = random() % 5;
            ring.takeFront(count, out);
            ASSERT_EQ(out.size(), std::min(count, model.size()));
            for (int value : out) {
                ASSERT_EQ(value, model.front());
                model.pop_front();
            }
        } else {
            ASSERT_EQ(ring.size(), model.size());
            if (!model.empty()) {
                ASSERT_EQ(ring.front(), model.front());
            }
        }
    }
    EXPECT_EQ(takeAll(ring), std::vector<int>(model.begin(), model.end()));
}

} // namespace
