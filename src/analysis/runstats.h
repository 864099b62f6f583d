// Statistics over many runs of one case: the median, the 95th percentile by the
// ranking rule, its distribution-free upper confidence bound and its course as the
// runs come in.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace orlex {

// The median of sorted values: the middle one, or the mean of the two middle ones for
// an even count. None for no values.
std::optional<double> Median(const std::vector<double>& sorted);

// A one-sided upper confidence bound of a population percentile that needs no
// assumption about the distribution: the order statistic x_Rank (1-based, ascending)
// of N values.
struct TPercentileBound {
    std::size_t Rank = 0;
    // P(Binomial(N, percent/100) < Rank): the confidence that x_Rank lies at or above
    // the population's percentile.
    double Confidence = 0;
    // False when even the largest value does not reach the confidence asked for;
    // Rank is then N and Confidence what the largest value gives (1 - p^N).
    bool Reached = false;
};

// The smallest r with P(Binomial(n, percent/100) < r) >= confidence, found by summing
// the upper tail in logarithms (stable for n up to millions). For percent 95 and
// confidence 0.95 it exists from n = 59. Rank 0 for n = 0.
TPercentileBound UpperPercentileBound(std::size_t n, double percent = 95.0,
                                      double confidence = 0.95);

// The pX by the ranking rule after each of the values in the order given: entry i
// holds the percentile of values[0..i]. O(n log n).
std::vector<double> RunningPercentile(const std::vector<double>& values, double percent = 95.0);

// The relative change of a running series over the last `over` entries:
// (s[i] - s[i - over]) / s[i]; none for i < over or s[i] = 0.
std::optional<double> RelativeChange(const std::vector<double>& series, std::size_t i,
                                     std::size_t over = 10);

}  // namespace orlex
