// Round scale values: the steps, the ticks between two values, the round end of a
// scale and the tick labels.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "ticks.h"

namespace {

TEST(Ticks, RoundSteps) {
    const struct {
        double Span;
        int MaxTicks;
        double Step;
    } rows[] = {
        {10, 5, 2},     {10, 10, 1},  {374, 5, 100},   {374, 8, 50}, {7, 4, 2},
        {0.3, 3, 0.1},  {1, 4, 0.25}, {0.05, 5, 0.01}, {6.25, 5, 2}, {1e6, 4, 250000},
        {12.5, 5, 2.5}, {70, 5, 20},  {3000, 6, 500},  {1, 1, 1},    {1.0001, 1, 2},
        {0, 5, 1},      {-3, 5, 1},   {1, 0, 1},
    };
    for (const auto& row : rows) {
        EXPECT_DOUBLE_EQ(orlex::RoundStep(row.Span, row.MaxTicks), row.Step)
            << row.Span << " in " << row.MaxTicks;
    }
    EXPECT_EQ(orlex::RoundStep(std::numeric_limits<double>::infinity(), 5), 1);
    EXPECT_EQ(orlex::RoundStep(std::nan(""), 5), 1);
}

TEST(Ticks, TicksBetweenTwoValues) {
    const struct {
        double Lo, Hi;
        int MaxTicks;
        std::vector<double> Ticks;
    } rows[] = {
        {0, 374, 5, {0, 100, 200, 300}},
        {0, 10, 5, {0, 2, 4, 6, 8, 10}},
        {-1, 1, 4, {-1, -0.5, 0, 0.5, 1}},
        {0.31, 2.17, 4, {0.5, 1, 1.5, 2}},
        {5, 5, 5, {5}},
        {5, 4, 5, {5}},
    };
    for (const auto& row : rows) {
        const std::vector<double> ticks = orlex::RoundTicks(row.Lo, row.Hi, row.MaxTicks);
        ASSERT_EQ(ticks.size(), row.Ticks.size()) << row.Lo << ".." << row.Hi;
        for (std::size_t i = 0; i < ticks.size(); ++i)
            EXPECT_NEAR(ticks[i], row.Ticks[i], 1e-12) << row.Lo << ".." << row.Hi << " #" << i;
    }
    // No "-0" among the ticks, and 0.1 * 3 is not left out by rounding.
    EXPECT_FALSE(std::signbit(orlex::RoundTicks(-1, 1, 4)[2]));
    EXPECT_EQ(orlex::RoundTicks(0, 0.3, 3).size(), 4u);
}

TEST(Ticks, RoundEndsAndLabels) {
    const std::pair<double, double> ends[] = {{374, 400}, {70, 80},    {4.94, 5}, {0.9, 1},
                                              {100, 100}, {19.75, 20}, {0, 0},    {-2, -2}};
    for (const auto& [value, end] : ends) EXPECT_DOUBLE_EQ(orlex::RoundUp(value, 5), end) << value;

    const struct {
        double Value, Step;
        std::string Text;
    } labels[] = {
        {0, 100, "0"},        {300, 100, "300"}, {2.5, 2.5, "2.5"},    {0.25, 0.25, "0.25"},
        {5, 2.5, "5.0"},      {0.3, 0.1, "0.3"}, {-1e-17, 0.1, "0.0"}, {250000, 250000, "250000"},
        {0.02, 0.01, "0.02"},
    };
    for (const auto& l : labels) EXPECT_EQ(orlex::TickLabel(l.Value, l.Step), l.Text) << l.Value;
}

}  // namespace

namespace {

// A time axis keeps seconds for ordinary runs and changes to hours, then days, for long
// ones, its title naming the unit.
TEST(Ticks, TimeAxisUnits) {
    const struct {
        double Seconds;
        double Unit;
        std::string Title;
    } rows[] = {
        {0, 1, "Time (s)"},
        {375.5, 1, "Time (s)"},
        {-375.5, 1, "Time (s)"},
        {36000, 1, "Time (s)"},
        {36001, 3600, "Time (h)"},
        {8640000, 3600, "Time (h)"},
        {8640001, 86400, "Time (d)"},
        {2147483648.0, 86400, "Time (d)"},
        {std::nan(""), 1, "Time (s)"},
    };
    for (const auto& row : rows) {
        const orlex::TTimeUnit unit = orlex::TimeAxisUnit(row.Seconds);
        EXPECT_EQ(unit.Seconds, row.Unit) << row.Seconds;
        EXPECT_EQ(orlex::TimeAxisTitle(unit), row.Title) << row.Seconds;
    }
    // A run of 2^31 s reads in days with labels of at most five digits.
    const orlex::TTimeUnit days = orlex::TimeAxisUnit(2147483648.0);
    const std::vector<double> ticks = orlex::RoundTicks(0, 2147483648.0 / days.Seconds, 6);
    const double step = orlex::RoundStep(2147483648.0 / days.Seconds, 6);
    for (const double t : ticks) EXPECT_LE(orlex::TickLabel(t, step).size(), 5u) << t;
}

}  // namespace
