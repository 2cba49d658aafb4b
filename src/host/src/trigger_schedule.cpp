#include "trigger_schedule.h"

#include "imaqhost/host_error.h"

#include <limits>

namespace imaqhost {

const char* toString(TriggerType type)
{
    return type == TriggerType::Manual ? "manual" : "immediate";
}

void validate(const TriggerSettings& settings)
{
    if (settings.framesPerTrigger < 1 && settings.framesPerTrigger != kInfinite)
        throw HostError("FramesPerTrigger must be a positive count or Inf.");
    if (settings.triggerRepeat < 0 && settings.triggerRepeat != kInfinite)
        throw HostError("TriggerRepeat must be 0 or more, or Inf.");
    if (settings.frameDelay < 0) throw HostError("TriggerFrameDelay must be 0 or more.");
    if (settings.grabInterval < 1) throw HostError("FrameGrabInterval must be 1 or more.");
}

void TriggerSchedule::fire()
{
    logging_ = true;
    ++executed_;
    seen_ = 0;
    inTrigger_ = 0;
}

std::int64_t TriggerSchedule::framesWanted() const noexcept
{
    if (settings_.framesPerTrigger == kInfinite || settings_.triggerRepeat == kInfinite)
        return kInfinite;
    // Counts too large to multiply are as good as no end.
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    if (settings_.triggerRepeat == kMax) return kInfinite;
    const std::int64_t triggers = settings_.triggerRepeat + 1;
    if (settings_.framesPerTrigger > kMax / triggers) return kInfinite;
    return settings_.framesPerTrigger * triggers;
}

} // namespace imaqhost
