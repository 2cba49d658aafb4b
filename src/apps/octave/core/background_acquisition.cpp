#include "background_acquisition.h"

#include "imaqhost/host_error.h"

#include <limits>

namespace orxoct {

BackgroundAcquisition::BackgroundAcquisition(imaqhost::VideoInput& input, std::size_t bufferLimit)
    : input_(input), bufferLimit_(bufferLimit == 0 ? 1 : bufferLimit)
{
}

BackgroundAcquisition::~BackgroundAcquisition()
{
    stop();
    joinThread();
}

void BackgroundAcquisition::joinThread()
{
    if (thread_.joinable())
        thread_.join();
}

void BackgroundAcquisition::start(std::int64_t frames)
{
    if (frames == 0 || frames < kUnlimitedFrames)
        throw imaqhost::HostError("FramesPerTrigger must be at least 1 (or Inf).");
    {
        std::lock_guard lock(mutex_);
        if (threadActive_)
            throw imaqhost::HostError("The acquisition is already running; stop it first.");
    }
    joinThread();
    std::unique_lock lock(mutex_);
    buffer_.clear();
    counts_ = AcquisitionCounts{};
    counts_.logging = true;
    endReason_.clear();
    stopRequested_ = false;
    threadActive_ = true;
    thread_ = std::thread([this, frames] { run(frames); });
    // Returns once capture runs (the host's flag is atomic), so that a refused
    // start is an error here rather than an empty buffer later.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (threadActive_ && counts_.acquired == 0 && !input_.isCaptureRunning() &&
           std::chrono::steady_clock::now() < deadline)
        changed_.wait_for(lock, std::chrono::milliseconds(2));
    if (!threadActive_ && counts_.acquired == 0 && !endReason_.empty())
        throw imaqhost::HostError("The acquisition did not start: " + endReason_);
}

void BackgroundAcquisition::run(std::int64_t frames)
{
    const std::int64_t wanted = frames == kUnlimitedFrames ? std::numeric_limits<std::int32_t>::max() : frames;
    std::string reason;
    try {
        const auto stats = input_.acquire(wanted, [this](const imaqhost::FrameView& frame) { store(frame); });
        if (stats.end == imaqhost::AcquisitionEnd::DeviceLost)
            reason = "the device was lost";
        else if (stats.end != imaqhost::AcquisitionEnd::Completed)
            reason = imaqhost::toString(stats.end);
    } catch (const StopRequested&) {
    } catch (const std::exception& error) {
        reason = error.what();
    }
    // Calls queued while the last frame was handled run before the end shows.
    std::unique_lock lock(mutex_);
    for (;;) {
        if (calls_.empty())
            break;
        auto call = std::move(calls_.front());
        calls_.pop_front();
        lock.unlock();
        call();
        lock.lock();
    }
    endReason_ = stopRequested_ ? std::string() : reason;
    counts_.logging = false;
    threadActive_ = false;
    changed_.notify_all();
}

void BackgroundAcquisition::store(const imaqhost::FrameView& frame)
{
    StoredFrame stored{frame, std::vector<std::uint8_t>(frame.pixels, frame.pixels + frame.bytes)};
    stored.view.pixels = stored.pixels.data();
    {
        std::lock_guard lock(mutex_);
        if (buffer_.size() >= bufferLimit_) {
            ++counts_.overrun;
        } else {
            buffer_.push_back(std::move(stored));
            ++counts_.acquired;
        }
        counts_.available = static_cast<std::int64_t>(buffer_.size());
        changed_.notify_all();
        if (stopRequested_)
            throw StopRequested{};
    }
    runQueuedCalls();
}

void BackgroundAcquisition::runQueuedCalls()
{
    std::unique_lock lock(mutex_);
    while (!calls_.empty()) {
        auto call = std::move(calls_.front());
        calls_.pop_front();
        lock.unlock();
        call();
        lock.lock();
    }
}

void BackgroundAcquisition::stop()
{
    {
        std::lock_guard lock(mutex_);
        stopRequested_ = true;
    }
    // The thread sees the request with its next frame; a silent device ends
    // the acquisition by its own timeout.
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !threadActive_; });
}

bool BackgroundAcquisition::wait(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return !threadActive_; });
}

AcquisitionCounts BackgroundAcquisition::counts() const
{
    std::lock_guard lock(mutex_);
    return counts_;
}

std::string BackgroundAcquisition::endReason() const
{
    std::lock_guard lock(mutex_);
    return endReason_;
}

void BackgroundAcquisition::hand(const StoredFrame& frame, const imaqhost::FrameConsumer& consumer)
{
    if (consumer)
        consumer(frame.view);
}

void BackgroundAcquisition::getData(std::int64_t frames, const imaqhost::FrameConsumer& consumer,
                                    std::chrono::milliseconds timeout)
{
    if (frames < 1)
        throw imaqhost::HostError("The number of frames must be at least 1.");
    std::deque<StoredFrame> taken;
    {
        std::unique_lock lock(mutex_);
        const auto enough = [&] { return static_cast<std::int64_t>(buffer_.size()) >= frames || !threadActive_; };
        changed_.wait_for(lock, timeout, enough);
        const auto available = static_cast<std::int64_t>(buffer_.size());
        if (available < frames) {
            std::string why = threadActive_ ? "they did not arrive within the timeout"
                              : endReason_.empty() ? "the acquisition ended"
                                                   : "the acquisition ended: " + endReason_;
            throw imaqhost::HostError("Cannot return " + std::to_string(frames) + " frames: " + why + " (" +
                                     std::to_string(available) + " available).");
        }
        for (std::int64_t i = 0; i < frames; ++i) {
            taken.push_back(std::move(buffer_.front()));
            buffer_.pop_front();
        }
        counts_.available = static_cast<std::int64_t>(buffer_.size());
    }
    for (const auto& frame : taken)
        hand(frame, consumer);
}

void BackgroundAcquisition::peekData(std::int64_t frames, const imaqhost::FrameConsumer& consumer)
{
    std::lock_guard lock(mutex_);
    const auto available = static_cast<std::int64_t>(buffer_.size());
    const std::int64_t count = frames < available ? frames : available;
    for (std::int64_t i = available - count; i < available; ++i)
        hand(buffer_[static_cast<std::size_t>(i)], consumer);
}

void BackgroundAcquisition::flushData()
{
    std::lock_guard lock(mutex_);
    buffer_.clear();
    counts_.available = 0;
}

void BackgroundAcquisition::snapshot(const imaqhost::FrameConsumer& consumer, std::chrono::milliseconds timeout)
{
    {
        std::lock_guard lock(mutex_);
        if (threadActive_)
            throw imaqhost::HostError("A snapshot needs the acquisition stopped; stop it first.");
    }
    joinThread();
    const auto stats = input_.acquire(1, consumer, timeout);
    if (stats.received < 1)
        throw imaqhost::HostError(std::string("No frame for the snapshot: ") + imaqhost::toString(stats.end) + ".");
}

void BackgroundAcquisition::withInput(const std::function<void()>& call)
{
    std::future<void> done;
    {
        std::lock_guard lock(mutex_);
        if (threadActive_) {
            std::packaged_task<void()> task(call);
            done = task.get_future();
            calls_.push_back(std::move(task));
        }
    }
    if (!done.valid()) {
        call();
        return;
    }
    done.get();
}

} // namespace orxoct
