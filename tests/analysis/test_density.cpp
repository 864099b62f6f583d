// The density maps, worked out by hand on small rooms, and the run's control:
// cancellation, progress and the persons' playback state.
#include <gtest/gtest.h>

#include <vector>

#include "analysis.h"
#include "jsonwriter.h"
#include "projects.h"
#include "rooms.h"

namespace {

using orlex::TAnalysisResult;
using orlex::TAnalysisSettings;
using orlex::TCellPlace;
using orlex::TEvacuationAnalysis;
using orlex::test::LoadText;
using orlex::test::RoomText;
using orlex::test::TRoomPerson;

std::unique_ptr<TAnalysisResult> Analyse(const std::string& text, TAnalysisSettings settings = {}) {
    const auto loaded = LoadText(text);
    TEvacuationAnalysis analysis(*loaded.Project, settings);
    return analysis.Run();
}

// 20 persons in the middle of a 10 x 10 room, 2 steps a second: 10 stand 9 steps,
// 10 stand 3 steps. Windows around them hold 20 persons at steps 0..3 and 10 at
// steps 4..9; the duration is 5 s.
std::string CrowdedRoom() {
    std::vector<TRoomPerson> persons;
    for (int i = 0; i < 10; ++i) persons.push_back({5, 5, 0, "P9x0"});
    for (int i = 0; i < 10; ++i) persons.push_back({5, 5, 0, "P3x0"});
    return RoomText(10, 10, 1, 2, persons);
}

TEST(AnalysisDensity, CrowdedRoomByHand) {
    struct {
        double CellSize;
        int Window;
        double Limit, Share;
        int Congested;
        double SecondsAbove, Peak;
    } const rows[] = {
        {0.4, 5, 4.0, 0.10, 25, 2.0, 5.0},            // 20 / 4 m² above 4, 10 / 4 m² not
        {0.4, 5, 4.0, 0.50, 0, 2.0, 5.0},             // 2 s is not above half of 5 s
        {0.4, 5, 4.0, 0.39, 25, 2.0, 5.0},            // 2 s > 1.95 s
        {0.5, 5, 3.2, 0.10, 0, 0.0, 3.2},             // exactly at the limit is not above it
        {0.5, 5, 3.1, 0.10, 25, 2.0, 3.2},            //
        {0.5, 5, 1.5, 0.10, 25, 5.0, 3.2},            // both crowds above: all 10 steps
        {0.5, 1, 4.0, 0.10, 1, 5.0, 80.0},            // the window is the cell alone
        {0.4, 15, 0.5, 0.10, 100, 2.0, 20.0 / 36.0},  // every window holds the crowd
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "s=" << row.CellSize << " w=" << row.Window
                                        << " limit=" << row.Limit << " share=" << row.Share);
        const auto r = Analyse(CrowdedRoom(), {row.CellSize, row.Window, row.Limit, row.Share});
        ASSERT_TRUE(r);
        EXPECT_EQ(r->Duration, 5.0);
        EXPECT_EQ(static_cast<int>(r->Congested.size()), row.Congested);
        EXPECT_EQ(r->CongestedPerDeck, std::vector<int>{row.Congested});
        EXPECT_DOUBLE_EQ(r->SecondsAbove({0, 5, 5}), row.SecondsAbove);
        EXPECT_DOUBLE_EQ(r->PeakDensity({0, 5, 5}), row.Peak);
        ASSERT_TRUE(r->Peak);
        EXPECT_DOUBLE_EQ(r->Peak->Value, row.Peak);
        EXPECT_EQ(r->Peak->Step, 0);
        // The first cell whose window holds the crowd.
        const int h = (row.Window - 1) / 2;
        EXPECT_EQ(r->Peak->Cell, (TCellPlace{0, std::max(0, 5 - h), std::max(0, 5 - h)}));
        // 10 persons for 10 steps and 10 for 4 steps on one cell: 140 person-steps.
        EXPECT_DOUBLE_EQ(r->Usage({0, 5, 5}), 70.0);
        EXPECT_DOUBLE_EQ(r->UsagePerDeck.at(0), 70.0);
    }
}

TEST(AnalysisDensity, CongestedCellsAreSortedWithTheirTime) {
    const auto r = Analyse(CrowdedRoom());
    ASSERT_TRUE(r);
    ASSERT_EQ(r->Congested.size(), 25u);
    EXPECT_EQ(r->Congested.front().Cell, (TCellPlace{0, 3, 3}));
    EXPECT_EQ(r->Congested[1].Cell, (TCellPlace{0, 3, 4}));
    EXPECT_EQ(r->Congested.back().Cell, (TCellPlace{0, 7, 7}));
    for (const auto& c : r->Congested) EXPECT_EQ(c.SecondsAbove, 2.0);
    EXPECT_FALSE(r->IsCongested({0, 2, 5}));
    EXPECT_TRUE(r->IsCongested({0, 7, 3}));
}

// A window reaching past the grid still divides by its whole area.
TEST(AnalysisDensity, WindowAtTheGridsEdge) {
    const auto r = Analyse(RoomText(10, 10, 1, 1, {{0, 0, 0, "P3x0"}, {9, 9, 0, "P3x0"}}));
    ASSERT_TRUE(r);
    struct {
        int Row, Column;
        double Peak;
    } const cells[] = {{0, 0, 0.25}, {2, 2, 0.25}, {0, 2, 0.25}, {2, 0, 0.25},
                       {3, 3, 0.0},  {0, 3, 0.0},  {9, 9, 0.25}, {7, 7, 0.25},
                       {6, 6, 0.0},  {9, 6, 0.0},  {-1, 0, 0.0}, {0, 10, 0.0}};
    for (const auto& c : cells) {
        SCOPED_TRACE(testing::Message() << "row " << c.Row << " column " << c.Column);
        EXPECT_DOUBLE_EQ(r->PeakDensity({0, c.Row, c.Column}), c.Peak);
    }
    EXPECT_DOUBLE_EQ(r->Usage({0, 0, 0}), 4.0);
    EXPECT_EQ(r->Peak->Cell, (TCellPlace{0, 0, 0}));
}

// A person on a void cell counts in its neighbours' windows; void cells hold nothing.
TEST(AnalysisDensity, VoidCellsHaveNoValues) {
    std::vector<std::string> cells(4, "P6x0");
    cells[0] = "P6x.";
    const auto r = Analyse(RoomText(6, 4, 1, 1, {{0, 0, 0, "P2x0"}}, cells));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->PeakDensity({0, 0, 0}), 0.0);
    EXPECT_EQ(r->Usage({0, 0, 0}), 0.0);
    EXPECT_DOUBLE_EQ(r->PeakDensity({0, 1, 0}), 0.25);
    EXPECT_EQ(r->Peak->Cell, (TCellPlace{0, 1, 0}));
    EXPECT_EQ(r->UsagePerDeck, std::vector<double>{0.0});
    EXPECT_EQ(r->Occupancy.at(0).At(0), 1);
}

struct TOddCase {
    const char* Name;
    std::vector<TRoomPerson> Persons;
    int Decks;
    std::vector<std::vector<int>> Occupancy;  // per deck, steps 0, 1, 2, ...
    std::vector<double> Usage;                // per deck, person-seconds
};

// Persons outside the grid or on levels that do not exist are counted nowhere.
TEST(AnalysisDensity, PersonsOutsideTheGridAndOnBadLevels) {
    const TOddCase cases[] = {
        {"walks into the grid from the east", {{12, 0, 0, "7777"}}, 1, {{0, 0, 0, 1, 1, 0}}, {2}},
        {"walks out of the grid", {{1, 0, 0, "11"}}, 1, {{1, 0, 0, 0}}, {1}},
        {"starts on a level that does not exist", {{1, 1, 3, "33"}}, 1, {{0, 0, 0, 0}}, {0}},
        {"goes down below deck 0", {{1, 1, 0, "D33"}}, 1, {{1, 0, 0, 0}}, {1}},
        {"goes up a deck", {{1, 1, 0, "U33"}}, 2, {{1, 0, 0, 0}, {0, 1, 1, 0}}, {1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto r = Analyse(RoomText(10, 4, c.Decks, 1, c.Persons));
        ASSERT_TRUE(r);
        for (std::size_t z = 0; z < c.Occupancy.size(); ++z) {
            for (std::size_t k = 0; k < c.Occupancy[z].size(); ++k) {
                EXPECT_EQ(r->Occupancy.at(z).At(static_cast<int64_t>(k)), c.Occupancy[z][k])
                    << "deck " << z << " step " << k;
            }
        }
        EXPECT_EQ(r->UsagePerDeck, c.Usage);
    }
    // Off the grid between steps 2 and 198 (column -1 .. -99 and back).
    const auto r = Analyse(RoomText(10, 4, 1, 1, {{1, 1, 0, "P100x7P100x3"}}));
    EXPECT_EQ(r->Occupancy[0].At(1), 1);
    EXPECT_EQ(r->Occupancy[0].At(2), 0);
    EXPECT_EQ(r->Occupancy[0].At(198), 0);
    EXPECT_EQ(r->Occupancy[0].At(199), 1);
    EXPECT_EQ(r->Occupancy[0].At(201), 0);
    EXPECT_EQ(r->UsagePerDeck, std::vector<double>{4});
}

// Persons without start records still leave; they are on no deck.
TEST(AnalysisDensity, PersonsWithoutStartRecords) {
    const std::string text =
        "<header>\nversion 1\npmax 3\nxmax 6\nymax 4\nzmax 1\nvmax 1\ntoff 0\n</header>\n"
        "<deck>\nlevel 0\ncaption "
        "A\n(celldata)\nP6x0P6x0P6x0P6x0\n</deck>\n<persons>\n<startpositions>\n"
        "1 1 0 3 0\n(movement)\n3S\n33S\n333S\n</persons>\n";
    const auto r = Analyse(text);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->ExitTimes, (std::vector<double>{2, 3, 4}));
    EXPECT_EQ(r->Occupancy[0].At(0), 1);
    EXPECT_EQ(r->Occupancy[0].At(2), 0);
    EXPECT_EQ(r->UsagePerDeck, std::vector<double>{2});
}

class TCancelOnFirst final : public orlex::IAnalysisProgress {
public:
    explicit TCancelOnFirst(TEvacuationAnalysis* analysis) : Analysis(analysis) {}
    void SetPosition(int percent) override {
        Positions.push_back(percent);
        if (Analysis) Analysis->Cancel();
    }
    TEvacuationAnalysis* Analysis;
    std::vector<int> Positions;
};

TEST(AnalysisRun, CancelledRunsReturnNothing) {
    const auto loaded = LoadText(CrowdedRoom());
    {
        TEvacuationAnalysis analysis(*loaded.Project, {});
        analysis.Cancel();
        EXPECT_FALSE(analysis.Run());
    }
    for (const bool density : {true, false}) {
        TEvacuationAnalysis analysis(*loaded.Project, {}, {density, 2});
        TCancelOnFirst progress(&analysis);
        EXPECT_FALSE(analysis.Run(&progress));
        ASSERT_EQ(progress.Positions.size(), 1u);
        EXPECT_LT(progress.Positions[0], 100);
    }
}

TEST(AnalysisRun, ProgressRisesToHundred) {
    const auto loaded = LoadText(CrowdedRoom());
    TEvacuationAnalysis analysis(*loaded.Project, {});
    TCancelOnFirst progress(nullptr);
    ASSERT_TRUE(analysis.Run(&progress));
    ASSERT_FALSE(progress.Positions.empty());
    EXPECT_EQ(progress.Positions.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress.Positions.begin(), progress.Positions.end()));
}

TEST(AnalysisRun, SettingsOutOfRangeGiveNoResult) {
    const auto loaded = LoadText(CrowdedRoom());
    EXPECT_FALSE(TEvacuationAnalysis(*loaded.Project, {0.4, 4, 4.0, 0.1}).Run());
    EXPECT_FALSE(TEvacuationAnalysis(*loaded.Project, {0.01, 5, 4.0, 0.1}).Run());
}

TEST(AnalysisRun, CurvesOnlyLeaveTheMapsOut) {
    const auto loaded = LoadText(CrowdedRoom());
    const auto r = TEvacuationAnalysis(*loaded.Project, {}, {false, 0}).Run();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->HasDensity);
    EXPECT_TRUE(r->Maps.empty());
    EXPECT_EQ(r->EvacuationTime, 5.0);
    EXPECT_EQ(r->PeakDensity({0, 5, 5}), 0.0);
}

TEST(AnalysisRun, GridsTooLargeForTheMapsGetTheCurvesOnly) {
    const auto loaded = LoadText(CrowdedRoom());
    orlex::TAnalysisOptions options;
    options.MaxDensityCells = 99;  // the room has 100 cells
    TCancelOnFirst progress(nullptr);
    const auto r = TEvacuationAnalysis(*loaded.Project, {}, options).Run(&progress);
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->DensityTooLarge);
    EXPECT_FALSE(r->HasDensity);
    EXPECT_TRUE(r->Maps.empty());
    EXPECT_EQ(r->EvacuationTime, 5.0);
    EXPECT_EQ(progress.Positions.back(), 100);
    const std::string json = orlex::AnalysisJson(*r);
    EXPECT_NE(json.find("\"density\":null,\"usagePerDeck\":null}"), std::string::npos) << json;
    options.MaxDensityCells = 100;
    EXPECT_TRUE(TEvacuationAnalysis(*loaded.Project, {}, options).Run()->HasDensity);
}

struct TState {
    float X, Y;
    int Level, Heading;
    bool operator==(const TState&) const = default;
};

std::vector<TState> States(const orlex::TLogFile1& project) {
    std::vector<TState> states;
    for (const auto& p : project.Persons) states.push_back({p.X, p.Y, p.Level, p.Heading});
    return states;
}

void PlayStep(orlex::TLogFile1& project, int step) {
    for (auto& p : project.Persons) p.IsStepMoved(step);
}

// The analysis between two playback steps changes neither the persons' state nor
// what the next steps play.
TEST(AnalysisRun, PlaybackStateUntouched) {
    const std::string text = RoomText(10, 4, 2, 1, {{1, 1, 0, "33U3P3x3"}, {2, 2, 1, "P2x5D0"}});
    auto played = LoadText(text);
    auto alone = LoadText(text);
    for (auto* loaded : {&played, &alone}) {
        for (auto& p : loaded->Project->Persons) p.ResetToStart(10, 4);
        PlayStep(*loaded->Project, 0);
        PlayStep(*loaded->Project, 1);
    }
    const auto before = States(*played.Project);
    ASSERT_TRUE(TEvacuationAnalysis(*played.Project, {}).Run());
    EXPECT_EQ(States(*played.Project), before);
    for (int step = 2; step < 8; ++step) {
        PlayStep(*played.Project, step);
        PlayStep(*alone.Project, step);
        EXPECT_EQ(States(*played.Project), States(*alone.Project)) << "step " << step;
    }
}

}  // namespace

// Person-steps are kept in 32 bits a cell; larger sums are kept aside, exactly.
TEST(AnalysisUsageMap, SumsBeyondThirtyTwoBits) {
    using orlex::TCellMap;
    using orlex::TUsageMap;
    const uint64_t big = uint64_t{1} << 33;
    // One row of 40 cells: cells 1 and 35 lie in different tiles.
    const auto low = [](std::vector<std::pair<int, uint32_t>> cells) {
        TCellMap map(40, 1);
        for (const auto& [column, v] : cells) map.Cell(0, column) = v;
        return map;
    };
    TUsageMap map(low({{0, 5}, {1, TUsageMap::kLarge}, {35, TUsageMap::kLarge}}),
                  {{1, big}, {35, uint64_t{TUsageMap::kLarge}}});
    struct {
        std::size_t Cell;
        uint64_t Value;
    } const rows[] = {{0, 5}, {1, big}, {2, 0}, {35, TUsageMap::kLarge}, {39, 0}};
    for (const auto& row : rows) EXPECT_EQ(map[row.Cell], row.Value) << "cell " << row.Cell;
    EXPECT_EQ(map.Sum(), 5 + big + TUsageMap::kLarge);
    EXPECT_EQ(map.Max(), big);
    map.Clear(0, 1);
    EXPECT_EQ(map[1], 0u);
    EXPECT_EQ(map.Max(), TUsageMap::kLarge);
    EXPECT_EQ(map, TUsageMap(low({{0, 5}, {35, TUsageMap::kLarge}}), {{35, TUsageMap::kLarge}}));
}

// Three persons stand two thousand million steps in one cell: the cell's usage does
// not fit 32 bits, its neighbour's window counts do, and nothing is walked step by step.
TEST(AnalysisUsageMap, LongStaysInOneCell) {
    const int64_t n = 2147483000;
    std::vector<TRoomPerson> persons(3, {1, 1, 0, "P" + std::to_string(n) + "x0"});
    const auto r = Analyse(RoomText(4, 3, 1, 1, persons));
    ASSERT_TRUE(r);
    const uint64_t each = static_cast<uint64_t>(n) + 1;  // present at 0 .. n
    EXPECT_EQ(r->Maps[0].UsageSteps[1 * 4 + 1], 3 * each);
    EXPECT_EQ(r->Maps[0].UsageSteps[0], 0u);
    EXPECT_DOUBLE_EQ(r->Usage({0, 1, 1}), static_cast<double>(3 * each));
    EXPECT_EQ(r->UsagePerDeck, std::vector<double>{static_cast<double>(3 * each)});
    EXPECT_EQ(r->Maps[0].PeakCount[0], 3u);
    EXPECT_EQ(r->Occupancy.at(0).At(n), 3);
    EXPECT_EQ(r->Occupancy.at(0).At(n + 1), 0);
}
