// Counters and fault switches of the host's memory and frames, so that a test
// can prove that nothing leaked and can make the host refuse memory or frames.
#pragma once

#include "imaqhost/export.h"

#include <cstdint>

namespace imaqhost {

// imaqmalloc blocks not yet returned through imaqfree.
IMAQHOST_API std::int64_t outstandingImaqBlocks();
// Makes the next `count` imaqmalloc calls return null.
IMAQHOST_API void failNextImaqmallocs(int count);

// Frame objects in existence: handed out, logged, or resting in a pool.
IMAQHOST_API std::int64_t liveFrames();
// Of those, the ones resting in a pool, ready for reuse.
IMAQHOST_API std::int64_t pooledFrames();
// Frame objects ever constructed; it grows only when a pool has none to reuse.
IMAQHOST_API std::int64_t framesConstructed();
// Makes the next `count` makeFrame calls return null (the host refuses frames).
IMAQHOST_API void failNextMakeFrames(int count);
// How many of those refusals are still to come.
IMAQHOST_API int pendingMakeFrameFailures();

} // namespace imaqhost
