// Round scale values for axes, colour bars and scale bars: steps of 1, 2, 2.5 or
// 5 times a power of ten, and their labels.
#pragma once

#include <string>
#include <vector>

namespace orlex {

// The smallest round step (1, 2, 2.5 or 5 x 10^n) that cuts span into at most
// maxTicks intervals; 1 for a span that is not positive and finite.
double RoundStep(double span, int maxTicks);

// The multiples of RoundStep(hi - lo, maxTicks) from lo to hi, both included when
// they are multiples; lo alone when hi <= lo.
std::vector<double> RoundTicks(double lo, double hi, int maxTicks);

// The smallest multiple of RoundStep(value, maxTicks) at or above value: a round
// end for a scale that starts at 0. value itself when it is not positive.
double RoundUp(double value, int maxTicks);

// The text of a tick: as many decimals as the step needs ("0", "2.5", "0.25",
// "1000"), never "-0".
std::string TickLabel(double value, double step);

// The unit of a time axis that reaches seconds (the largest magnitude on it):
// seconds up to 10 hours, hours up to 100 days, days beyond, so that the tick labels
// of a long run keep to a few digits instead of nine or ten.
struct TTimeUnit {
    double Seconds = 1;  // seconds in one unit
    const char* Symbol = "s";
};
TTimeUnit TimeAxisUnit(double seconds);

// The title of a time axis in that unit: "Time (s)", "Time (h)", "Time (d)".
std::string TimeAxisTitle(const TTimeUnit& unit);

}  // namespace orlex
