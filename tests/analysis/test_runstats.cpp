// The statistics over runs: median, ranking rule, the p95's confidence bound and the
// running p95.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "result.h"
#include "runstats.h"

namespace {

using orlex::Median;
using orlex::PercentileRank;
using orlex::RankPercentile;
using orlex::RelativeChange;
using orlex::RunningPercentile;
using orlex::UpperPercentileBound;

// 10, 20, ..., 10 n.
std::vector<double> Tens(std::size_t n) {
    std::vector<double> values;
    for (std::size_t i = 1; i <= n; ++i) values.push_back(10.0 * static_cast<double>(i));
    return values;
}

TEST(RunStatistics, MedianAndRankingRule) {
    struct {
        std::size_t N;
        double Median;
        std::size_t P95Rank;
    } const rows[] = {
        {1, 10, 1},    // a single run is its own median and p95
        {2, 15, 2},    // the mean of the two middle values, not the upper one
        {3, 20, 3},    // the ranking rule takes the largest of three
        {10, 55, 10},  // ceil(9.5) + 1 = 11, held to N
        {50, 255, 49}, {51, 260, 50},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.N);
        const std::vector<double> values = Tens(row.N);
        EXPECT_EQ(Median(values), row.Median);
        EXPECT_EQ(PercentileRank(row.N, 95), row.P95Rank);
        EXPECT_EQ(RankPercentile(values, 95), values[row.P95Rank - 1]);
    }
    EXPECT_FALSE(Median({}).has_value());
    EXPECT_EQ(PercentileRank(7, 100), 7u);
}

// P(Binomial(n, 0.95) < r), summed directly in long double (n up to a few hundred).
long double BinomialBelow(std::size_t n, std::size_t r) {
    long double sum = 0;
    long double choose = 1;  // C(n, k)
    for (std::size_t k = 0; k < r; ++k) {
        sum += choose * std::pow(0.95L, static_cast<long double>(k)) *
               std::pow(0.05L, static_cast<long double>(n - k));
        choose = choose * static_cast<long double>(n - k) / static_cast<long double>(k + 1);
    }
    return sum;
}

TEST(RunStatistics, UpperBoundOfThe95thPercentileAgainstBruteForce) {
    struct {
        std::size_t N;
        std::size_t Rank;
        bool Reached;
    } const rows[] = {
        {50, 50, false},  // no order statistic reaches 95 %: the largest gives 92.3 %
        {59, 59, true},   // the first count at which the largest run does
        {100, 99, true},
        {500, 484, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.N);
        const auto bound = UpperPercentileBound(row.N);
        EXPECT_EQ(bound.Rank, row.Rank);
        EXPECT_EQ(bound.Reached, row.Reached);
        // The brute force: the smallest rank that reaches 95 %, and its confidence.
        std::size_t rank = 1;
        while (rank < row.N && BinomialBelow(row.N, rank) < 0.95L) ++rank;
        EXPECT_EQ(bound.Rank, rank);
        EXPECT_NEAR(bound.Confidence, static_cast<double>(BinomialBelow(row.N, rank)), 1e-12);
        if (row.Reached && rank > 1) {
            EXPECT_LT(BinomialBelow(row.N, rank - 1), 0.95L);
        }
    }
    EXPECT_NEAR(UpperPercentileBound(50).Confidence, 1 - std::pow(0.95, 50), 1e-12);
    EXPECT_NEAR(UpperPercentileBound(50).Confidence, 0.923, 0.0005);
    EXPECT_EQ(UpperPercentileBound(0).Rank, 0u);
}

TEST(RunStatistics, UpperBoundStaysFiniteForManyRuns) {
    // 0.95^100000 underflows a double; the bound lies about 1.645 standard deviations
    // above the mean rank 95000 (sd 68.9).
    const auto bound = UpperPercentileBound(100000);
    EXPECT_TRUE(bound.Reached);
    EXPECT_GE(bound.Rank, 95100u);
    EXPECT_LE(bound.Rank, 95125u);
    EXPECT_GE(bound.Confidence, 0.95);
    EXPECT_LT(bound.Confidence, 0.952);
}

TEST(RunStatistics, RunningP95AndItsChange) {
    // Up to 20 runs the ranking rule takes the largest, so the running p95 is the
    // running maximum.
    const std::vector<double> values = {5, 3, 8, 1, 9, 2, 7, 4, 6, 10, 0.5, 11};
    const std::vector<double> expected = {5, 5, 8, 8, 9, 9, 9, 9, 9, 10, 10, 11};
    const std::vector<double> running = RunningPercentile(values);
    EXPECT_EQ(running, expected);
    for (std::size_t i = 0; i < 10; ++i) EXPECT_FALSE(RelativeChange(running, i)) << i;
    EXPECT_DOUBLE_EQ(*RelativeChange(running, 10), (10.0 - 5.0) / 10.0);
    EXPECT_DOUBLE_EQ(*RelativeChange(running, 11), (11.0 - 5.0) / 11.0);
    EXPECT_FALSE(RelativeChange(running, 12));
    EXPECT_FALSE(RelativeChange(std::vector<double>(11, 0.0), 10));  // no division by 0
}

TEST(RunStatistics, RunningP95MatchesTheRuleOnEveryPrefix) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> quarter(1200, 1600);
    std::vector<double> values;
    for (int i = 0; i < 400; ++i) values.push_back(quarter(random) / 4.0);  // with ties
    const std::vector<double> running = RunningPercentile(values);
    ASSERT_EQ(running.size(), values.size());
    for (std::size_t n = 1; n <= values.size(); ++n) {
        std::vector<double> prefix(values.begin(), values.begin() + static_cast<long>(n));
        std::sort(prefix.begin(), prefix.end());
        ASSERT_EQ(running[n - 1], *RankPercentile(prefix, 95)) << n;
    }
}

}  // namespace
