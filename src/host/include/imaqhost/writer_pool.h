// The runtime's pool of writer threads: front-ends hand it the encoding and
// writing of frame files, so that writing keeps up with the camera without a
// front-end starting threads of its own. The frames wait in the host's buffer: the pool takes a job
// only while fewer than its bound are in flight, and submit() blocks
// otherwise, so the pool holds at most that many frame copies of its own.
#pragma once

#include "imaqhost/export.h"

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace imaqhost {

class IMAQHOST_API WriterPool {
public:
    // `threads` writers (at least one); at most `inFlight` jobs (at least
    // `threads`) queued or running at once.
    WriterPool(std::size_t threads, std::size_t inFlight);
    ~WriterPool(); // finishes every job taken, then joins
    WriterPool(const WriterPool&) = delete;
    WriterPool& operator=(const WriterPool&) = delete;

    // Hands a job over, waiting while the pool is full. A job must not throw.
    void submit(std::function<void()> job);
    // Waits until every job taken has run.
    void drain();
    // Jobs queued or running now.
    std::size_t pending() const;

    // One writer per processor.
    static std::size_t defaultThreads();

private:
    void work();

    const std::size_t inFlight_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<void()>> jobs_;
    std::size_t running_ = 0;
    bool closing_ = false;
    std::vector<std::thread> threads_;
};

} // namespace imaqhost
