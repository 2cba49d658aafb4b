// Waits that the user can interrupt: the host's waits block, so a long wait
// is cut into short slices with a check between them (Octave's Ctrl-C test),
// and a limitless timeout is simply no deadline.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

namespace orxoct {

inline constexpr std::chrono::milliseconds kPollSlice{20};

// No deadline for an infinite (or absurdly long) number of seconds; an error
// is the caller's for NaN or negative values.
std::optional<std::chrono::milliseconds> deadlineOf(double seconds);

// Calls `slice(kPollSlice)` until it answers true (done) or the timeout
// passed; `check` runs between slices and may throw to abandon the wait.
// True when done.
bool pollUntil(const std::function<bool(std::chrono::milliseconds)>& slice,
               std::optional<std::chrono::milliseconds> timeout, const std::function<void()>& check);

} // namespace orxoct
