// The acquisition loop of `acquire` and `demo`: capture runs in the host's
// background buffer while this thread takes the frames one at a time, so
// that a Ctrl-C (or SIGTERM) or the end of a timed run is noticed between
// two frames and capture is stopped through the adaptor.
#pragma once

#include "imaqhost/video_input.h"
#include "manual_trigger.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace orximaq {

struct BackgroundRun {
    std::int64_t frames = 1;                         // or VideoInput::kUnlimitedFrames with a duration
    std::optional<std::chrono::duration<double>> duration; // stop capture after this long
    std::chrono::milliseconds idleTimeout = imaqhost::kDefaultAcquisitionTimeout;
    // Asked after every frame taken: true stops capture at once (a file could not be written).
    std::function<bool()> mustStop;
    // Start with these trigger settings instead of `frames` frames.
    std::optional<imaqhost::TriggerSettings> trigger;
    // Where manual triggers (or pushes) come from; needed with a manual trigger or `push`.
    ManualTriggerRequests* triggers = nullptr;
    // Run for each request instead of a manual trigger: pushes a camera's own
    // trigger. While it is set the run never times out waiting for frames.
    std::function<void()> push;
    // Told once each time the run starts waiting for a manual trigger, with its 1-based number.
    std::function<void(std::int64_t trigger)> awaiting;
    // Called while no frame is to be taken, every poll step.
    std::function<void()> idle;
};

struct BackgroundOutcome {
    imaqhost::AcquisitionStats stats;
    int interrupt = 0;    // the signal that stopped it, or 0
    bool stopped = false; // mustStop said so
    std::string startError; // why the host refused to start, when it did
};

// Called after each frame the consumer took, with the frames taken so far.
using FrameTaken = std::function<void(std::int64_t taken)>;

// Runs one acquisition to its end. Frames still in the buffer when capture
// ends are handed over too, except after an interrupt or when mustStop said
// so: then they are dropped from the buffer and the caller ends as soon as
// it can.
BackgroundOutcome acquireInBackground(imaqhost::VideoInput& input, const BackgroundRun& run,
                                      const imaqhost::FrameConsumer& consumer, const FrameTaken& taken = {});

} // namespace orximaq
