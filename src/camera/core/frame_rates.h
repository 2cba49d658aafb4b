// Frame rates of a format, and their 32-bit form: the frame interval in units
// of 100 nanoseconds (30 frames per second is 333333).
#pragma once

#include "vexcam/rig.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexcam {

// Upper bound of a window-scaled list: top, top/2, top/4, ...
inline constexpr std::size_t kMaxScaledRates = 12;

std::vector<double> frameRatesFor(const FrameRateSpec& spec, const std::string& formatText, Size size);

std::int32_t frameRateValue(double fps);
std::vector<std::int32_t> frameRateValues(const std::vector<double>& rates);

// The listed rate within 0.5 % of `fps` that is closest to it.
std::optional<double> matchingRate(const std::vector<double>& rates, double fps);
double highestRate(const std::vector<double>& rates);

} // namespace vexcam
