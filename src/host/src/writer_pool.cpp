#include "imaqhost/writer_pool.h"

#include <algorithm>

namespace imaqhost {

WriterPool::WriterPool(std::size_t threads, std::size_t inFlight)
    : inFlight_(std::max({inFlight, threads, std::size_t{1}}))
{
    threads = std::max<std::size_t>(threads, 1);
    threads_.reserve(threads);
    for (std::size_t i = 0; i < threads; ++i)
        threads_.emplace_back([this] { work(); });
}

WriterPool::~WriterPool()
{
    {
        const std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    for (auto& thread : threads_)
        thread.join();
}

void WriterPool::submit(std::function<void()> job)
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return jobs_.size() + running_ < inFlight_; });
    jobs_.push_back(std::move(job));
    lock.unlock();
    changed_.notify_all();
}

void WriterPool::drain()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return jobs_.empty() && running_ == 0; });
}

std::size_t WriterPool::pending() const
{
    const std::lock_guard lock(mutex_);
    return jobs_.size() + running_;
}

std::size_t WriterPool::defaultThreads()
{
    return std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 16);
}

void WriterPool::work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return closing_ || !jobs_.empty(); });
        if (jobs_.empty())
            return; // closing, and nothing left
        auto job = std::move(jobs_.front());
        jobs_.pop_front();
        ++running_;
        lock.unlock();
        job();
        lock.lock();
        --running_;
        changed_.notify_all();
    }
}

} // namespace imaqhost
