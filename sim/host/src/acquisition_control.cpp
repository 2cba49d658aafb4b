#include "acquisition_control.h"

#include "adaptor_call.h"
#include "imaqsim/host_error.h"
#include "warning_observer.h"

#include <algorithm>

namespace imaqsim {

namespace {

// The text an adaptor warns with when its camera is gone.
constexpr const char* kDeviceLostWarning = "The device is lost.";

// Time stamps reserved up front; beyond this the log grows as needed.
constexpr std::int64_t kReservedTimestamps = 1 << 20;

constexpr std::size_t kReservedQueue = 64;

// While frames flow the host thread looks for them this often, and is woken
// early only when this many are waiting or the last one asked for arrived.
constexpr std::chrono::microseconds kPollInterval{250};
constexpr std::size_t kWakeBatch = 16;

} // namespace

const char* toString(AcquisitionEnd end)
{
    switch (end) {
    case AcquisitionEnd::Completed: return "completed";
    case AcquisitionEnd::StartRefused: return "start refused";
    case AcquisitionEnd::Timeout: return "timeout";
    case AcquisitionEnd::DeviceLost: return "device lost";
    case AcquisitionEnd::CaptureStopped: return "capture stopped";
    }
    return "unknown";
}

AcquisitionControl::AcquisitionControl(FramePool& pool) : pool_(pool)
{
    queue_.reserve(kReservedQueue);
    batch_.reserve(kReservedQueue);
}

bool AcquisitionControl::isSendFrame()
{
    std::lock_guard lock(mutex_);
    if (!active_.load()) return false;
    if (stats_.received < wanted_) return true;
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

bool AcquisitionControl::deliver(Frame& frame)
{
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        if (!active_.load()) {
            ++outside_;
            return false;
        }
        if (stats_.received >= wanted_) {
            ++stats_.excess;
            return false;
        }
        if (stats_.received == 0) stats_.firstTime = frame.time();
        stats_.lastTime = frame.time();
        ++stats_.received;
        stats_.timestamps.push_back(frame.time());
        queue_.push_back(&frame);
        wake = !hostPolling_ || queue_.size() >= kWakeBatch || stats_.received == wanted_;
    }
    // Woken after the unlock, the host thread finds the mutex free.
    if (wake) arrived_.notify_one();
    return true;
}

std::int64_t AcquisitionControl::framesOutsideAcquisition() const
{
    std::lock_guard lock(mutex_);
    return outside_;
}

void AcquisitionControl::begin(std::int64_t frames)
{
    std::lock_guard lock(mutex_);
    stats_ = AcquisitionStats{};
    stats_.requested = frames;
    stats_.startedAt = imaqkit::getCurrentTime();
    stats_.timestamps.reserve(static_cast<std::size_t>(std::min(frames, kReservedTimestamps)));
    wanted_ = frames;
    deviceLost_ = false;
    hostPolling_ = false;
    consumed_ = 0;
    running_.store(false);
    active_.store(true);
}

AcquisitionStats AcquisitionControl::run(imaqkit::IAdaptor& adaptor, std::int64_t frames,
                                         const FrameConsumer& consumer,
                                         std::chrono::milliseconds timeout)
{
    if (frames < 1) throw HostError("An acquisition needs at least one frame.");
    if (active_.load()) throw HostError("An acquisition is already running.");

    WarningObserver lostDevice([this](const Warning& warning) {
        if (warning.message != kDeviceLostWarning) return;
        std::lock_guard lock(mutex_);
        if (!active_.load()) return;
        deviceLost_ = true;
        arrived_.notify_one();
    });

    begin(frames);
    bool started = false;
    AcquisitionEnd end = AcquisitionEnd::StartRefused;
    try {
        // running_ stays false until the adaptor has started: its start
        // capture refuses to act while the host says capture is running.
        started = callAdaptor("Starting capture", [&] { return adaptor.startCapture(); });
        if (started) {
            running_.store(true);
            end = consume(consumer, timeout);
        }
    } catch (...) {
        finish(adaptor, started);
        recycleBatch();
        throw;
    }
    const std::exception_ptr stopFailure = finish(adaptor, started);
    // Frames that arrived while capture was being stopped still count.
    passBatch(consumer);
    if (stopFailure) std::rethrow_exception(stopFailure);
    if (consumed_ >= wanted_) end = AcquisitionEnd::Completed;
    std::lock_guard lock(mutex_);
    stats_.end = end;
    return stats_;
}

void AcquisitionControl::passBatch(const FrameConsumer& consumer)
{
    for (const Frame* frame : batch_) {
        if (consumer) {
            const FrameView view{consumed_,      frame->frameType(),     frame->width(),
                                 frame->height(), frame->bytesPerPixel(), frame->time(),
                                 frame->pixels(), frame->bytes()};
            try {
                consumer(view);
            } catch (...) {
                recycleBatch();
                throw;
            }
        }
        ++consumed_;
    }
    // Back to the pool together: one lock for the batch, not one per frame.
    recycleBatch();
}

AcquisitionEnd AcquisitionControl::consume(const FrameConsumer& consumer,
                                           std::chrono::milliseconds timeout)
{
    auto deadline = Clock::now() + timeout;
    bool flowing = false;
    for (;;) {
        bool lost = false;
        {
            std::unique_lock lock(mutex_);
            // While frames flow, look again after a short while instead of
            // being woken for every frame; once they stop, wait to be woken.
            hostPolling_ = flowing;
            const auto until = flowing ? std::min(deadline, Clock::now() + kPollInterval) : deadline;
            arrived_.wait_until(lock, until, [&] {
                return !queue_.empty() || deviceLost_ || !running_.load();
            });
            std::swap(queue_, batch_);
            lost = deviceLost_;
        }
        const bool progressed = !batch_.empty();
        flowing = progressed;
        passBatch(consumer);
        if (consumed_ >= wanted_) return AcquisitionEnd::Completed;
        if (lost) return AcquisitionEnd::DeviceLost;
        if (!running_.load()) return AcquisitionEnd::CaptureStopped;
        if (progressed)
            deadline = Clock::now() + timeout;
        else if (Clock::now() >= deadline)
            return AcquisitionEnd::Timeout;
    }
}

void AcquisitionControl::recycleBatch()
{
    pool_.recycle(batch_);
    batch_.clear();
}

std::exception_ptr AcquisitionControl::finish(imaqkit::IAdaptor& adaptor, bool started)
{
    // Stop while the acquisition still counts as active: the adaptor's stop
    // capture acts only then.
    std::exception_ptr stopFailure;
    if (started) {
        try {
            callAdaptor("Stopping capture", [&] { return adaptor.stopCapture(); });
        } catch (...) {
            stopFailure = std::current_exception();
        }
    }
    std::lock_guard lock(mutex_);
    active_.store(false);
    running_.store(false);
    // The batch is empty here; whatever is still queued moves into it.
    std::swap(queue_, batch_);
    stats_.endedAt = imaqkit::getCurrentTime();
    if (stats_.received >= 2 && stats_.lastTime > stats_.firstTime)
        stats_.measuredRate =
            static_cast<double>(stats_.received - 1) / (stats_.lastTime - stats_.firstTime);
    return stopFailure;
}

} // namespace imaqsim
