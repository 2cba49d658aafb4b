// The commands of triggers: the settings a start takes, manual triggers, and
// what the engine records of them (triggers executed, the first trigger's
// time, the event log).
#include "gateway_commands.h"

#include "gateway_arguments.h"
#include "octave_frames.h"

#include <octave/ov-struct.h>

#include <cmath>

namespace orxoct {
namespace {

// A whole number from `least`, or (when `endless`) Inf for no end.
std::int64_t countArg(const octave_value_list& args, int i, const char* what, std::int64_t least, bool endless)
{
    const double value = numberArg(args, i, what);
    if (endless && std::isinf(value) && value > 0)
        return imaqhost::kInfinite;
    if (!(value >= static_cast<double>(least) && value == std::floor(value) && value <= 2147483647.0))
        fail("imaq:orximaq:invalidArgument", std::string(what) + " must be a whole number of at least " +
                                                 std::to_string(least) + (endless ? ", or Inf." : "."));
    return static_cast<std::int64_t>(value);
}

octave_scalar_map eventData(const imaqhost::AcquisitionEvent& event)
{
    octave_scalar_map data;
    data.assign("AbsTime", clockRow(event.absTime));
    data.assign("FrameNumber", static_cast<double>(event.frameNumber));
    data.assign("RelativeFrame", static_cast<double>(event.relativeFrame));
    data.assign("TriggerIndex", static_cast<double>(event.triggerIndex));
    if (event.type == imaqhost::EventType::Error || event.type == imaqhost::EventType::Overrun) {
        data.assign("Message", event.message);
        data.assign("MessageID", event.messageId);
    }
    return data;
}

} // namespace

imaqhost::TriggerSettings triggerSettingsArgs(const octave_value_list& args, int first)
{
    imaqhost::TriggerSettings settings;
    settings.framesPerTrigger = countArg(args, first, "FramesPerTrigger", 1, true);
    if (args.length() <= first + 1)
        return settings;
    const std::string type = textArg(args, first + 1, "TriggerType");
    if (type == "manual")
        settings.type = imaqhost::TriggerType::Manual;
    else if (type != "immediate")
        fail("imaq:orximaq:invalidArgument", "TriggerType must be 'immediate' or 'manual'.");
    settings.triggerRepeat = countArg(args, first + 2, "TriggerRepeat", 0, true);
    settings.frameDelay = countArg(args, first + 3, "TriggerFrameDelay", 0, false);
    settings.grabInterval = countArg(args, first + 4, "FrameGrabInterval", 1, false);
    return settings;
}

octave_scalar_map eventOf(const imaqhost::AcquisitionEvent& event)
{
    octave_scalar_map out;
    out.assign("Type", std::string(imaqhost::toString(event.type)));
    out.assign("Data", eventData(event));
    return out;
}

octave_value eventsOf(const std::vector<imaqhost::AcquisitionEvent>& events)
{
    octave_map out(dim_vector(static_cast<octave_idx_type>(events.size()), 1));
    Cell types(out.dims()), data(out.dims());
    for (std::size_t i = 0; i < events.size(); ++i) {
        types(static_cast<octave_idx_type>(i)) = std::string(imaqhost::toString(events[i].type));
        data(static_cast<octave_idx_type>(i)) = eventData(events[i]);
    }
    out.assign("Type", types);
    out.assign("Data", data);
    return out;
}

octave_value_list triggerCommand(const Call& call)
{
    inputArg(call).trigger();
    return octave_value();
}

// triggerstate(handle): TriggersExecuted, InitialTriggerTime ([] before the
// first trigger) and EventLog of the last or current acquisition.
// A snapshot's own acquisition leaves those of the last one in place.
octave_value_list triggerStateCommand(const Call& call)
{
    OpenInput& open = openArg(call);
    imaqhost::VideoInput& input = *open.input;
    const bool kept = open.keptCounts.has_value();
    octave_scalar_map state;
    state.assign("TriggersExecuted",
                 static_cast<double>(kept ? open.keptCounts->triggersExecuted : input.triggersExecuted()));
    const auto initial = kept ? open.keptCounts->initialTriggerTime : input.initialTriggerTime();
    state.assign("InitialTriggerTime", initial ? octave_value(clockRow(*initial)) : octave_value(Matrix()));
    state.assign("EventLog", eventsOf(kept ? open.keptEvents : input.eventLog()));
    return octave_value(state);
}

// notify(handle, framesAcquiredCount, timerPeriod): which periodic
// notifications the next acquisition queues (0: none).
octave_value_list notifyCommand(const Call& call)
{
    imaqhost::NotificationSettings settings;
    settings.framesAcquiredCount = countArg(call.args, 2, "FramesAcquiredFcnCount", 0, false);
    settings.timerPeriod = secondsArg(call.args, 3, "TimerPeriod");
    if (std::isinf(settings.timerPeriod))
        settings.timerPeriod = 0.0;
    inputArg(call).setNotifications(settings);
    return octave_value();
}

// events(handle): the notifications queued since the last call, oldest
// first, as the struct array callbacks take their events from.
octave_value_list eventsCommand(const Call& call)
{
    return eventsOf(inputArg(call).takeNotifications());
}

} // namespace orxoct
