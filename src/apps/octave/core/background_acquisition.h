// Background acquisition for one video input: start returns at once, frames
// collect in a bounded buffer while the user's thread goes on, and property
// calls made meanwhile are safe.
//
// This is built on the host's blocking acquire, run on a thread of ours: the
// frame consumer stores each frame and runs the property calls queued from the
// user's thread between frames (the host allows its consumer to do that). It
// keeps the shape of the host's own background API so that it can be swapped
// for it.
#pragma once

#include "imaqhost/acquisition.h"
#include "imaqhost/video_input.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orxoct {

struct AcquisitionCounts {
    std::int64_t acquired = 0;  // frames logged since start
    std::int64_t available = 0; // frames in the buffer now
    std::int64_t overrun = 0;   // frames dropped because the buffer was full
    bool logging = false;
};

class BackgroundAcquisition {
public:
    static constexpr std::int64_t kUnlimitedFrames = -1; // until stop()

    explicit BackgroundAcquisition(imaqhost::VideoInput& input, std::size_t bufferLimit = 512);
    // Stops capture and joins the thread.
    ~BackgroundAcquisition();
    BackgroundAcquisition(const BackgroundAcquisition&) = delete;
    BackgroundAcquisition& operator=(const BackgroundAcquisition&) = delete;

    // Empties the buffer, resets the counts and starts logging; HostError when
    // already logging.
    void start(std::int64_t frames);
    // Stops logging; logged frames stay in the buffer.
    void stop();
    // True once the acquisition has ended (or none runs).
    bool wait(std::chrono::milliseconds timeout);
    AcquisitionCounts counts() const;
    // Why the last acquisition ended early ("device lost", ...); empty otherwise.
    std::string endReason() const;

    // Removes `frames` frames, oldest first, handing each to the consumer on
    // the calling thread. HostError, nothing removed, when they do not arrive
    // within the timeout or the acquisition ended with fewer.
    void getData(std::int64_t frames, const imaqhost::FrameConsumer& consumer, std::chrono::milliseconds timeout);
    // The newest `frames` frames (fewer when fewer are there), left in place.
    void peekData(std::int64_t frames, const imaqhost::FrameConsumer& consumer);
    void flushData();
    // One frame acquired on the calling thread and handed to the consumer; the
    // buffer and the counts of the last acquisition stay as they are. Only
    // while no acquisition runs.
    void snapshot(const imaqhost::FrameConsumer& consumer, std::chrono::milliseconds timeout);

    // Runs `call` with sole use of the video input: at once when nothing runs,
    // otherwise on the acquisition thread between two frames. Exceptions reach
    // the caller.
    void withInput(const std::function<void()>& call);

private:
    struct StoredFrame {
        imaqhost::FrameView view; // pixels point into `pixels`
        std::vector<std::uint8_t> pixels;
    };
    struct StopRequested {};

    void run(std::int64_t frames);
    void store(const imaqhost::FrameView& frame);
    void runQueuedCalls();
    void joinThread();
    static void hand(const StoredFrame& frame, const imaqhost::FrameConsumer& consumer);

    imaqhost::VideoInput& input_;
    const std::size_t bufferLimit_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<StoredFrame> buffer_;
    std::deque<std::packaged_task<void()>> calls_;
    AcquisitionCounts counts_;
    bool threadActive_ = false;
    bool stopRequested_ = false;
    std::string endReason_;
    std::thread thread_;
};

} // namespace orxoct
