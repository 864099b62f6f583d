// The PDF report read back: its pages and their texts, the orientation of the plan
// pages, vectors and embedded fonts only, and the size of a large deck's plan.
#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <filesystem>

#include "analysis.h"
#include "deckplan.h"
#include "generator.h"
#include "pdfreport.h"
#include "pdftools.h"
#include "projects.h"
#include "reportchart.h"
#include "rooms.h"
#include "tempfolder.h"

namespace {

using orlex::test::PdfText;
using orlex::test::TLoaded;

class Report : public orlex::test::TTempFolderTest {
protected:
    // Analyses the project and writes its report; the path of the report.
    std::string Write(const TLoaded& loaded, const std::string& name,
                      const orlex::TAnalysisSettings& settings = {},
                      const orlex::TAnalysisOptions& options = {},
                      const orlex::TMeasureSet* measures = nullptr) {
        const auto result = orlex::TEvacuationAnalysis(*loaded.Project, settings, options).Run();
        EXPECT_TRUE(result);
        if (!result) return {};
        orlex::TAnalysisSource source;
        source.ProjectFile = "/data/" + QString::fromStdString(name) + ".3dl";
        source.FileDate = QDateTime({2026, 3, 1}, {12, 30});
        source.AnalysisDate = QDateTime({2026, 4, 2}, {8, 15});
        source.Version = "9.8.7";
        source.Project = loaded.Project.get();
        source.Measures = measures;
        for (int z = 0; z < loaded.Project->DeckCount(); ++z)
            source.Captions << QString::fromStdString(loaded.Project->GetDeckCaption(z));
        const std::string path = Path(name + ".pdf");
        QString why;
        EXPECT_TRUE(orlex::SaveAtomically(
            QString::fromStdString(path),
            [&](QIODevice& device) { return orlex::WriteAnalysisPdf(device, *result, source); },
            why))
            << why.toStdString();
        return path;
    }
};

void ExpectHas(const std::string& text, const std::vector<std::string>& wanted) {
    for (const std::string& w : wanted)
        EXPECT_NE(text.find(w), std::string::npos) << w << " in\n" << text;
}

// The exits, a line both persons cross and an area they walk through: their figures
// in the flowing pages, their marks in the plan's key.
TEST_F(Report, ExitsAndMeasurements) {
    const TLoaded loaded =
        orlex::test::LoadText(orlex::test::ProjectText({"Main deck"}, 1, {"P3x3S", "P2x3S"}));
    orlex::TMeasureSet set;
    set.Lines.push_back({"Door A", 0, {1.2, 0.4}, {1.2, 1.6}});
    set.Areas.push_back({"Queue", 0, {{0.4, 0.8}, {2.0, 0.8}, {2.0, 1.2}, {0.4, 1.2}}});
    orlex::TAnalysisOptions options;
    options.Measures = &set;
    const std::string pdf = Write(loaded, "measured", {}, options, &set);
    const std::string text = PdfText(pdf);
    ExpectHas(text, {"Exits (where saved persons' tracks end)", "E1 Exit at x 1.6 m, y 1.0 m",
                     "Main deck clear at 4.00 s", "Measurement lines", "Door A (Main deck)",
                     "2 persons crossed; length 1.20 m", "Measurement areas", "Queue (Main deck)",
                     "0.64 m²", "Measurement line", "Exit (E1, E2, ...)"});
}

TEST_F(Report, PagesAndTheirTexts) {
    const struct {
        std::string Name;
        std::vector<std::string> Captions;
    } cases[] = {{"one", {"Main deck"}}, {"three", {"Deck A", "Deck B", "Upper deck"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const TLoaded loaded =
            orlex::test::LoadText(orlex::test::ProjectText(c.Captions, 2, {"P3x3S", "P6x3S"}));
        const std::string pdf = Write(loaded, c.Name);
        // The title block and summary, the charts, and one page a deck.
        const int pages = 2 + static_cast<int>(c.Captions.size());
        ASSERT_EQ(orlex::test::PdfPages(pdf), pages);
        for (int page = 1; page <= pages; ++page) {
            ExpectHas(PdfText(pdf, page),
                      {"Page " + std::to_string(page) + " of " + std::to_string(pages),
                       "Evacuation analysis of " + c.Name + ".3dl"});
        }
        ExpectHas(
            PdfText(pdf, 1),
            {"Evacuation analysis", "File /data/" + c.Name + ".3dl", "File date 2026-03-01 12:30",
             "Date of the analysis 2026-04-02 08:15", "Program ORLEX Viewer 9.8.7",
             "Cell size 0.4 m", "Density window 5 × 5 cells", "Density limit 4 persons/m²",
             "Congestion share 10 % of the duration", "Results (MSC.1/Circ.1533)", "Persons 2",
             "Evacuation time", "Exit time p95", "Congested cells, " + c.Captions.back()});
        const std::string charts = PdfText(pdf, 2);
        ExpectHas(charts, {"Saved persons over time", "Persons per deck over time", "Time (s)",
                           "Persons", "Decks", "Evacuation time (", "p95 exit time ("});
        EXPECT_EQ(charts.find("Current time"), std::string::npos);
        for (std::size_t z = 0; z < c.Captions.size(); ++z) {
            ExpectHas(charts, {c.Captions[z]});
            const std::string plan = PdfText(pdf, 3 + static_cast<int>(z));
            ExpectHas(plan, {c.Captions[z], "Time above 4 persons/m² (s)", "Congested cell",
                             "Scale 1:", " m"});
        }
    }
}

// Fifty decks: the summary runs over two pages, the legend names the first decks
// and counts the rest, and every deck still gets its page.
TEST_F(Report, ManyDecks) {
    std::vector<std::string> captions;
    for (int z = 0; z < 50; ++z) captions.push_back("Level " + std::to_string(100 + z));
    const TLoaded loaded =
        orlex::test::LoadText(orlex::test::ProjectText(captions, 2, {"P3x3S", "P6x3S"}));
    const std::string pdf = Write(loaded, "decks");
    const int pages = orlex::test::PdfPages(pdf);
    ASSERT_GT(pages, 50 + 2);
    const int first = pages - 50 + 1;  // the first plan
    for (int page = 1; page <= pages; ++page) {
        const std::string text = PdfText(pdf, page);
        ExpectHas(text, {"Page " + std::to_string(page) + " of " + std::to_string(pages)});
        EXPECT_EQ(text.find("Scale 1:") != std::string::npos, page >= first) << page;
        if (page >= first) ExpectHas(text, {captions[static_cast<std::size_t>(page - first)]});
    }
    ExpectHas(PdfText(pdf), {"Congested cells, Level 149", "Level 134", "and 15 more"});
    EXPECT_EQ(PdfText(pdf, first - 1).find("Level 135 "), std::string::npos);
}

TEST_F(Report, TheSettingsNameTheLegend) {
    const TLoaded loaded = orlex::test::LoadText(orlex::test::kExampleFile);
    const std::string pdf = Write(loaded, "settings", {0.5, 3, 2.5, 0.25});
    ExpectHas(PdfText(pdf, 1),
              {"Cell size 0.5 m", "Density window 3 × 3 cells (1.5 × 1.5 m)",
               "Density limit 2.5 persons/m²", "Congestion share 25 % of the duration"});
    ExpectHas(PdfText(pdf, 3), {"Time above 2.5 persons/m² (s)", "cell size 0.5 m"});
}

TEST_F(Report, WithoutDensityMapsThePlansShowTheFloor) {
    const TLoaded loaded =
        orlex::test::LoadText(orlex::test::ProjectText({"A", "B"}, 2, {"P3x3S"}));
    orlex::TAnalysisOptions curves;
    curves.Density = false;
    const std::string pdf = Write(loaded, "curves", {}, curves);
    ASSERT_EQ(orlex::test::PdfPages(pdf), 4);
    ExpectHas(PdfText(pdf, 1), {"Density not computed"});
    for (int page : {3, 4}) {
        ExpectHas(PdfText(pdf, page),
                  {"Plan of the deck (no density maps)", "The density was not computed.",
                   "No density maps: only the floor is shown.", "Scale 1:"});
    }
}

TEST_F(Report, LongDecksGetLandscapePages) {
    const struct {
        int Columns, Rows;
        bool Landscape;
    } cases[] = {{60, 8, true}, {8, 60, false}, {20, 20, false}};
    for (const auto& c : cases) {
        const TLoaded loaded = orlex::test::LoadText(
            orlex::test::RoomText(c.Columns, c.Rows, 1, 1, {{1, 1, 0, "P3x0"}}));
        const std::string name = std::to_string(c.Columns) + "x" + std::to_string(c.Rows);
        EXPECT_EQ(orlex::test::PdfLandscape(Write(loaded, name)),
                  (std::vector<bool>{false, false, c.Landscape}))
            << name;
    }
}

// A deck of 1000 x 200 cells laid out as the generator lays out a ship, with crowds
// that stand for different times: the plan is merged rectangles, not cells.
TEST_F(Report, ALargeDeckIsVectorsOfModestSize) {
    const int columns = 1000, rows = 200;
    const std::string grid = orlex::gen::MakeDeckGrid(columns, rows, 0, 1, 7);
    std::vector<std::string> cells;
    for (int r = 0; r < rows; ++r)
        cells.push_back(grid.substr(static_cast<std::size_t>(r) * columns, columns));
    std::vector<orlex::test::TRoomPerson> persons;
    for (int r = 0; r < rows; r += 2) {
        for (int c = 0; c < columns; c += 3) {
            if (cells[r][c] != '0' || (c / 40 + r / 20) % 3 != 0) continue;
            persons.push_back({c, r, 0, "P" + std::to_string(1 + (c * 7 + r * 3) % 40) + "x0"});
        }
    }
    ASSERT_GT(persons.size(), 1000u);
    const TLoaded loaded =
        orlex::test::LoadText(orlex::test::RoomText(columns, rows, 1, 1, persons, cells));
    const std::string pdf = Write(loaded, "large", {0.4, 5, 0.5, 0.1});
    // Every standing group is an exit of its own: the 30 busiest are listed (two more
    // pages), the others summed up in a row, all of them marked on the plan.
    ASSERT_EQ(orlex::test::PdfPages(pdf), 5);
    EXPECT_NE(PdfText(pdf).find("Other exits"), std::string::npos);
    EXPECT_LT(std::filesystem::file_size(pdf), 2u * 1024 * 1024);
    EXPECT_EQ(orlex::test::PdfImages(pdf), 0);
    EXPECT_EQ(orlex::test::PdfFontsNotEmbedded(pdf), std::vector<std::string>{});
    EXPECT_NE(PdfText(pdf, 5).find("Time above 0.5 persons/m² (s)"), std::string::npos);
}

// Rectangles that cover the keys exactly: every cell with a key in one rectangle of
// that key, cells without a key in none.
std::vector<int> Painted(const std::vector<orlex::report::TPlanRect>& rects, int columns,
                         int rows) {
    std::vector<int> grid(static_cast<std::size_t>(columns) * rows, orlex::report::kPlanNothing);
    for (const auto& r : rects) {
        for (int y = r.Row; y < r.Row + r.Rows; ++y) {
            for (int x = r.Column; x < r.Column + r.Columns; ++x) {
                int& cell = grid[static_cast<std::size_t>(y) * columns + x];
                EXPECT_EQ(cell, orlex::report::kPlanNothing)
                    << "painted twice at " << x << "," << y;
                cell = r.Key;
            }
        }
    }
    return grid;
}

TEST(PlanRects, MergeRunsAndEqualRows) {
    using orlex::report::TPlanRect;
    constexpr int N = orlex::report::kPlanNothing;
    const struct {
        const char* Name;
        int Columns, Rows;
        std::vector<int> Keys;
        std::vector<TPlanRect> Rects;
    } cases[] = {
        {"nothing", 3, 2, {N, N, N, N, N, N}, {}},
        {"one block", 3, 2, {0, 0, 0, 0, 0, 0}, {{0, 0, 3, 2, 0}}},
        {"runs of a row",
         5,
         1,
         {0, 0, 1, N, 1},
         {{0, 0, 2, 1, 0}, {2, 0, 1, 1, 1}, {4, 0, 1, 1, 1}}},
        {"a run shorter below stays apart",
         3,
         2,
         {0, 0, 0, 0, 0, 1},
         {{0, 0, 3, 1, 0}, {0, 1, 2, 1, 0}, {2, 1, 1, 1, 1}}},
        {"a band over two rows",
         4,
         3,
         {0, 2, 2, 0, 0, 2, 2, 0, 0, 0, 0, 0},
         {{0, 0, 1, 2, 0}, {1, 0, 2, 2, 2}, {3, 0, 1, 2, 0}, {0, 2, 4, 1, 0}}},
        {"a gap ends a rectangle", 1, 3, {1, N, 1}, {{0, 0, 1, 1, 1}, {0, 2, 1, 1, 1}}},
    };
    for (const auto& c : cases) {
        const auto rects = orlex::report::MergeRects(c.Keys, c.Columns, c.Rows);
        EXPECT_EQ(rects, c.Rects) << c.Name;
        EXPECT_EQ(Painted(rects, c.Columns, c.Rows), c.Keys) << c.Name;
    }
}

TEST(PlanRects, AShipDeckIsCoveredByFewRectangles) {
    const int columns = 400, rows = 120;
    const std::string grid = orlex::gen::MakeDeckGrid(columns, rows, 0, 1, 3);
    std::vector<int> keys;
    for (const char c : grid)
        keys.push_back(c == '.' ? -1 : c == '1' ? 1 : c == '0' ? 0 : 2 + (c - '2'));
    const auto rects = orlex::report::MergeRects(keys, columns, rows);
    EXPECT_EQ(Painted(rects, columns, rows), keys);
    EXPECT_LT(rects.size(), keys.size() / 10);
}

// A deck without time above the limit shows the floor and blocks only; a crowd
// shows the top band of the scale where it stood longest.
TEST(DeckPlan, CalmDecksShowTheFloorAndCrowdsTheBands) {
    std::vector<orlex::test::TRoomPerson> crowd;
    for (int i = 0; i < 20; ++i) crowd.push_back({5, 5, 0, i < 10 ? "P9x0" : "P3x0"});
    const struct {
        const char* Name;
        std::vector<orlex::test::TRoomPerson> Persons;
        bool Hot;
    } cases[] = {{"calm", {{5, 5, 0, "P9x0"}}, false}, {"crowd", crowd, true}};
    for (const auto& c : cases) {
        const TLoaded loaded =
            orlex::test::LoadText(orlex::test::RoomText(10, 10, 1, 2, c.Persons));
        const auto result = orlex::TEvacuationAnalysis(*loaded.Project, {}).Run();
        ASSERT_TRUE(result);
        const auto plan = orlex::report::BuildDeckPlan(*result, 0, loaded.Project->Decks[0]);
        // Four bands between two stops of the colour bar.
        EXPECT_EQ(plan.Bands, 4 * (static_cast<int>(plan.Legend.Stops.size()) - 1)) << c.Name;
        EXPECT_EQ(plan.Legend.Title, "Time above 4 persons/m\u00b2 (s)");
        const int top = *std::max_element(plan.Keys.begin(), plan.Keys.end());
        EXPECT_EQ(
            top, c.Hot ? orlex::report::kPlanFirstBand + plan.Bands - 1 : orlex::report::kPlanFloor)
            << c.Name;
        EXPECT_EQ(plan.Keys[5 * 10 + 5], top) << c.Name;
        EXPECT_EQ(plan.Longest > 0, c.Hot) << c.Name;
        // The floor is a neutral grey whatever the deck's own colours.
        const QColor floor = orlex::report::PlanColor(plan, orlex::report::kPlanFloor);
        EXPECT_TRUE(floor.red() == floor.green() && floor.green() == floor.blue());
        if (c.Hot) {
            EXPECT_NE(orlex::report::PlanColor(plan, top), floor);
        }
        // Plan cells of 2 x 2 deck cells keep the hottest band.
        const auto coarse = orlex::report::BuildDeckPlan(*result, 0, loaded.Project->Decks[0], 2);
        EXPECT_EQ(coarse.Columns, 5);
        EXPECT_EQ(coarse.Rows, 5);
        EXPECT_EQ(coarse.Keys[2 * 5 + 2], top) << c.Name;
    }
}

TEST(Chart, AxesEndAtRoundValuesAndCountsAtWholeOnes) {
    const struct {
        double Lo, Hi;
        int Ticks;
        bool Whole;
        double AxisLo, AxisHi, Step;
    } cases[] = {
        {0, 375.5, 10, false, 0, 400, 50},  // the sample's time
        {30, 33, 10, false, 30, 33, 0.5},   // a short evacuation after an offset
        {0, 300, 6, true, 0, 300, 50},      // persons
        {0, 13, 6, true, 0, 14, 2},         // 2.5 persons make no tick
        {0, 2, 6, true, 0, 2, 1},           // nor do half persons
        {0, 0, 6, true, 0, 1, 1},           // no persons at all
        {-7, 5, 6, false, -8, 6, 2},        // below zero
    };
    for (const auto& c : cases) {
        const auto axis = orlex::report::ChartAxis(c.Lo, c.Hi, c.Ticks, c.Whole);
        EXPECT_DOUBLE_EQ(axis.Lo, c.AxisLo) << c.Lo << ".." << c.Hi;
        EXPECT_DOUBLE_EQ(axis.Hi, c.AxisHi) << c.Lo << ".." << c.Hi;
        EXPECT_DOUBLE_EQ(axis.Step, c.Step) << c.Lo << ".." << c.Hi;
    }
}

TEST(Chart, ThinnedCurvesKeepTheirEndsAndExtremes) {
    QPolygonF stairs;
    for (int i = 0; i < 10000; ++i) {
        const double y = (i * 37) % 101;
        stairs << QPointF(i, y) << QPointF(i + 1, y);
    }
    const QPolygonF thin = orlex::report::Thinned(stairs, 100);
    EXPECT_LE(thin.size(), 4 * 101);
    EXPECT_EQ(thin.front(), stairs.front());
    EXPECT_EQ(thin.back(), stairs.back());
    const auto bounds = [](const QPolygonF& p) { return p.boundingRect(); };
    EXPECT_EQ(bounds(thin), bounds(stairs));
    for (int i = 1; i < thin.size(); ++i) EXPECT_GE(thin[i].x(), thin[i - 1].x());
    // Short lines stay as they are.
    const QPolygonF few{{0, 0}, {1, 1}, {2, 0}};
    EXPECT_EQ(orlex::report::Thinned(few, 10), few);
}

// Void rows and columns around a deck are left out of its plan.
TEST(DeckPlan, TheExtentLeavesOutVoidCells) {
    const std::vector<std::string> cells{"P8x.", "..0001..", "..1000..", "P8x."};
    const TLoaded loaded =
        orlex::test::LoadText(orlex::test::RoomText(8, 4, 1, 1, {{2, 1, 0, "P2x0"}}, cells));
    const auto extent = orlex::report::DeckExtent(loaded.Project->Decks[0], 8, 4);
    EXPECT_EQ(extent.FirstColumn, 2);
    EXPECT_EQ(extent.FirstRow, 1);
    EXPECT_EQ(extent.Columns, 4);
    EXPECT_EQ(extent.Rows, 2);
    const auto result = orlex::TEvacuationAnalysis(*loaded.Project, {}).Run();
    ASSERT_TRUE(result);
    const auto plan = orlex::report::BuildDeckPlan(*result, 0, loaded.Project->Decks[0]);
    using orlex::report::kPlanBlock;
    using orlex::report::kPlanFloor;
    EXPECT_EQ(plan.Keys, (std::vector<int>{kPlanFloor, kPlanFloor, kPlanFloor, kPlanBlock,
                                           kPlanBlock, kPlanFloor, kPlanFloor, kPlanFloor}));
}

TEST(DeckPlan, ScaleBarsOfRoundLengths) {
    const struct {
        double Least, Length, Segment;
    } cases[] = {{9.4, 10, 5}, {10, 10, 5},     {2.28, 5, 1}, {1.5, 2, 1},
                 {37, 50, 10}, {0.3, 0.5, 0.1}, {0, 1, 0.5}};
    for (const auto& c : cases) {
        const auto bar = orlex::report::ScaleBarOf(c.Least);
        EXPECT_DOUBLE_EQ(bar.Length, c.Length) << c.Least;
        EXPECT_DOUBLE_EQ(bar.Segment, c.Segment) << c.Least;
    }
}

TEST(DeckPlan, StepsKeepPlanCellsPrintable) {
    const struct {
        double CellMm;
        int Columns, Rows;
        int Step;
    } cases[] = {
        {0.27, 1000, 200, 1},     // a large deck on a landscape page
        {0.1, 2000, 100, 1},      // at the limit of the print
        {0.05, 4000, 100, 2},     // finer than the print
        {0.0027, 100000, 8, 38},  // a very long deck
        {1.0, 10000, 10000, 5},   // more cells than a plan holds
        {0.0, 0, 0, 1},           // no cells
    };
    for (const auto& c : cases) {
        EXPECT_EQ(orlex::report::PlanStep(c.CellMm, {0, 0, c.Columns, c.Rows}), c.Step)
            << c.Columns << " x " << c.Rows;
    }
}

}  // namespace

int main(int argc, char** argv) {
    // The report needs fonts, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
