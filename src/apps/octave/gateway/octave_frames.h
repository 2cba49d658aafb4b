// Frames from the host's buffer as Octave arrays: H x W x B x N of the native
// type, with each frame's time stamp and number.
#pragma once

#include "imaqhost/video_input.h"

#include <octave/oct.h>

#include <cstdint>

namespace orxoct {

// The toolbox's clock vector [year month day hour minute seconds] as a row.
RowVector clockRow(const imaqhost::ClockVector& clock);

// Removes `frames` frames, which must be in the buffer already, and builds
// the outputs asked for: data, time stamps (N x 1), metadata (N x 1 struct
// with AbsTime, FrameNumber, RelativeFrame and TriggerIndex); times in
// seconds from the acquisition's first trigger.
octave_value_list removeFrames(imaqhost::VideoInput& input, std::int64_t frames, int nargout);

// The newest `frames` frames (fewer when fewer are there), left in the buffer.
octave_value_list peekFrames(imaqhost::VideoInput& input, std::int64_t frames, int nargout);

} // namespace orxoct
