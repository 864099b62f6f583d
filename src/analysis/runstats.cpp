#include "runstats.h"

#include <cmath>
#include <functional>
#include <queue>

#include "result.h"

namespace orlex {

std::optional<double> Median(const std::vector<double>& sorted) {
    const std::size_t n = sorted.size();
    if (n == 0) return std::nullopt;
    if (n % 2 == 1) return sorted[n / 2];
    const double low = sorted[n / 2 - 1];
    const double high = sorted[n / 2];
    return low + (high - low) / 2;
}

TPercentileBound UpperPercentileBound(std::size_t n, double percent, double confidence) {
    TPercentileBound bound;
    if (n == 0) return bound;
    // P(B >= r) summed from k = n downwards until it exceeds 1 - confidence; the terms
    // come from their logarithms, so that p^n (0.95^100000 = 1e-2228) cannot underflow
    // the sum while it still matters.
    const long double p = static_cast<long double>(percent) / 100.0L;
    const long double logP = std::log(p);
    const long double logQ = std::log1p(-p);
    const long double N = static_cast<long double>(n);
    const long double logNFactorial = std::lgamma(N + 1.0L);
    const long double alpha = 1.0L - static_cast<long double>(confidence);
    long double tail = 0;  // P(B >= k + 1) before term k is added
    for (std::size_t k = n;; --k) {
        const long double K = static_cast<long double>(k);
        const long double logTerm = logNFactorial - std::lgamma(K + 1.0L) -
                                    std::lgamma(N - K + 1.0L) + K * logP + (N - K) * logQ;
        const long double withK = tail + std::exp(logTerm);  // P(B >= k)
        // x_(k + 1) bounds the percentile with confidence 1 - P(B >= k + 1).
        if (withK > alpha || k == 0) {
            bound.Rank = k == n ? n : k + 1;
            bound.Confidence = static_cast<double>(1.0L - (k == n ? withK : tail));
            bound.Reached = k < n;
            return bound;
        }
        tail = withK;
    }
}

std::vector<double> RunningPercentile(const std::vector<double>& values, double percent) {
    // The m smallest values in a max-heap, the rest in a min-heap; the ranking rule's
    // m never falls as values come in, so the percentile is always the top of the first.
    std::priority_queue<double> low;
    std::priority_queue<double, std::vector<double>, std::greater<>> high;
    std::vector<double> series;
    series.reserve(values.size());
    for (const double value : values) {
        if (low.empty() || value <= low.top()) {
            low.push(value);
        } else {
            high.push(value);
        }
        const std::size_t m = PercentileRank(low.size() + high.size(), percent);
        while (low.size() > m) {
            high.push(low.top());
            low.pop();
        }
        while (low.size() < m) {
            low.push(high.top());
            high.pop();
        }
        series.push_back(low.top());
    }
    return series;
}

std::optional<double> RelativeChange(const std::vector<double>& series, std::size_t i,
                                     std::size_t over) {
    if (i >= series.size() || i < over || series[i] == 0) return std::nullopt;
    return (series[i] - series[i - over]) / series[i];
}

}  // namespace orlex
