// What the seam keeps between calls on every system: the hooks, the echo
// switch, the allocation counters and the injected allocation failures.
#pragma once

#include "win32seam/testing/win32_seam.h"

#include <atomic>
#include <cstdint>

namespace win32seam::state {

extern std::atomic<std::int64_t> liveTaskMem;
extern std::atomic<std::int64_t> liveBstrs;

// True (and one failure used up) when the next allocation is to fail.
bool consumeTaskMemFailure();
bool consumeBstrFailure();

bool echoMessageBoxes();

// Copies of the installed hooks, so that a hook runs without the lock held.
MessageBoxHook messageBoxHook();
DebugOutputHook debugOutputHook();

} // namespace win32seam::state
