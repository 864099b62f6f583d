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

}  // namespace orlex
