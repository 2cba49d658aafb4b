// Lets an acquisition hear of warnings while it runs (a lost device is
// reported only as a warning). The observer runs on the warning's thread.
#pragma once

#include "imaqhost/warnings.h"

#include <functional>

namespace imaqhost {

class WarningObserver {
public:
    explicit WarningObserver(std::function<void(const Warning&)> observer);
    ~WarningObserver();
    WarningObserver(const WarningObserver&) = delete;
    WarningObserver& operator=(const WarningObserver&) = delete;

    void notify(const Warning& warning) const { observer_(warning); }

private:
    std::function<void(const Warning&)> observer_;
};

} // namespace imaqhost
