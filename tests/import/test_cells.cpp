// From positions to cells: the step rate, resampling within the error bound, jumps
// and gaps, the grid with and without geometry, late entries, absurd extents.
#include <gtest/gtest.h>

#include <cmath>

#include "importsupport.h"
#include "wktarea.h"

namespace orlex::import {
namespace {

using test::Entries;
using test::LoadText;
using test::LogText;

TTrajectorySet OnePerson(std::vector<TSample> samples, double fps = 10, int64_t id = 7) {
    TTrajectorySet set;
    set.Source = "walk.txt";
    set.Fps = fps;
    set.Persons.push_back({id, std::move(samples)});
    return set;
}

bool Has(const std::vector<std::string>& warnings, const std::string& part) {
    for (const std::string& w : warnings)
        if (w.find(part) != std::string::npos) return true;
    return false;
}

// The true position of a person at time t (linear between the samples).
void TrueAt(const std::vector<TSample>& s, double fps, double t, double& x, double& y) {
    x = s.back().X, y = s.back().Y;
    for (std::size_t k = 0; k + 1 < s.size(); ++k) {
        const double t0 = s[k].Frame / fps, t1 = s[k + 1].Frame / fps;
        if (t <= t1) {
            const double u = std::clamp((t - t0) / (t1 - t0), 0.0, 1.0);
            x = s[k].X + u * (s[k + 1].X - s[k].X);
            y = s[k].Y + u * (s[k + 1].Y - s[k].Y);
            return;
        }
    }
}

TEST(Resampling, EveryStepWithinHalfACellDiagonalOfTheTruePosition) {
    // A winding walk at up to 1.5 m/s, 25 frames a second.
    std::vector<TSample> samples;
    for (int f = 0; f <= 250; ++f) {
        const double t = f / 25.0;
        samples.push_back({f, 1.2 * t + 0.3 * std::sin(t * 2), 2 + 0.8 * std::sin(t), 0});
    }
    const TTrajectorySet set = OnePerson(samples, 25);
    for (const double size : {0.25, 0.4, 0.5}) {
        SCOPED_TRACE(size);
        TCellOptions options;
        options.CellSize = size;
        const TConversion c = Convert(set, PlanOfTrajectories(set, options), options);
        EXPECT_TRUE(c.StepRateChosen);
        EXPECT_LE(c.StepRate, kMaxStepRate);
        EXPECT_LE(c.MaxError, c.ErrorBound + 1e-9);
        EXPECT_TRUE(c.Warnings.empty());

        const auto loaded = LoadText(LogText(c));
        const TLogFile1& p = *loaded.Project;
        ASSERT_EQ(p.PMax, 1);
        EXPECT_TRUE(p.Source.Known);
        const std::vector<TStep> steps = Entries(p, 0);
        EXPECT_EQ(static_cast<int>(steps.size()), 10 * c.StepRate);
        int column = p.Persons[0].StartX, row = p.Persons[0].StartY;
        static const int kColumn[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
        static const int kRow[9] = {0, -1, -1, 0, 1, 1, 1, 0, -1};
        for (std::size_t k = 0; k < steps.size(); ++k) {
            ASSERT_GE(steps[k].Direction, 0);
            ASSERT_LE(steps[k].Direction, 8);  // one cell at most
            column += kColumn[steps[k].Direction];
            row += kRow[steps[k].Direction];
            double x, y;
            TrueAt(samples, 25, static_cast<double>(k + 1) / c.StepRate, x, y);
            const double cx = p.Source.OriginX + (column + 0.5) * size;
            const double cy = p.Source.OriginY + (p.YMax - row - 0.5) * size;
            ASSERT_LE(std::hypot(x - cx, y - cy), c.ErrorBound + 1e-9) << "step " << k;
            // Without geometry every visited cell is floor.
            ASSERT_EQ(p.Decks[0].Cells[static_cast<std::size_t>(row) * p.XMax + column].Code, 0);
        }
    }
}

TEST(Resampling, StepRateFromTheFastestWalkerOrAsGiven) {
    // 1.2 m/s on cells of 0.4 m: 3 cells a second.
    const TTrajectorySet set = OnePerson({{0, 0, 0, 0}, {10, 1.2, 0, 0}, {20, 2.4, 0.5, 0}});
    TCellOptions options;
    TConversion chosen = Convert(set, PlanOfTrajectories(set, options), options);
    EXPECT_EQ(chosen.StepRate, 3);
    options.StepRate = 8;
    TConversion given = Convert(set, PlanOfTrajectories(set, options), options);
    EXPECT_EQ(given.StepRate, 8);
    EXPECT_FALSE(given.StepRateChosen);
    EXPECT_EQ(given.Persons[0].Steps, 16);
}

TEST(Resampling, JumpsAreSpreadAndWarnedGapsInterpolated) {
    // A 4 m jump within one frame, then 3 s without positions.
    const TTrajectorySet set =
        OnePerson({{0, 0.2, 0.2, 0}, {1, 0.3, 0.2, 0}, {2, 4.3, 0.2, 0}, {32, 4.3, 1.0, 0}});
    TCellOptions options;
    const TConversion c = Convert(set, PlanOfTrajectories(set, options), options);
    EXPECT_EQ(c.StepRate, 3);  // 1 m/s on 0.4 m cells; the jump does not count
    EXPECT_TRUE(Has(c.Warnings, "walk.txt: person 7 jumps")) << c.Warnings.size();
    EXPECT_TRUE(Has(c.Warnings, "person 7 has no position from 0.20 s to 3.20 s"));
    // It still arrives at its last cell.
    const auto loaded = LoadText(LogText(c));
    const TLogFile1& p = *loaded.Project;
    int column = p.Persons[0].StartX;
    for (const TStep& s : Entries(p, 0)) column += s.Direction >= 2 && s.Direction <= 4 ? 1 : 0;
    EXPECT_EQ(column, static_cast<int>(std::floor((4.3 - p.Source.OriginX) / 0.4)));
}

TEST(Resampling, ManyJumpsAndGapsAreCountedBeyondTheFirstFew) {
    // 30 persons, each with one jump and one long gap.
    TTrajectorySet set = OnePerson({});
    set.Persons.clear();
    for (int id = 1; id <= 30; ++id)
        set.Persons.push_back(
            {id, {{0, 0.2, 0.4 * id, 0}, {1, 4.2, 0.4 * id, 0}, {40, 4.4, 0.4 * id, 0}}});
    TCellOptions options;
    options.StepRate = 10;
    const TConversion c = Convert(set, PlanOfTrajectories(set, options), options);
    int jumps = 0, gaps = 0;
    for (const std::string& w : c.Warnings) {
        jumps +=
            w.find(" jumps ") != std::string::npos && w.find("not listed") == std::string::npos;
        gaps += w.find("has no position") != std::string::npos;
    }
    EXPECT_EQ(jumps, 20);
    EXPECT_EQ(gaps, 20);
    EXPECT_TRUE(Has(c.Warnings, "10 more jumps in walk.txt not listed"));
    EXPECT_TRUE(Has(c.Warnings, "10 more gaps longer than 2.00 s in walk.txt not listed"));
}

TEST(LateEntries, EntryStepWrittenAndReadBack) {
    TTrajectorySet set = OnePerson({{0, 0, 0, 0}, {10, 1, 0, 0}});
    set.Persons.push_back({9, {{15, 0.5, 1.0, 0}, {25, 1.5, 1.0, 0}}});
    TCellOptions options;
    options.StepRate = 4;
    const TConversion c = Convert(set, PlanOfTrajectories(set, options), options);
    EXPECT_EQ(c.Persons[0].EntryStep, 0);
    EXPECT_EQ(c.Persons[1].EntryStep, 6);  // 1.5 s
    const std::string text = LogText(c);
    EXPECT_NE(text.find("entry 1 6\n"), std::string::npos);
    const auto loaded = LoadText(text);
    EXPECT_TRUE(loaded.Recorder.Messages.empty());
    ASSERT_EQ(loaded.Project->EntrySteps.size(), 2u);
    EXPECT_EQ(loaded.Project->EntrySteps[1], 6);
    EXPECT_EQ(loaded.Project->Persons[1].Tag, 9);
    // Before it the track keeps the person at its first cell (not shown, not counted).
    const std::vector<TStep> steps = Entries(*loaded.Project, 1);
    ASSERT_GE(steps.size(), 6u);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(steps[static_cast<std::size_t>(k)].Direction, 0);
}

TEST(Grid, ObstaclesTakenOutAndDegeneratePolygonsIgnored) {
    // A flat polygon (repaired into a line) beside the room; a pillar given apart.
    const TWktArea area({"POLYGON((0 0,1 0,2 0,0 0))", "POLYGON((0 0,4 0,4 2,0 2,0 0))"},
                        "room.wkt", {"POLYGON((1.6 0.4,2.4 0.4,2.4 1.2,1.6 1.2,1.6 0.4))"});
    EXPECT_TRUE(area.Walkable(0.5, 0.5));
    EXPECT_FALSE(area.Walkable(2.0, 0.8));
    EXPECT_TRUE(area.Enclosed(2.0, 0.8));
    EXPECT_FALSE(area.Enclosed(5.0, 0.8));
    EXPECT_THROW(TWktArea({"POLYGON((0 0,4 0,4 2,0 2,0 0))"}, "room.wkt",
                          {"POLYGON((-1 -1,5 -1,5 3,-1 3,-1 -1))"}),
                 TImportError);  // nothing walkable left
}

TEST(Grid, WalkableAreaWithAHoleGivesFloorObstacleWallsAndVoid) {
    // A 4 m x 2 m room with a 0.8 m square pillar; cells of 0.4 m.
    const TWktArea area(
        {"POLYGON((0 0,4 0,4 2,0 2,0 0),(1.6 0.4,2.4 0.4,2.4 1.2,1.6 1.2,1.6 0.4))"}, "room.wkt");
    const TTrajectorySet set = OnePerson({{0, 0.5, 1.5, 0}, {10, 1.0, 1.5, 0}});
    TCellOptions options;
    const TCellPlan plan = PlanOfArea(set, area, options);
    const std::string& cells = plan.Decks[0].Cells;
    const auto count = [&](char letter) { return std::count(cells.begin(), cells.end(), letter); };
    EXPECT_EQ(count('0'), 10 * 5 - 4);          // the room less the pillar
    EXPECT_EQ(count('1'), 4 + 2 * 12 + 2 * 5);  // the pillar and the ring of walls
    const auto at = [&](double x, double y) {
        int c, r;
        EXPECT_TRUE(plan.CellOf(x, y, c, r));
        return cells[static_cast<std::size_t>(r) * plan.Columns + c];
    };
    EXPECT_EQ(at(2.0, 0.8), '1');
    EXPECT_EQ(at(0.2, 0.2), '0');
    EXPECT_EQ(at(-0.2, 1.0), '1');
}

TEST(Grid, WithoutGeometryOnlyVisitedCellsAreFloor) {
    const TTrajectorySet set = OnePerson({{0, 0.1, 0.1, 0}, {10, 1.9, 0.1, 0}, {20, 1.9, 1.9, 0}});
    TCellOptions options;
    const TConversion c = Convert(set, PlanOfTrajectories(set, options), options);
    EXPECT_EQ(c.Plan.Columns, 5);
    EXPECT_EQ(c.Plan.Rows, 5);
    const std::string& cells = c.Plan.Decks[0].Cells;
    EXPECT_EQ(std::count(cells.begin(), cells.end(), '0'), 9);  // along two sides
    EXPECT_EQ(std::count(cells.begin(), cells.end(), '.'), 16);
}

TEST(Grid, AbsurdExtentsAreRefusedNamingACellSize) {
    const TTrajectorySet set = OnePerson({{0, 0, 0, 0}, {1, 1e9, 1e9, 0}});
    TCellOptions options;
    try {
        PlanOfTrajectories(set, options);
        ADD_FAILURE() << "accepted";
    } catch (const TImportError& e) {
        const std::string text = e.what();
        EXPECT_NE(text.find("walk.txt: the positions span"), std::string::npos) << text;
        EXPECT_NE(text.find("use a cell size of at least"), std::string::npos) << text;
    }
    // Frame numbers far apart: refused before any step is made.
    const TTrajectorySet longSet = OnePerson({{0, 0, 0, 0}, {int64_t{1} << 60, 1, 0, 0}});
    EXPECT_THROW(Convert(longSet, PlanOfTrajectories(longSet, options), options), TImportError);
}

struct TWktCase {
    const char* Name;
    std::vector<std::string> Wkt;
    const char* Message;
};

TEST(Grid, BrokenGeometryIsRefused) {
    const TWktCase cases[] = {
        {"cut off", {"POLYGON((0 0, 1 0"}, "area.wkt: broken WKT"},
        {"not a polygon", {"LINESTRING(0 0, 1 1)"}, "not a polygon"},
        {"second of two", {"POLYGON((0 0,1 0,1 1,0 0))", "POLYGON(("}, "area.wkt, geometry 2"},
        {"empty", {"POLYGON EMPTY"}, "the walkable area is empty"},
        {"nothing", {}, "the geometry is empty"},
    };
    for (const TWktCase& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            TWktArea area(c.Wkt, "area.wkt");
            ADD_FAILURE() << "accepted";
        } catch (const TImportError& e) {
            EXPECT_NE(std::string(e.what()).find(c.Message), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace orlex::import
