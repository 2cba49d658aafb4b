// The gateway's commands, each a handler of one call: __orximaq__(NAME, ...).
#pragma once

#include "gateway_session.h"

#include "imaqhost/acquisition.h"

#include <octave/oct.h>

#include <vector>

namespace orxoct {

using Command = octave_value_list (*)(const Call&);

// The session and its devices.
octave_value_list devicesCommand(const Call& call);
octave_value_list openCommand(const Call& call);
octave_value_list closeCommand(const Call& call);
octave_value_list resetCommand(const Call& call);
octave_value_list isOpenCommand(const Call& call);
octave_value_list infoCommand(const Call& call);
octave_value_list memoryLimitCommand(const Call& call);
octave_value_list countersCommand(const Call& call);
octave_value_list adaptorCommand(const Call& call);
octave_value_list rigCommand(const Call& call);
octave_value_list defaultRigCommand(const Call& call);
octave_value_list lockedCommand(const Call& call);

// Properties, the region of interest, the sources.
octave_value_list namesCommand(const Call& call);
octave_value_list getCommand(const Call& call);
octave_value_list setCommand(const Call& call);
octave_value_list describeCommand(const Call& call);
octave_value_list roiCommand(const Call& call);
octave_value_list sourcesCommand(const Call& call);

// The background acquisition.
octave_value_list startCommand(const Call& call);
octave_value_list stopCommand(const Call& call);
octave_value_list statusCommand(const Call& call);
octave_value_list waitCommand(const Call& call);
octave_value_list getDataCommand(const Call& call);
octave_value_list peekDataCommand(const Call& call);
octave_value_list snapshotCommand(const Call& call);
octave_value_list flushCommand(const Call& call);
octave_value_list bufferLimitCommand(const Call& call);

// Triggers and the events of an acquisition.
// start(handle, FramesPerTrigger[, TriggerType, TriggerRepeat,
// TriggerFrameDelay, FrameGrabInterval]): args from `first` on.
imaqhost::TriggerSettings triggerSettingsArgs(const octave_value_list& args, int first);
octave_value eventsOf(const std::vector<imaqhost::AcquisitionEvent>& events);
octave_value_list triggerCommand(const Call& call);
octave_value_list triggerStateCommand(const Call& call);
octave_value_list notifyCommand(const Call& call);
octave_value_list eventsCommand(const Call& call);

// Colour spaces.
octave_value_list colorSpaceCommand(const Call& call);

// Logging to disk.
octave_value_list loggingCommand(const Call& call);
octave_value_list writeLogCommand(const Call& call);

} // namespace orxoct
