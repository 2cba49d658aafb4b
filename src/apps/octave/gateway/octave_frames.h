// Frames from the host's buffer as Octave arrays: H x W x B x N of the native
// type, with each frame's time stamp and number.
#pragma once

#include "background_acquisition.h"

#include <octave/oct.h>

#include <cstdint>

namespace orxoct {

// Which frames of the buffer to take.
enum class FrameTake { Remove, Peek };

// Runs getData (Remove) or peekData (Peek) and builds the outputs asked for:
// data, time stamps (N x 1), metadata (N x 1 struct with FrameNumber, Time).
octave_value_list framesToOctave(BackgroundAcquisition& acquisition, FrameTake take, std::int64_t frames,
                                 double timeoutSeconds, int nargout);

// One frame taken apart from the buffer (getsnapshot): data, time stamp, metadata.
octave_value_list snapshotToOctave(BackgroundAcquisition& acquisition, double timeoutSeconds, int nargout);

} // namespace orxoct
