#include "clock_vector.h"

#include <cmath>
#include <ctime>

namespace imaqhost {

ClockVector clockVectorAt(double wallSeconds)
{
    const double whole = std::floor(wallSeconds);
    const auto seconds = static_cast<std::time_t>(whole);
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    return {double(local.tm_year + 1900), double(local.tm_mon + 1), double(local.tm_mday),
            double(local.tm_hour),        double(local.tm_min),
            double(local.tm_sec) + (wallSeconds - whole)};
}

ClockVector LocalClock::atNewSecond(double wallSeconds)
{
    second_ = std::floor(wallSeconds);
    secondStart_ = clockVectorAt(second_);
    ClockVector vector = secondStart_;
    vector[5] += wallSeconds - second_;
    return vector;
}

} // namespace imaqhost
