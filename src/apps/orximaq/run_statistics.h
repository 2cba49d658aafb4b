// Figures of a run drawn from its time stamps: the rate over the last second
// for the progress line, and the mean and spread of the rate and the longest
// gap for the report.
#pragma once

#include <optional>
#include <vector>

namespace orximaq {

struct RunStatistics {
    double rateMean = 0.0;   // frames per second: one over the mean interval
    double rateSpread = 0.0; // standard deviation of the per-interval rates (1 / interval)
    double longestGap = 0.0; // seconds between the two stamps furthest apart
};

// Frames per second within the last second before the newest stamp; empty
// with fewer than two stamps in it.
std::optional<double> recentRate(const std::vector<double>& timestamps);

// Empty with fewer than two stamps.
std::optional<RunStatistics> runStatistics(const std::vector<double>& timestamps);

} // namespace orximaq
