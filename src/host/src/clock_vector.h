// Wall-clock times as the toolbox's clock vectors.
#pragma once

#include "imaqhost/acquisition.h"

namespace imaqhost {

// Seconds since the Unix epoch, now.
double wallSecondsNow();
// Local time of a moment given in seconds since the Unix epoch.
ClockVector clockVectorAt(double wallSeconds);

} // namespace imaqhost
