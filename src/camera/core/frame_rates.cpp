#include "frame_rates.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vexcam {
namespace {

constexpr double kIntervalUnitsPerSecond = 1e7;
constexpr double kRateTolerance = 0.005;

std::vector<double> scaledRates(const FrameRateSpec& spec, Size size)
{
    const double pixels = double(size.cx) * double(size.cy);
    if (pixels <= 0.0) return {};
    double top = spec.pixelRate / pixels;
    if (spec.maxFps > 0.0) top = std::min(top, spec.maxFps);
    top = std::floor(top * 100.0) / 100.0; // cameras list their rates in hundredths
    std::vector<double> rates;
    for (double rate = top; rate >= spec.minFps && rate > 0.0 && rates.size() < kMaxScaledRates; rate /= 2.0)
        rates.push_back(rate);
    return rates;
}

} // namespace

std::vector<double> frameRatesFor(const FrameRateSpec& spec, const std::string& formatText, Size size)
{
    if (const auto found = spec.byFormat.find(formatText); found != spec.byFormat.end()) return found->second;
    if (spec.pixelRate > 0.0) return scaledRates(spec, size);
    return spec.defaults;
}

std::int32_t frameRateValue(double fps)
{
    if (!(fps > 0.0)) return 0;
    const double interval = std::round(kIntervalUnitsPerSecond / fps);
    return static_cast<std::int32_t>(std::min<double>(interval, std::numeric_limits<std::int32_t>::max()));
}

std::vector<std::int32_t> frameRateValues(const std::vector<double>& rates)
{
    std::vector<std::int32_t> values;
    values.reserve(rates.size());
    for (double rate : rates) values.push_back(frameRateValue(rate));
    return values;
}

std::optional<double> matchingRate(const std::vector<double>& rates, double fps)
{
    std::optional<double> best;
    for (double rate : rates) {
        const double distance = std::abs(rate - fps);
        if (distance > kRateTolerance * std::abs(rate)) continue;
        if (!best || distance < std::abs(*best - fps)) best = rate;
    }
    return best;
}

double highestRate(const std::vector<double>& rates)
{
    double best = 0.0;
    for (double rate : rates) best = std::max(best, rate);
    return best;
}

} // namespace vexcam
