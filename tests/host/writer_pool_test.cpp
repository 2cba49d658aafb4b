// The runtime's writer threads: every job runs once, drain waits for all,
// submit blocks at the bound, and closing finishes what was taken.
#include "imaqhost/writer_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

TEST(StreamingWriterPool, RunsEveryJobOnceAndDrainWaitsForThem)
{
    std::atomic<int> runs{0};
    imaqhost::WriterPool pool(3, 6);
    for (int i = 0; i < 200; ++i)
        pool.submit([&runs] { runs.fetch_add(1); });
    pool.drain();
    EXPECT_EQ(runs.load(), 200);
    EXPECT_EQ(pool.pending(), 0u);
}

TEST(StreamingWriterPool, SubmitBlocksWhileTheBoundIsInFlight)
{
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    imaqhost::WriterPool pool(1, 2);
    pool.submit([released] { released.wait(); });
    pool.submit([] {});
    EXPECT_EQ(pool.pending(), 2u);

    std::atomic<bool> thirdTaken{false};
    std::thread submitter([&] {
        pool.submit([] {});
        thirdTaken.store(true);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(thirdTaken.load()) << "a third job was taken while two were in flight";
    release.set_value();
    submitter.join();
    pool.drain();
    EXPECT_TRUE(thirdTaken.load());
}

TEST(StreamingWriterPool, ClosingFinishesEveryJobTaken)
{
    std::atomic<int> runs{0};
    {
        imaqhost::WriterPool pool(2, 8);
        for (int i = 0; i < 8; ++i)
            pool.submit([&runs] {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                runs.fetch_add(1);
            });
    }
    EXPECT_EQ(runs.load(), 8);
}

TEST(StreamingWriterPool, ZeroThreadsStillGetsOneWriter)
{
    std::atomic<int> runs{0};
    imaqhost::WriterPool pool(0, 0);
    pool.submit([&runs] { runs.fetch_add(1); });
    pool.drain();
    EXPECT_EQ(runs.load(), 1);
}

} // namespace
