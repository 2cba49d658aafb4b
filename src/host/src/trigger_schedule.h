// Which of the camera's frames an acquisition logs: triggers, frames per
// trigger, frame delay and grab interval. Plain bookkeeping, no locking;
// the acquisition control holds its mutex around every call.
#pragma once

#include "imaqhost/acquisition.h"

#include <cstdint>

namespace imaqhost {

class TriggerSchedule {
public:
    enum class Verdict { Log, Skip, Idle };

    TriggerSchedule() = default;
    explicit TriggerSchedule(const TriggerSettings& settings) : settings_(settings) {}

    // A trigger is logging frames.
    bool logging() const noexcept { return logging_; }
    // Every trigger has executed and logged its frames.
    bool finished() const noexcept
    {
        if (logging_ || settings_.triggerRepeat == kInfinite) return false;
        return executed_ >= settings_.triggerRepeat + 1;
    }
    // Another trigger may fire (none is logging, not all have executed).
    bool canFire() const noexcept { return !logging_ && !finished(); }
    void fire();

    // A camera frame arrived: log it, skip it (delay, interval) or ignore it
    // (no trigger is logging).
    // Inline, as logged: both run for every frame of a stream.
    Verdict offer() noexcept
    {
        if (!logging_) return Verdict::Idle;
        const std::int64_t position = seen_++;
        if (position < settings_.frameDelay) return Verdict::Skip;
        if (settings_.grabInterval > 1 && (position - settings_.frameDelay) % settings_.grabInterval != 0)
            return Verdict::Skip;
        return Verdict::Log;
    }
    // The frame offered last was logged. True when that ended its trigger.
    bool logged() noexcept
    {
        ++inTrigger_;
        if (settings_.framesPerTrigger == kInfinite || inTrigger_ < settings_.framesPerTrigger) return false;
        logging_ = false;
        return true;
    }

    std::int64_t triggersExecuted() const noexcept { return executed_; }
    std::int64_t framesInTrigger() const noexcept { return inTrigger_; }
    // Frames the whole acquisition logs; kInfinite when it runs until stop.
    std::int64_t framesWanted() const noexcept;
    const TriggerSettings& settings() const noexcept { return settings_; }

private:
    TriggerSettings settings_;
    bool logging_ = false;
    std::int64_t executed_ = 0;
    std::int64_t seen_ = 0;      // camera frames offered since the trigger
    std::int64_t inTrigger_ = 0; // frames logged since the trigger
};

} // namespace imaqhost
