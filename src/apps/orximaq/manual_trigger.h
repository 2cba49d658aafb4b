// Requests for a manual trigger: each SIGUSR1, and each Enter typed when
// standard input is a terminal (on Windows, a console; Windows has no
// SIGUSR1). Requests that arrive while a trigger still logs its frames wait
// their turn. manual_trigger_posix.cpp and manual_trigger_windows.cpp read
// the platform's requests.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

namespace orximaq {

class ManualTriggerRequests {
public:
    // Catches SIGUSR1 while it lives (not on Windows); the previous
    // disposition comes back after.
    ManualTriggerRequests();
    ~ManualTriggerRequests();
    ManualTriggerRequests(const ManualTriggerRequests&) = delete;
    ManualTriggerRequests& operator=(const ManualTriggerRequests&) = delete;

    // Takes one waiting request, reading what was typed first; false when none.
    bool take();

private:
    void readTerminal();

    bool terminal_ = false; // standard input is a terminal that is still open
};

// The requests waiting, counted by the platform's reader.
std::atomic<std::int64_t>& manualTriggerRequests() noexcept;

// How a person fires a trigger, for the line that says the run waits.
std::string manualTriggerHint();

} // namespace orximaq
