// What a platform's interrupt handler (interrupts_posix.cpp,
// interrupts_windows.cpp) shares with the rest of the program. Both calls
// are safe in a POSIX signal handler.
#pragma once

namespace orximaq {

// Takes note of an interrupt; false when one was noted already (the second
// one, which ends the process at once).
bool noteInterrupt(int signal) noexcept;

// Removes the partial files being written, for an immediate exit.
void removePartialFiles() noexcept;

// Forgets an earlier interrupt, when a new guard starts.
void clearInterrupt() noexcept;

} // namespace orximaq
