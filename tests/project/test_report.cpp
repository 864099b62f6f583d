// The project data report.
#include <gtest/gtest.h>

#include "projects.h"

using namespace orlex::test;

namespace orlex {
namespace {

TEST(Report, ExampleLines) {
    TLoaded l = LoadText(kExampleFile);
    TRecorder report;
    report.AddLine("old line");
    l.Project->ReportTo(report);
    const std::vector<std::pair<std::string, bool>> expected = {
        {" ", false},
        {"Project Size:", true},
        {"\tLenght [cells]:\t\t\t6", false},
        {"\tWidth [cells]:\t\t\t4", false},
        {"\tDecks:\t\t\t\t1", false},
        {"\tAgents:\t\t\t\t2", false},
        {"", false},
        {"3D-Statistics:", true},
        {"\tDeck 0 [cells, polygons, reduction]:\t24,\t27,\t-12%", false},
    };
    EXPECT_EQ(report.Lines, expected);
}

TEST(Report, ReductionIsTruncated) {
    struct Case {
        int cells, quads;
        const char* tail;
    } cases[] = {{100, 1, "99%"}, {200, 3, "98%"}, {24, 27, "-12%"}, {0, 0, "n/a"}, {5, 5, "0%"}};
    for (const Case& c : cases) {
        TLogFile1 project("Deck");
        project.ZMax = 1;
        project.Decks.resize(1);
        project.DecksAllocated = true;
        project.Decks[0].CellCount = c.cells;
        project.Decks[0].Quads.resize(c.quads);
        TRecorder report;
        project.ReportTo(report);
        const std::string& last = report.Lines.back().first;
        EXPECT_EQ(last.substr(last.rfind('\t') + 1), c.tail) << c.cells << "/" << c.quads;
    }
}

TEST(Report, NoDecksEndsWithTheStatisticsTitle) {
    TLoaded l = LoadText("<header> pmax 1 xmax 2 ymax 2 zmax 0 vmax 1 </header>");
    TRecorder report;
    l.Project->ReportTo(report);
    EXPECT_EQ(report.Lines.back(), std::make_pair(std::string("3D-Statistics:"), true));
}

TEST(Report, LevelsAreNamedByLevelWordAndNumber) {
    TLoaded l = LoadText(
        "<header> pmax 1 xmax 1 ymax 1 zmax 2 vmax 1 </header> <deck> level 1 caption Top "
        "\n (celldata) 0 </deck>");
    TRecorder report;
    l.Project->ReportTo(report);
    EXPECT_EQ(report.Lines[report.Lines.size() - 2].first,
              "\tDeck 0 [cells, polygons, reduction]:\t0,\t0,\tn/a");
    EXPECT_EQ(report.Lines.back().first, "\tDeck 1 [cells, polygons, reduction]:\t1,\t1,\t0%");
}

}  // namespace
}  // namespace orlex
