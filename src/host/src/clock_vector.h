// Wall-clock times as the toolbox's clock vectors.
#pragma once

#include "imaqhost/acquisition.h"

#include <limits>

namespace imaqhost {

// Local time of a moment given in seconds since the Unix epoch.
ClockVector clockVectorAt(double wallSeconds);

// clockVectorAt for a run of moments, as a stream's frames give them: the
// local time of the last whole second is kept, so that the moments within
// one second cost no time-zone lookup. One thread at a time.
class LocalClock {
public:
    ClockVector at(double wallSeconds)
    {
        // Inline for a moment of the same second as the last, the usual case.
        const double sinceSecond = wallSeconds - second_;
        if (!(sinceSecond >= 0.0 && sinceSecond < 1.0)) return atNewSecond(wallSeconds);
        ClockVector vector = secondStart_;
        vector[5] += sinceSecond;
        return vector;
    }

private:
    ClockVector atNewSecond(double wallSeconds);

    double second_ = std::numeric_limits<double>::quiet_NaN(); // none yet
    ClockVector secondStart_{};
};

} // namespace imaqhost
