#include "run_statistics.h"

#include <algorithm>
#include <cmath>

namespace orximaq {

std::optional<double> recentRate(const std::vector<double>& timestamps)
{
    if (timestamps.size() < 2)
        return std::nullopt;
    const double newest = timestamps.back();
    const auto first = std::lower_bound(timestamps.begin(), timestamps.end(), newest - 1.0);
    const auto intervals = std::distance(first, timestamps.end()) - 1;
    if (intervals < 1 || newest <= *first)
        return std::nullopt;
    return static_cast<double>(intervals) / (newest - *first);
}

std::optional<RunStatistics> runStatistics(const std::vector<double>& timestamps)
{
    if (timestamps.size() < 2)
        return std::nullopt;
    RunStatistics result;
    const auto intervals = static_cast<double>(timestamps.size() - 1);
    const double span = timestamps.back() - timestamps.front();
    result.rateMean = span > 0.0 ? intervals / span : 0.0;
    // Intervals of zero (equal stamps) have no rate and are left out of the spread.
    double sum = 0.0;
    double squares = 0.0;
    double counted = 0.0;
    for (std::size_t i = 1; i < timestamps.size(); ++i) {
        const double gap = timestamps[i] - timestamps[i - 1];
        result.longestGap = std::max(result.longestGap, gap);
        if (gap <= 0.0)
            continue;
        const double rate = 1.0 / gap;
        sum += rate;
        squares += rate * rate;
        counted += 1.0;
    }
    if (counted > 1.0) {
        const double mean = sum / counted;
        result.rateSpread = std::sqrt(std::max(0.0, (squares - counted * mean * mean) / (counted - 1.0)));
    }
    return result;
}

} // namespace orximaq
