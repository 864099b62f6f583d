// Exits found where saved persons' tracks end, their widths and flows, and when
// each deck is clear, worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis.h"
#include "exits.h"
#include "projects.h"
#include "rooms.h"
#include "summary.h"

namespace orlex {
namespace {

using test::LoadText;
using test::RoomText;
using test::TRoomPerson;

std::unique_ptr<TAnalysisResult> Analysed(const std::string& text,
                                          TAnalysisSettings settings = {}) {
    const auto loaded = LoadText(text);
    return TEvacuationAnalysis(*loaded.Project, settings).Run();
}

TEST(Exits, QueueThroughAOneCellDoor) {
    // 20 persons leave through the cell at column 5, row 5, one a second from 2 s.
    std::vector<TRoomPerson> queue;
    for (int i = 0; i < 20; ++i)
        queue.push_back({4, 5, 0, (i > 0 ? "P" + std::to_string(i) + "x0" : "") + "3"});
    const auto r = Analysed(RoomText(10, 10, 1, 1, queue));
    ASSERT_TRUE(r);
    ASSERT_EQ(r->Exits.size(), 1u);
    const TExitResult& e = r->Exits[0];
    EXPECT_EQ(e.Name, "Exit at x 2.2 m, y 1.8 m, Deck 0");
    EXPECT_EQ(e.Cells, (std::vector<TCellPlace>{{0, 5, 5}}));
    EXPECT_DOUBLE_EQ(e.Width, 0.4);
    EXPECT_EQ(e.Persons(), 20);
    EXPECT_EQ(e.Times.front(), 2);
    EXPECT_EQ(e.Times.back(), 21);
    EXPECT_DOUBLE_EQ(e.PeakFlow, 1.0);  // 10 persons in every 10 s
    EXPECT_DOUBLE_EQ(e.PeakSpecificFlow, 2.5);
    EXPECT_TRUE(e.AboveLimit());
    ASSERT_EQ(r->LastOccupiedSteps, (std::vector<int64_t>{20}));
    EXPECT_EQ(r->ClearTime(0), r->EvacuationTime);
}

// Where tracks end, and the last moves into those cells.
struct TDoorCase {
    const char* Name;
    std::vector<TRoomPerson> Persons;
    std::vector<TCellPlace> Cells;
    double Width;  // in cells of 0.4 m
};

class ExitWidths : public ::testing::TestWithParam<TDoorCase> {};

TEST_P(ExitWidths, AcrossTheMainDirection) {
    const TDoorCase& c = GetParam();
    const auto r = Analysed(RoomText(12, 12, 1, 1, c.Persons));
    ASSERT_TRUE(r);
    ASSERT_EQ(r->Exits.size(), 1u);
    EXPECT_EQ(r->Exits[0].Cells, c.Cells);
    EXPECT_NEAR(r->Exits[0].Width, c.Width * 0.4, 1e-12);
}

const double kRoot2 = std::sqrt(2.0);

INSTANTIATE_TEST_SUITE_P(
    Doors, ExitWidths,
    ::testing::Values(
        // Three cells of column 5 entered from the west.
        TDoorCase{"StraightEast",
                  {{3, 3, 0, "33"}, {3, 4, 0, "33"}, {3, 5, 0, "33"}, {4, 4, 0, "P3x03"}},
                  {{0, 3, 5}, {0, 4, 5}, {0, 5, 5}},
                  3},
        // The same cells entered from the north: the door is one cell wide across it
        // and three deep.
        TDoorCase{"StraightSouth",
                  {{5, 1, 0, "55"}, {5, 2, 0, "55"}, {5, 3, 0, "55"}},
                  {{0, 3, 5}, {0, 4, 5}, {0, 5, 5}},
                  1},
        // A diagonal door of three cells entered from the south-west, across it.
        TDoorCase{"Diagonal",
                  {{3, 5, 0, "22"}, {4, 6, 0, "22"}, {5, 7, 0, "22"}},
                  {{0, 3, 5}, {0, 4, 6}, {0, 5, 7}},
                  2 * kRoot2 + 1},
        // Two rows of a door of two cells, some persons coming in slanting.
        TDoorCase{"SlantingEast",
                  {{3, 4, 0, "33"}, {3, 6, 0, "32"}, {3, 4, 0, "34"}},
                  {{0, 4, 5}, {0, 5, 5}},
                  2},
        // Persons who never move: the larger extent.
        TDoorCase{"Standing",
                  {{2, 2, 0, "0"}, {3, 2, 0, "0"}, {4, 3, 0, "0"}},
                  {{0, 2, 2}, {0, 2, 3}, {0, 3, 4}},
                  3}),
    [](const auto& info) { return info.param.Name; });

TEST(Exits, GroupedByNeighbourhoodPerDeck) {
    const std::vector<TRoomPerson> persons = {
        {0, 0, 0, "3"},  // ends at row 0, column 1
        {1, 0, 0, "5"},  // row 1, column 1: a neighbour
        {1, 3, 0, "3"},  // row 3, column 2: two rows away, another exit
        {0, 0, 1, "3"},  // the first cell, but on deck 1
        {5, 5, 0, "0"},
    };
    std::string text = RoomText(8, 8, 2, 1, persons);
    const auto r = Analysed(text);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->Exits.size(), 4u);
    EXPECT_EQ(r->Exits[0].Cells, (std::vector<TCellPlace>{{0, 0, 1}, {0, 1, 1}}));
    EXPECT_EQ(r->Exits[0].Persons(), 2);
    EXPECT_EQ(r->Exits[1].Cells, (std::vector<TCellPlace>{{0, 3, 2}}));
    EXPECT_EQ(r->Exits[2].Cells, (std::vector<TCellPlace>{{0, 5, 5}}));
    EXPECT_EQ(r->Exits[3].Cells, (std::vector<TCellPlace>{{1, 0, 1}}));
    EXPECT_EQ(r->Exits[3].Name, "Exit at x 0.6 m, y 3.0 m, Deck 1");
}

TEST(Exits, OnlyCompleteTracksOnTheGridCount) {
    // The second track leaves the grid; the last one is cut by the end of the file.
    std::string text = RoomText(6, 6, 1, 1, {{2, 2, 0, "3"}, {5, 2, 0, "33"}, {1, 1, 0, "33"}});
    text.resize(text.rfind("33S"));
    const auto loaded = LoadText(text);
    const auto r = TEvacuationAnalysis(*loaded.Project, {}).Run();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->Complete());
    ASSERT_EQ(r->Exits.size(), 1u);
    EXPECT_EQ(r->Exits[0].Cells, (std::vector<TCellPlace>{{0, 2, 3}}));
}

TEST(Exits, ClearTimesPerDeck) {
    // Deck 0 holds persons up to step 3, deck 1 up to step 1 (its person goes down
    // to deck 0 at step 2 and is saved after step 3), deck 2 never.
    const std::vector<TRoomPerson> persons = {{1, 1, 0, "333"}, {1, 1, 1, "3D03"}};
    TAnalysisSettings settings;
    const auto r = Analysed(RoomText(8, 8, 3, 2, persons), settings);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->LastOccupiedSteps, (std::vector<int64_t>{3, 1, -1}));
    EXPECT_EQ(r->ClearTime(0), 2.0);
    EXPECT_EQ(r->ClearTime(1), 1.0);
    EXPECT_EQ(r->ClearTime(2), std::nullopt);
    EXPECT_EQ(r->ClearTime(3), std::nullopt);
}

}  // namespace
}  // namespace orlex

namespace orlex {
namespace {

// The tables of the CSV export and the summary rows, on the queue through one door
// with a line in it and an area before it.
TEST(ExitTables, RowsOfTheQueue) {
    std::vector<test::TRoomPerson> queue;
    for (int i = 0; i < 3; ++i)
        queue.push_back({4, 5, 0, (i > 0 ? "P" + std::to_string(i) + "x0" : "") + "3"});
    const auto loaded = test::LoadText(test::RoomText(10, 10, 2, 1, queue));
    TMeasureSet set;
    set.Lines = {{"Door", 0, {2.0, 1.6}, {2.0, 2.0}}};
    set.Areas = {{"Before", 0, {{1.6, 1.6}, {2.0, 1.6}, {2.0, 2.0}, {1.6, 2.0}}}};
    TAnalysisOptions options;
    options.Measures = &set;
    const auto r = TEvacuationAnalysis(*loaded.Project, {}, options).Run();
    ASSERT_TRUE(r);
    const std::vector<std::string> captions = {"Main", ""};
    EXPECT_EQ(ExitsTable(*r, captions),
              (TTextTable{{"exit", "deck", "deck_caption", "x_m", "y_m", "cells", "width_m",
                           "persons", "first_exit_s", "last_exit_s", "peak_flow_persons_per_s",
                           "peak_specific_flow_persons_per_m_s", "above_1.33"},
                          {"Exit at x 2.2 m, y 1.8 m, Deck 0", "0", "Main", "2.2", "1.8", "1",
                           "0.4", "3", "2", "4", "0.3", "0.7499999999999999", "no"}}));
    const TTextTable m = MeasurementsTable(*r, captions);
    ASSERT_EQ(m.size(), 1u + 3u + 4u);  // 3 crossings, steps 0 to 3 of the area
    EXPECT_EQ(m[1],
              (std::vector<std::string>{"line", "Door", "0", "Main", "1", "1", "0.1", "", "", ""}));
    EXPECT_EQ(m[3],
              (std::vector<std::string>{"line", "Door", "0", "Main", "3", "3", "0.3", "", "", ""}));
    // The area holds the queue's waiting persons: 3, 2, 1, 0; speeds where known.
    EXPECT_EQ(m[4][0], "area");
    EXPECT_EQ(m[4][5], "3");
    EXPECT_EQ(m[4][8], "");  // no second before step 0
    EXPECT_EQ(m[5][5], "2");
    EXPECT_EQ(m[6][5], "1");
    EXPECT_EQ(m[7][5], "0");
    // At step 1 the second person walks a cell by step 2 (0.2 m/s), the third stands.
    EXPECT_EQ(m[5][8], "0.1");
    EXPECT_NEAR(std::stod(m[5][9]), 1.25, 1e-12);  // 2 persons / 0.16 m² x 0.1 m/s
    EXPECT_EQ(MeasurementSummaryRows(*r, captions),
              (std::vector<TSummaryRow>{{"Exits", "1 (0 above 1.33 persons/(m\u00b7s))"},
                                        {"Clear, Main", "4.00 s"},
                                        {"Clear, Deck 1", "never occupied"}}));
}

}  // namespace
}  // namespace orlex
