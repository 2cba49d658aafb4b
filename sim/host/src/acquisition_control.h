// The host's side of an acquisition of N frames. The adaptor's delivery
// thread asks isSendFrame and hands frames over; the host thread (the caller
// of run) waits for them, passes each to the consumer, and alone starts and
// stops capture, so a stop never runs on the thread that delivers frames.
#pragma once

#include "frame_pool.h"
#include "imaqsim/acquisition.h"
#include "platform/imaqkit.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <vector>

namespace imaqsim {

class AcquisitionControl {
public:
    explicit AcquisitionControl(FramePool& pool);

    // Called by the adaptor manager, on any thread.
    bool isActive() const noexcept { return active_.load(); }
    bool isRunning() const noexcept { return running_.load(); }
    void setRunning(bool running) noexcept { running_.store(running); }
    bool isSendFrame();
    void frameCounted();
    void frameRefused();
    // Takes a received frame; false when it is not wanted (the caller recycles it).
    bool deliver(Frame& frame);

    // The whole acquisition, on the host thread.
    AcquisitionStats run(imaqkit::IAdaptor& adaptor, std::int64_t frames,
                         const FrameConsumer& consumer, std::chrono::milliseconds timeout);

    std::int64_t framesOutsideAcquisition() const;

private:
    using Clock = std::chrono::steady_clock;

    void begin(std::int64_t frames);
    AcquisitionEnd consume(const FrameConsumer& consumer, std::chrono::milliseconds timeout);
    // Stops capture if it was started, ends the acquisition and moves frames
    // still queued into the batch; a failure of the stop is returned.
    std::exception_ptr finish(imaqkit::IAdaptor& adaptor, bool started);
    // Hands the batch to the consumer and returns its frames to the pool.
    void passBatch(const FrameConsumer& consumer);
    void recycleBatch();

    FramePool& pool_;
    std::atomic<bool> active_{false};
    std::atomic<bool> running_{false};

    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<Frame*> queue_;
    std::vector<Frame*> batch_; // host thread only
    std::int64_t consumed_ = 0; // host thread only
    std::int64_t wanted_ = 0;
    bool deviceLost_ = false;
    bool hostPolling_ = false; // the host thread looks for frames without being woken
    std::int64_t outside_ = 0;
    AcquisitionStats stats_;
};

} // namespace imaqsim
