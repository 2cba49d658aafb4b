// Requests for a manual trigger: each SIGUSR1, and each Enter typed when
// standard input is a terminal. Requests that arrive while a trigger still
// logs its frames wait their turn.
#pragma once

#include <cstdint>

namespace orximaq {

class ManualTriggerRequests {
public:
    // Catches SIGUSR1 while it lives; the previous disposition comes back after.
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

} // namespace orximaq
