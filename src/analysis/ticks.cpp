#include "ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orlex {

double RoundStep(double span, int maxTicks) {
    if (!(span > 0) || !std::isfinite(span)) return 1;
    const double raw = span / std::max(maxTicks, 1);
    double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (;;) {
        for (const double m : {1.0, 2.0, 2.5, 5.0}) {
            // A little slack so that 0.3 / 3 takes 0.1 and not 0.2.
            if (m * power >= raw * (1 - 1e-9)) return m * power;
        }
        power *= 10;
    }
}

std::vector<double> RoundTicks(double lo, double hi, int maxTicks) {
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi)) return {lo};
    const double step = RoundStep(hi - lo, maxTicks);
    std::vector<double> ticks;
    const double first = std::ceil(lo / step - 1e-9);
    for (double k = first;; ++k) {
        const double value = k * step;
        if (value > hi + step * 1e-9) break;
        ticks.push_back(std::abs(value) < step * 1e-9 ? 0.0 : value);
    }
    return ticks;
}

double RoundUp(double value, int maxTicks) {
    if (!(value > 0) || !std::isfinite(value)) return value;
    const double step = RoundStep(value, maxTicks);
    return std::ceil(value / step - 1e-9) * step;
}

std::string TickLabel(double value, double step) {
    int decimals = 0;
    if (step > 0 && std::isfinite(step)) {
        while (decimals < 9 && std::abs(step * std::pow(10.0, decimals) -
                                        std::round(step * std::pow(10.0, decimals))) >
                                   1e-6 * step * std::pow(10.0, decimals))
            ++decimals;
    }
    if (std::abs(value) < (step > 0 ? step : 1) * 1e-9) value = 0;
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

TTimeUnit TimeAxisUnit(double seconds) {
    constexpr double kHour = 3600;
    constexpr double kDay = 24 * kHour;
    const double reach = std::abs(seconds);
    if (!(reach > 10 * kHour)) return {1, "s"};  // also NaN
    if (reach <= 100 * kDay) return {kHour, "h"};
    return {kDay, "d"};
}

std::string TimeAxisTitle(const TTimeUnit& unit) {
    return std::string("Time (") + unit.Symbol + ")";
}

}  // namespace orlex
