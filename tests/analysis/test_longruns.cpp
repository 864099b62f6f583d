// Long runs and large grids: the curves handed out stay within kMaxCurvePoints points
// however long the run, and the density maps take memory only where persons come.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "analysis.h"
#include "jsonwriter.h"
#include "projects.h"
#include "rooms.h"

namespace {

using orlex::kMaxCurvePoints;
using orlex::TAnalysisResult;
using orlex::TCellMap;
using orlex::TStairPoint;
using orlex::TStepCurve;
using orlex::test::LoadText;
using orlex::test::RoomText;

std::unique_ptr<TAnalysisResult> Analyse(const std::string& text) {
    const auto loaded = LoadText(text);
    return orlex::TEvacuationAnalysis(*loaded.Project, {}).Run();
}

// One person steps once and then stands: saved at the given step counter, 1 step a
// second.
std::string OneStayText(int64_t savedAt) {
    return RoomText(4, 3, 1, 1, {{1, 1, 0, "6P" + std::to_string(savedAt - 2) + "x0"}});
}

TEST(AnalysisLongRuns, CurvesStayWithinTheLimit) {
    struct {
        int64_t Seconds;  // until the person is saved
        int64_t Width;    // of a bucket, in seconds
        std::size_t Points;
    } const rows[] = {
        {10, 1, 11},          {99'998, 1, 99'999},
        {99'999, 1, 100'000}, {100'000, 2, 50'001},
        {100'001, 2, 50'002}, {int64_t{1} << 31, 21'476, 99'996},  // a track of 2^31 - 1 steps
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Seconds);
        const auto r = Analyse(OneStayText(row.Seconds));
        ASSERT_TRUE(r);
        ASSERT_EQ(r->LastStep, row.Seconds - 1);
        const orlex::TCurveTable t = r->Curves();
        EXPECT_EQ(t.StepSeconds, row.Width);
        ASSERT_EQ(t.Saved.size(), row.Points);
        ASSERT_LE(t.Saved.size(), kMaxCurvePoints);
        ASSERT_EQ(t.Seconds.size(), row.Points);
        ASSERT_EQ(t.Occupancy.size(), 1u);
        ASSERT_EQ(t.Occupancy[0].size(), row.Points);
        // A narrower bucket would not fit.
        if (row.Width > 1) {
            EXPECT_GT((row.Seconds + row.Width - 2) / (row.Width - 1) + 1,
                      static_cast<int64_t>(kMaxCurvePoints));
        }
        // The first point is the start, the last the first one after everybody is saved.
        EXPECT_EQ(t.Seconds.front(), 0);
        EXPECT_EQ(t.Saved.front(), 0);
        EXPECT_EQ(t.Occupancy[0].front(), 1);
        EXPECT_EQ(t.Saved.back(), 1);
        EXPECT_EQ(t.Occupancy[0].back(), 0);
        EXPECT_GE(t.Seconds.back(), row.Seconds);
        EXPECT_LT(t.Seconds[t.Seconds.size() - 2], row.Seconds);
        EXPECT_EQ(t.Saved[t.Saved.size() - 2], 0);
        EXPECT_EQ(t.Seconds[1], row.Width);
    }
}

TEST(AnalysisLongRuns, JsonSaysHowTheCurvesWereBucketed) {
    const auto shortRun = Analyse(OneStayText(10));
    const auto longRun = Analyse(OneStayText(int64_t{1} << 31));
    ASSERT_TRUE(shortRun && longRun);
    const std::string a = orlex::AnalysisJson(*shortRun);
    EXPECT_NE(a.find("\"curveStepSeconds\":1,\"curveRule\""), std::string::npos) << a;
    EXPECT_NE(a.find("\"curveRule\":\"value at the start of each bucket\""), std::string::npos);
    EXPECT_NE(a.find("\"savedPerSecond\":[0,0,0,0,0,0,0,0,0,0,1]"), std::string::npos) << a;
    const std::string b = orlex::AnalysisJson(*longRun);
    EXPECT_NE(b.find("\"curveStepSeconds\":21476,"), std::string::npos);
    // Two curves of 99,996 small numbers.
    EXPECT_LT(b.size(), 1'000'000u);
}

// A curve drawn as a staircase: few changes exactly, many thinned to buckets that
// keep their lowest and highest values.
TEST(AnalysisLongRuns, StairsKeepEveryPeakAndDip) {
    TStepCurve few;
    few.Steps = {0, 3, 7};
    few.Values = {2, 5, 1};
    const std::vector<TStairPoint> exact{{0, 2}, {3, 2}, {3, 5}, {7, 5}, {7, 1}, {20, 1}};
    EXPECT_EQ(few.Stairs(20), exact);
    EXPECT_EQ(few.Stairs(5), (std::vector<TStairPoint>(exact.begin(), exact.end() - 1)));

    // A million changes between 3 and 5, one peak of 100 and one dip to 0.
    TStepCurve many;
    many.Steps.clear();
    many.Values.clear();
    for (int64_t i = 0; i < 1'000'000; ++i) {
        many.Steps.push_back(i * 3);
        many.Values.push_back(i == 777'777 ? 100 : i == 123'457 ? 0 : 3 + static_cast<int>(i % 3));
    }
    struct {
        std::size_t MaxPoints;
    } const rows[] = {{kMaxCurvePoints}, {1000}, {40}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.MaxPoints);
        const std::vector<TStairPoint> points = many.Stairs(4'000'000, row.MaxPoints);
        ASSERT_LE(points.size(), row.MaxPoints + 1);
        EXPECT_EQ(points.front(), (TStairPoint{0, 3}));
        EXPECT_EQ(points.back(), (TStairPoint{4'000'000, many.Values.back()}));
        EXPECT_TRUE(std::is_sorted(points.begin(), points.end(),
                                   [](const auto& a, const auto& b) { return a.Step < b.Step; }));
        const auto [low, high] = std::minmax_element(
            points.begin(), points.end(),
            [](const TStairPoint& a, const TStairPoint& b) { return a.Value < b.Value; });
        EXPECT_EQ(low->Value, 0);
        EXPECT_EQ(high->Value, 100);
        // The peak is drawn at the start of its bucket, at most a bucket early.
        const int64_t width = 4'000'000 / static_cast<int64_t>(row.MaxPoints / 4) + 1;
        EXPECT_LE(777'777 * 3 - high->Step, width);
        EXPECT_GE(777'777 * 3 - high->Step, 0);
    }
}

// A deck of 8000 x 8000 cells and one person: the maps hold the few tiles that its
// window reaches, and read like full maps.
TEST(AnalysisLongRuns, HugeDeckOnePerson) {
    std::string text = RoomText(8000, 1, 1, 1, {{4000, 4000, 0, "777777"}});
    // RoomText's one row stands for every row of the deck: the others are given too.
    std::string rows;
    for (int r = 1; r < 8000; ++r) rows += "P8000x0\n";
    text.replace(text.find("</deck>"), 0, rows);
    text.replace(text.find("ymax 1\n"), 7, "ymax 8000\n");
    const auto r = Analyse(text);
    ASSERT_TRUE(r);
    ASSERT_TRUE(r->HasDensity);
    EXPECT_FALSE(r->DensityTooLarge);
    const orlex::TDeckMaps& maps = r->Maps.at(0);
    // The person walks west from column 4000 to 3994 on row 4000: its 5 x 5 window
    // spans columns 3992..4002 and rows 3998..4002, in tiles of 64 x 16 cells.
    EXPECT_LE(maps.PeakCount.TilesMade(), 4u);
    EXPECT_LE(maps.StepsAbove.TilesMade(), 4u);
    EXPECT_EQ(maps.PeakCount.size(), 64'000'000u);
    EXPECT_EQ(maps.PeakCount.Max(), 1u);
    EXPECT_EQ(maps.PeakCount.At(4000, 3992), 1u);
    EXPECT_EQ(maps.PeakCount.At(4000, 3991), 0u);
    EXPECT_EQ(maps.PeakCount[std::size_t{4002} * 8000 + 4002], 1u);
    EXPECT_EQ(maps.PeakCount[std::size_t{4003} * 8000 + 4002], 0u);
    EXPECT_EQ(maps.UsageSteps.Sum(), 7u);              // present at step counters 0 .. 6
    EXPECT_DOUBLE_EQ(r->Usage({0, 4000, 3994}), 1.0);  // arrived at 6, saved at 7
    EXPECT_TRUE(r->Congested.empty());
    ASSERT_TRUE(r->Peak);
    EXPECT_EQ(r->Peak->Count, 1);
    EXPECT_EQ(r->Peak->Cell, (orlex::TCellPlace{0, 3998, 3998}));
}

// Absent tiles read 0 and equal tiles of zeros; cells outside the grid read 0.
TEST(AnalysisLongRuns, CellMapTiles) {
    TCellMap a(70, 40);
    TCellMap b(70, 40);
    EXPECT_EQ(a.TilesMade(), 0u);
    b.Cell(33, 65) = 0;  // makes a tile of zeros
    EXPECT_EQ(b.TilesMade(), 1u);
    EXPECT_EQ(a, b);
    a.Cell(31, 31) = 7;
    a.Cell(32, 32) = 9;
    a.Cell(39, 69) = 4;
    EXPECT_NE(a, b);
    EXPECT_EQ(a.TilesMade(), 3u);
    struct {
        int Row, Column;
        uint32_t Value;
    } const cells[] = {{31, 31, 7}, {32, 32, 9}, {39, 69, 4}, {31, 32, 0},
                       {40, 0, 0},  {0, 70, 0},  {-1, 0, 0},  {0, -1, 0}};
    for (const auto& c : cells) {
        EXPECT_EQ(a.At(c.Row, c.Column), c.Value) << c.Row << "," << c.Column;
    }
    EXPECT_EQ(a[std::size_t{32} * 70 + 32], 9u);
    EXPECT_EQ(a.Max(), 9u);
    EXPECT_EQ(a.Sum(), 20u);
    std::vector<std::vector<int>> set;
    a.ForEachSet([&](int r, int c, uint32_t v) { set.push_back({r, c, static_cast<int>(v)}); });
    std::sort(set.begin(), set.end());
    EXPECT_EQ(set, (std::vector<std::vector<int>>{{31, 31, 7}, {32, 32, 9}, {39, 69, 4}}));
}

}  // namespace
