// The colour maps over a deck: the colour at known cells, void cells, the
// congested flags, the shared scale and the levels of service.
#include <gtest/gtest.h>

#include "analysis.h"
#include "deckoverlay.h"
#include "projects.h"
#include "rooms.h"

namespace {

using orlex::BuildDeckOverlay;
using orlex::TAnalysisResult;
using orlex::TDeckOverlay;
using orlex::TOverlayKind;
using orlex::TRgba;
using orlex::test::LoadText;
using orlex::test::RoomText;
using orlex::test::TRoomPerson;

// 20 persons on one cell of a 10 x 10 room (row 0 void), 2 steps a second: 10 stand
// 9 steps, 10 stand 3 steps; a second deck holds one person standing 9 steps.
struct TCrowd {
    orlex::test::TLoaded Loaded;
    std::unique_ptr<TAnalysisResult> Result;
    TCrowd() {
        std::vector<TRoomPerson> persons;
        for (int i = 0; i < 10; ++i) persons.push_back({5, 5, 0, "P9x0"});
        for (int i = 0; i < 10; ++i) persons.push_back({5, 5, 0, "P3x0"});
        persons.push_back({2, 2, 1, "P9x0"});
        std::vector<std::string> cells(10, "P10x0");
        cells[0] = "P10x.";
        Loaded = LoadText(RoomText(10, 10, 2, 2, persons, cells));
        Result = orlex::TEvacuationAnalysis(*Loaded.Project, {0.4, 5, 4.0, 0.10}).Run();
    }
    const orlex::TDeck* Deck(int z) const { return &Loaded.Project->Decks.at(z); }
    TDeckOverlay Overlay(int z, TOverlayKind kind, bool service = false) const {
        return BuildDeckOverlay(*Result, z, kind, Deck(z), service);
    }
};

TRgba At(const TDeckOverlay& overlay, int row, int column) {
    return overlay.Colors.at(static_cast<std::size_t>(row * overlay.Columns + column));
}

TEST(Overlay, ColoursAtKnownCells) {
    const TCrowd crowd;
    ASSERT_TRUE(crowd.Result);
    // The colour of a kind's highest value, on a scale that ends at a round value.
    const TRgba top{1, 2, 3, 4};
    const struct {
        TOverlayKind Kind;
        int Row, Column;
        TRgba Color;
    } rows[] = {
        // The crowd's cell holds the highest value of every kind.
        {TOverlayKind::PeakDensity, 5, 5, top},
        {TOverlayKind::TimeAbove, 5, 5, top},
        {TOverlayKind::Usage, 5, 5, top},
        // Within the window (2 cells away) the peak is the same, usage is none.
        {TOverlayKind::PeakDensity, 7, 7, top},
        {TOverlayKind::Usage, 7, 7, TRgba{}},
        // Outside the window nothing: transparent.
        {TOverlayKind::PeakDensity, 8, 8, TRgba{}},
        {TOverlayKind::TimeAbove, 8, 5, TRgba{}},
        // Void cells stay transparent even inside the window.
        {TOverlayKind::PeakDensity, 0, 5, TRgba{}},
        {TOverlayKind::None, 5, 5, TRgba{}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << static_cast<int>(row.Kind) << " at " << row.Row << "," << row.Column);
        const TDeckOverlay overlay = crowd.Overlay(0, row.Kind);
        const TRgba expected =
            row.Color == top ? orlex::ScaleColor(orlex::OverlayMaximum(*crowd.Result, row.Kind) /
                                                 overlay.Legend.Max)
                             : row.Color;
        EXPECT_EQ(At(overlay, row.Row, row.Column), expected);
    }
}

TEST(Overlay, DecksShareOneScale) {
    const TCrowd crowd;
    ASSERT_TRUE(crowd.Result);
    // Deck 1: one person for 5 s of usage, against the crowd's 10 * 5 + 10 * 2 = 70 on a
    // scale that ends at the round 80.
    const TDeckOverlay deck1 = crowd.Overlay(1, TOverlayKind::Usage);
    EXPECT_EQ(At(deck1, 2, 2), orlex::ScaleColor(5.0 / 80.0));
    EXPECT_DOUBLE_EQ(deck1.Legend.Max, 80.0);
    EXPECT_EQ(deck1.Legend.Title, "Usage (person-seconds)");
    EXPECT_FALSE(deck1.Legend.Discrete);
    ASSERT_EQ(deck1.Legend.Stops.size(), 5u);
    EXPECT_EQ(deck1.Legend.Stops[2].Label, "40");
    EXPECT_EQ(deck1.Legend.Stops.back().Color, orlex::ScaleColor(1));
}

TEST(Overlay, TitlesCarryTheirUnits) {
    orlex::TAnalysisSettings settings;
    settings.DensityLimit = 2.5;
    const std::pair<TOverlayKind, std::string> rows[] = {
        {TOverlayKind::PeakDensity, "Peak density (persons/m\u00b2)"},
        {TOverlayKind::TimeAbove, "Time above 2.5 persons/m\u00b2 (s)"},
        {TOverlayKind::Usage, "Usage (person-seconds)"},
        {TOverlayKind::LevelsOfService, "Level of service (persons/m\u00b2)"},
        {TOverlayKind::None, ""},
    };
    for (const auto& [kind, title] : rows) EXPECT_EQ(orlex::OverlayTitle(kind, settings), title);
    settings.DensityLimit = 4;
    EXPECT_EQ(orlex::OverlayTitle(TOverlayKind::TimeAbove, settings),
              "Time above 4 persons/m\u00b2 (s)");
}

TEST(Overlay, CongestedCellsAreFlagged) {
    const TCrowd crowd;
    ASSERT_TRUE(crowd.Result);
    // The flags do not depend on the colours shown.
    const TDeckOverlay overlay = crowd.Overlay(0, TOverlayKind::None);
    EXPECT_EQ(overlay.Congested, crowd.Overlay(0, TOverlayKind::Usage).Congested);
    EXPECT_TRUE(overlay.Legend.Stops.empty());
    int flagged = 0;
    for (int r = 0; r < overlay.Rows; ++r) {
        for (int c = 0; c < overlay.Columns; ++c) {
            const bool congested = overlay.Congested[static_cast<std::size_t>(r * 10 + c)] != 0;
            flagged += congested;
            EXPECT_EQ(congested, crowd.Result->IsCongested({0, r, c})) << r << "," << c;
        }
    }
    // The 5 x 5 window around (5, 5) without void cells: rows 3..7 all lie inside.
    EXPECT_EQ(flagged, 25);
    EXPECT_EQ(flagged, crowd.Result->CongestedPerDeck.at(0));
}

TEST(Overlay, LevelsOfService) {
    const struct {
        double Density;
        char Level;
    } bounds[] = {{0.30, 'A'}, {0.31, 'B'}, {0.42, 'B'}, {0.43, 'C'}, {0.72, 'D'},
                  {1.0, 'D'},  {2.16, 'E'}, {2.17, 'F'}, {50, 'F'}};
    for (const auto& b : bounds) {
        SCOPED_TRACE(b.Density);
        EXPECT_EQ(orlex::LevelOfService(b.Density), b.Level);
    }
    const TCrowd crowd;
    ASSERT_TRUE(crowd.Result);
    // 20 persons in 4 m² (5 persons/m²): F; 1 person in 4 m²: 0.25 persons/m², A.
    EXPECT_EQ(At(crowd.Overlay(0, TOverlayKind::PeakDensity, true), 5, 5),
              orlex::LevelOfServiceColor('F'));
    EXPECT_EQ(At(crowd.Overlay(1, TOverlayKind::PeakDensity, true), 2, 2),
              orlex::LevelOfServiceColor('A'));
    EXPECT_EQ(At(crowd.Overlay(0, TOverlayKind::LevelsOfService), 5, 5),
              orlex::LevelOfServiceColor('F'));
    const auto legend = crowd.Overlay(0, TOverlayKind::LevelsOfService).Legend;
    EXPECT_EQ(legend.Title, "Level of service (persons/m\u00b2)");
    EXPECT_TRUE(legend.Discrete);
    ASSERT_EQ(legend.Stops.size(), 6u);
    EXPECT_EQ(legend.Stops.front().Label, "A  < 0.31");
    EXPECT_EQ(legend.Stops[1].Label, "B  0.31\u20130.43");
    EXPECT_EQ(legend.Stops.back().Label, "F  \u2265 2.17");
    EXPECT_DOUBLE_EQ(legend.Stops[4].Value, 2.17);
    EXPECT_DOUBLE_EQ(legend.Max, 5.0);
}

TEST(Overlay, NothingToShow) {
    const TCrowd crowd;
    ASSERT_TRUE(crowd.Result);
    TAnalysisResult curvesOnly = *crowd.Result;
    curvesOnly.HasDensity = false;
    curvesOnly.Maps.clear();
    const TDeckOverlay cases[] = {
        BuildDeckOverlay(curvesOnly, 0, TOverlayKind::PeakDensity),
        BuildDeckOverlay(*crowd.Result, 2, TOverlayKind::Usage),
        BuildDeckOverlay(*crowd.Result, -1, TOverlayKind::Usage),
    };
    for (const TDeckOverlay& overlay : cases) {
        EXPECT_EQ(overlay.Colors.size(), 100u);
        EXPECT_TRUE(std::all_of(overlay.Colors.begin(), overlay.Colors.end(),
                                [](const TRgba& c) { return c.A == 0; }));
        EXPECT_TRUE(overlay.Legend.Stops.empty());
    }
}

}  // namespace
