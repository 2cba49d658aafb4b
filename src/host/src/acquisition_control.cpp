#include "acquisition_control.h"

#include "adaptor_call.h"
#include "imaqhost/host_error.h"
#include "imaqhost/video_input.h"

#include <algorithm>

namespace imaqhost {

namespace {

// The text an adaptor warns with when its camera is gone.
constexpr const char* kDeviceLostWarning = "The device is lost.";

// Time stamps reserved up front; beyond this the log grows as needed.
constexpr std::int64_t kReservedTimestamps = 1 << 20;

// While frames flow, a consumer waiting in acquire looks for them this often
// and is woken early only when this many are waiting, not for every frame.
constexpr std::chrono::microseconds kPollInterval{250};
constexpr std::size_t kWakeBatch = 16;
// Frames flow when they come closer together than this; slower streams wake
// the consumer for every frame, which costs less than polling between them.
constexpr std::chrono::milliseconds kFlowingGap{2};

// A halt the adaptor follows with a restart (a source change) is not the end
// of capture; a halt not followed by a restart within this time is.
constexpr std::chrono::milliseconds kRestartGrace{100};

constexpr bool isUnlimited(std::int64_t frames)
{
    return frames == VideoInput::kUnlimitedFrames;
}

std::string framesText(std::int64_t count)
{
    return std::to_string(count) + (count == 1 ? " frame" : " frames");
}

} // namespace

const char* toString(AcquisitionEnd end)
{
    switch (end) {
    case AcquisitionEnd::Completed: return "completed";
    case AcquisitionEnd::StartRefused: return "start refused";
    case AcquisitionEnd::Timeout: return "timeout";
    case AcquisitionEnd::DeviceLost: return "device lost";
    case AcquisitionEnd::CaptureStopped: return "capture stopped";
    case AcquisitionEnd::Stopped: return "stopped";
    }
    return "unknown";
}

AcquisitionControl::AcquisitionControl(FramePool& pool)
    : pool_(pool), limitFrames_(kDefaultBufferFrames), limitBytes_(kDefaultBufferBytes)
{
}

AcquisitionControl::~AcquisitionControl()
{
    shutdown();
}

void AcquisitionControl::setRunning(bool running)
{
    {
        std::lock_guard lock(mutex_);
        running_.store(running);
    }
    notifyChanged();
}

bool AcquisitionControl::isSendFrame()
{
    std::lock_guard lock(mutex_);
    if (!active_.load()) return false;
    if (isUnlimited(wanted_) || stats_.received < wanted_) return true;
    ++stats_.notWanted;
    return false;
}

void AcquisitionControl::frameCounted()
{
    std::lock_guard lock(mutex_);
    if (active_.load()) ++stats_.counted;
}

void AcquisitionControl::frameRefused()
{
    std::lock_guard lock(mutex_);
    if (active_.load()) ++stats_.refused;
}

bool AcquisitionControl::bufferFullLocked(const Frame& frame) const
{
    if (buffer_.empty()) return false; // one frame always fits
    return buffer_.size() >= limitFrames_ || bufferBytes_ + frame.bytes() > limitBytes_;
}

bool AcquisitionControl::deliver(Frame& frame)
{
    bool wake = false;
    bool completed = false;
    {
        std::lock_guard lock(mutex_);
        if (!active_.load()) {
            ++outside_;
            return false;
        }
        if (!isUnlimited(wanted_) && stats_.received >= wanted_) {
            ++stats_.excess;
            return false;
        }
        lastFrameAt_ = Clock::now();
        if (bufferFullLocked(frame)) {
            ++stats_.overrun;
            return false;
        }
        if (stats_.received == 0) stats_.firstTime = frame.time();
        stats_.lastTime = frame.time();
        stats_.timestamps.push_back(frame.time());
        buffer_.push_back({&frame, stats_.received});
        bufferBytes_ += frame.bytes();
        ++stats_.received;
        completed = stats_.received == wanted_;
        wake = (waitingFor_ > 0 && buffer_.size() >= waitingFor_) || completed;
    }
    // Woken after the unlock, a waiting thread finds the mutex free.
    if (wake) logged_.notify_all();
    if (completed) changed_.notify_all();
    return true;
}

std::int64_t AcquisitionControl::framesOutsideAcquisition() const
{
    std::lock_guard lock(mutex_);
    return outside_;
}

bool AcquisitionControl::begin(imaqkit::IAdaptor& adaptor, std::int64_t frames,
                               std::optional<std::chrono::milliseconds> idleTimeout)
{
    if (frames < 1 && !isUnlimited(frames))
        throw HostError("An acquisition needs at least one frame.");
    {
        std::lock_guard lock(mutex_);
        if (stage_ == Stage::Running) throw HostError("An acquisition is already running.");
    }
    joinControl();
    flushData();
    lostDevice_ = std::make_unique<WarningObserver>([this](const Warning& warning) {
        if (warning.message != kDeviceLostWarning) return;
        {
            std::lock_guard lock(mutex_);
            if (!active_.load()) return;
            deviceLost_ = true;
        }
        notifyChanged();
    });
    {
        std::lock_guard lock(mutex_);
        stats_ = AcquisitionStats{};
        stats_.requested = frames;
        stats_.startedAt = imaqkit::getCurrentTime();
        if (!isUnlimited(frames))
            stats_.timestamps.reserve(static_cast<std::size_t>(std::min(frames, kReservedTimestamps)));
        wanted_ = frames;
        deviceLost_ = false;
        stopAsked_ = false;
        stopFailure_ = nullptr;
        lastFrameAt_ = Clock::now();
        stage_ = Stage::Running;
        running_.store(false);
        active_.store(true);
    }
    bool started = false;
    try {
        // running_ stays false until the adaptor has started: its start
        // capture refuses to act while the host says capture is running.
        std::lock_guard adaptorLock(adaptorMutex_);
        started = callAdaptor("Starting capture", [&] { return adaptor.startCapture(); });
    } catch (...) {
        finishWithoutCapture(AcquisitionEnd::StartRefused);
        throw;
    }
    if (!started) {
        finishWithoutCapture(AcquisitionEnd::StartRefused);
        return false;
    }
    setRunning(true);
    control_ = std::thread([this, &adaptor, idleTimeout] { control(adaptor, idleTimeout); });
    return true;
}

void AcquisitionControl::finishWithoutCapture(AcquisitionEnd end)
{
    {
        std::lock_guard lock(mutex_);
        active_.store(false);
        running_.store(false);
        stage_ = Stage::Ended;
        stats_.end = end;
        stats_.endedAt = imaqkit::getCurrentTime();
    }
    notifyChanged();
}

void AcquisitionControl::start(imaqkit::IAdaptor& adaptor, std::int64_t frames,
                               std::optional<std::chrono::milliseconds> idleTimeout)
{
    if (!begin(adaptor, frames, idleTimeout))
        throw HostError("The adaptor refused to start capture.");
}

void AcquisitionControl::control(imaqkit::IAdaptor& adaptor,
                                 std::optional<std::chrono::milliseconds> idleTimeout)
{
    AcquisitionEnd end = AcquisitionEnd::Completed;
    {
        std::unique_lock lock(mutex_);
        end = awaitEnd(lock, idleTimeout);
    }
    endCapture(adaptor, end);
}

AcquisitionEnd AcquisitionControl::awaitEnd(std::unique_lock<std::mutex>& lock,
                                            std::optional<std::chrono::milliseconds> idleTimeout)
{
    for (;;) {
        if (!isUnlimited(wanted_) && stats_.received >= wanted_) return AcquisitionEnd::Completed;
        if (deviceLost_) return AcquisitionEnd::DeviceLost;
        if (stopAsked_) return AcquisitionEnd::Stopped;
        if (!running_.load()) {
            const bool resumed = changed_.wait_for(lock, kRestartGrace, [&] {
                return running_.load() || stopAsked_ || deviceLost_;
            });
            if (!resumed) return AcquisitionEnd::CaptureStopped;
            continue;
        }
        if (!idleTimeout) {
            changed_.wait(lock);
            continue;
        }
        const auto deadline = lastFrameAt_ + *idleTimeout;
        if (Clock::now() >= deadline) return AcquisitionEnd::Timeout;
        changed_.wait_until(lock, deadline);
    }
}

void AcquisitionControl::endCapture(imaqkit::IAdaptor& adaptor, AcquisitionEnd end)
{
    std::exception_ptr failure;
    {
        // Stop while the acquisition still counts as active: the adaptor's
        // stop capture acts only then.
        std::lock_guard adaptorLock(adaptorMutex_);
        try {
            callAdaptor("Stopping capture", [&] { return adaptor.stopCapture(); });
        } catch (...) {
            failure = std::current_exception();
        }
        std::lock_guard lock(mutex_);
        active_.store(false);
        running_.store(false);
        stage_ = Stage::Ended;
        stopFailure_ = failure;
        stats_.end = end;
        stats_.endedAt = imaqkit::getCurrentTime();
        if (stats_.received >= 2 && stats_.lastTime > stats_.firstTime)
            stats_.measuredRate =
                static_cast<double>(stats_.received - 1) / (stats_.lastTime - stats_.firstTime);
    }
    notifyChanged();
}

void AcquisitionControl::notifyChanged()
{
    changed_.notify_all();
    logged_.notify_all();
}

void AcquisitionControl::joinControl()
{
    if (control_.joinable() && control_.get_id() != std::this_thread::get_id()) control_.join();
}

void AcquisitionControl::rethrowStopFailure()
{
    std::exception_ptr failure;
    {
        std::lock_guard lock(mutex_);
        std::swap(failure, stopFailure_);
    }
    if (failure) std::rethrow_exception(failure);
}

void AcquisitionControl::stop()
{
    {
        std::lock_guard lock(mutex_);
        if (stage_ == Stage::Running) stopAsked_ = true;
    }
    notifyChanged();
    joinControl();
    rethrowStopFailure();
}

bool AcquisitionControl::wait(std::chrono::milliseconds timeout)
{
    {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, timeout, [&] { return stage_ != Stage::Running; })) return false;
    }
    joinControl();
    return true;
}

std::int64_t AcquisitionControl::framesAcquired() const
{
    std::lock_guard lock(mutex_);
    return stats_.received;
}

std::int64_t AcquisitionControl::framesAvailable() const
{
    std::lock_guard lock(mutex_);
    return static_cast<std::int64_t>(buffer_.size());
}

void AcquisitionControl::takeLocked(std::size_t frames, std::vector<Logged>& batch)
{
    buffer_.takeFront(frames, batch);
    for (const Logged& logged : batch) bufferBytes_ -= logged.frame->bytes();
    stats_.consumed += static_cast<std::int64_t>(batch.size());
}

FrameView AcquisitionControl::viewOf(const Frame& frame, std::int64_t index)
{
    return {index,          frame.frameType(),     frame.width(), frame.height(),
            frame.bytesPerPixel(), frame.time(), frame.pixels(), frame.bytes()};
}

void AcquisitionControl::pass(const std::vector<Logged>& batch, const FrameConsumer& consumer,
                              std::vector<Frame*>& frames)
{
    frames.clear();
    for (const Logged& logged : batch) frames.push_back(logged.frame);
    // The frames are out of the buffer: back to the pool whatever the consumer does.
    struct Recycle {
        FramePool& pool;
        const std::vector<Frame*>& frames;
        ~Recycle() { pool.recycle(frames); }
    } recycle{pool_, frames};
    if (!consumer) return;
    for (const Logged& logged : batch) consumer(viewOf(*logged.frame, logged.index));
}

void AcquisitionControl::getData(std::int64_t frames, const FrameConsumer& consumer,
                                 std::chrono::milliseconds timeout)
{
    if (frames < 1) throw HostError("Taking frames needs at least one frame.");
    const auto wanted = static_cast<std::size_t>(frames);
    std::vector<Logged> batch;
    {
        std::unique_lock lock(mutex_);
        waitingFor_ = wanted;
        logged_.wait_for(lock, timeout,
                         [&] { return buffer_.size() >= wanted || stage_ != Stage::Running; });
        waitingFor_ = 0;
        if (buffer_.size() < wanted) {
            const std::string available = framesText(static_cast<std::int64_t>(buffer_.size()));
            if (stage_ != Stage::Running)
                throw HostError("The acquisition ended (" + std::string(toString(stats_.end)) +
                                ") with " + available + " available; " + framesText(frames) +
                                " were asked for.");
            throw HostError("Timed out waiting for " + framesText(frames) + "; " + available +
                            " available.");
        }
        takeLocked(wanted, batch);
    }
    std::vector<Frame*> recycled;
    pass(batch, consumer, recycled);
}

void AcquisitionControl::peekData(std::int64_t frames, const FrameConsumer& consumer)
{
    std::vector<Logged> newest;
    {
        std::lock_guard lock(mutex_);
        buffer_.copyBack(static_cast<std::size_t>(std::max<std::int64_t>(frames, 0)), newest);
    }
    // Only the user's thread removes frames, so these stay valid meanwhile.
    if (consumer)
        for (const Logged& logged : newest) consumer(viewOf(*logged.frame, logged.index));
}

void AcquisitionControl::flushData()
{
    std::vector<Logged> all;
    {
        std::lock_guard lock(mutex_);
        takeLocked(buffer_.size(), all);
    }
    std::vector<Frame*> recycled;
    pass(all, {}, recycled);
}

AcquisitionStats AcquisitionControl::statistics() const
{
    std::lock_guard lock(mutex_);
    AcquisitionStats snapshot = stats_;
    snapshot.available = static_cast<std::int64_t>(buffer_.size());
    snapshot.bufferLimitFrames = limitFrames_;
    snapshot.bufferLimitBytes = limitBytes_;
    snapshot.logging = active_.load();
    return snapshot;
}

void AcquisitionControl::setBufferLimit(std::size_t frames, std::size_t bytes)
{
    if (frames < 1 || bytes < 1) throw HostError("The frame buffer must hold at least one frame.");
    std::lock_guard lock(mutex_);
    limitFrames_ = frames;
    limitBytes_ = bytes;
}

AcquisitionStats AcquisitionControl::run(imaqkit::IAdaptor& adaptor, std::int64_t frames,
                                         const FrameConsumer& consumer,
                                         std::chrono::milliseconds timeout)
{
    if (frames < 1) throw HostError("An acquisition needs at least one frame.");
    if (begin(adaptor, frames, timeout)) {
        try {
            drain(consumer);
        } catch (...) {
            stop();
            flushData();
            throw;
        }
        joinControl();
        rethrowStopFailure();
    }
    return statistics();
}

void AcquisitionControl::drain(const FrameConsumer& consumer)
{
    bool flowing = false;
    auto lastTake = Clock::now() - kFlowingGap;
    std::vector<Logged>& batch = drainBatch_;
    // Room for a few wake-ups' worth up front: a batch that grows mid-stream allocates.
    batch.reserve(4 * kWakeBatch);
    drainRecycled_.reserve(4 * kWakeBatch);
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            // While frames flow, look again after a short while instead of
            // being woken for every frame; once they stop, wait to be woken.
            waitingFor_ = flowing ? kWakeBatch : 1;
            const auto ready = [&] { return !buffer_.empty() || stage_ != Stage::Running; };
            if (flowing)
                logged_.wait_for(lock, kPollInterval, ready);
            else
                logged_.wait(lock, ready);
            waitingFor_ = 0;
            if (buffer_.empty() && stage_ != Stage::Running) return;
            takeLocked(buffer_.size(), batch);
        }
        if (!batch.empty()) {
            const auto now = Clock::now();
            flowing = now - lastTake < kFlowingGap;
            lastTake = now;
        } else {
            flowing = false;
        }
        pass(batch, consumer, drainRecycled_);
    }
}

void AcquisitionControl::shutdown()
{
    stop();
    flushData();
    lostDevice_.reset();
}

} // namespace imaqhost
