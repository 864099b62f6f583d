// The rows of the summary table: deck labels, the settings with their units, the
// results of a known project, and results without persons or density maps.
#include <gtest/gtest.h>

#include "analysis.h"
#include "projects.h"
#include "summary.h"

namespace {

using orlex::TSummaryRow;

TEST(Summary, DeckLabels) {
    const std::vector<std::string> captions{"Main deck", "", "Bridge"};
    const struct {
        int Deck;
        const char* Label;
    } rows[] = {{0, "Main deck"}, {1, "Deck 1"}, {2, "Bridge"}, {3, "Deck 3"}, {-1, "Deck -1"}};
    for (const auto& row : rows) EXPECT_EQ(orlex::DeckLabel(captions, row.Deck), row.Label);
}

TEST(Summary, SettingsWithTheirUnits) {
    const struct {
        orlex::TAnalysisSettings Settings;
        std::vector<TSummaryRow> Rows;
    } cases[] = {
        {{},
         {{"Cell size", "0.4 m"},
          {"Density window", "5 \u00d7 5 cells (2 \u00d7 2 m)"},
          {"Density limit", "4 persons/m\u00b2"},
          {"Congestion share", "10 % of the duration"}}},
        {{0.5, 3, 2.5, 0.25},
         {{"Cell size", "0.5 m"},
          {"Density window", "3 \u00d7 3 cells (1.5 \u00d7 1.5 m)"},
          {"Density limit", "2.5 persons/m\u00b2"},
          {"Congestion share", "25 % of the duration"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(orlex::SettingsRows(c.Settings), c.Rows);
}

// The example: two persons saved at 32.5 s and 32 s, one deck, no crowd.
TEST(Summary, ResultsOfTheExample) {
    const auto loaded = orlex::test::LoadText(orlex::test::kExampleFile);
    const auto result = orlex::TEvacuationAnalysis(*loaded.Project, {}).Run();
    ASSERT_TRUE(result);
    const std::vector<TSummaryRow> rows = orlex::SummaryRows(*result, {"Main deck"});
    ASSERT_EQ(rows.size(), 9u);
    const std::vector<TSummaryRow> head(rows.begin(), rows.begin() + 7);
    EXPECT_EQ(head, (std::vector<TSummaryRow>{{"Persons", "2"},
                                              {"Evacuation time", "32.50 s"},
                                              {"Exit time min", "32.00 s"},
                                              {"Exit time mean", "32.25 s"},
                                              {"Exit time p50", "32.50 s"},
                                              {"Exit time p95", "32.50 s"},
                                              {"Exit time max", "32.50 s"}}));
    EXPECT_EQ(rows[7].Name, "Peak density");
    EXPECT_NE(rows[7].Value.find("persons/m\u00b2 (level of service "), std::string::npos)
        << rows[7].Value;
    EXPECT_NE(rows[7].Value.find(" on Main deck, row "), std::string::npos) << rows[7].Value;
    EXPECT_EQ(rows[8], (TSummaryRow{"Congested cells, Main deck", "0"}));
}

TEST(Summary, NoPersonsAndNoDensity) {
    orlex::TAnalysisResult none;
    none.HasDensity = false;
    const struct {
        bool TooLarge;
        const char* Density;
    } cases[] = {{false, "not computed"}, {true, "not computed: grid too large"}};
    for (const auto& c : cases) {
        none.DensityTooLarge = c.TooLarge;
        const std::vector<TSummaryRow> rows = orlex::SummaryRows(none, {});
        ASSERT_EQ(rows.size(), 8u);
        EXPECT_EQ(rows[0], (TSummaryRow{"Persons", "0"}));
        for (std::size_t i = 1; i < 7; ++i) EXPECT_EQ(rows[i].Value, "-") << rows[i].Name;
        EXPECT_EQ(rows[7], (TSummaryRow{"Density", c.Density}));
    }
}

// A run with cut tracks: why it is incomplete, and no evacuation time.
TEST(Summary, IncompleteRun) {
    std::string text = orlex::test::ProjectText({"A"}, 1, {"33S", "3S", "333S"});
    text.resize(text.find("333S") + 2);
    const auto loaded = orlex::test::LoadText(text);
    const auto result = orlex::TEvacuationAnalysis(*loaded.Project, {}).Run();
    ASSERT_TRUE(result);
    const std::vector<TSummaryRow> rows = orlex::SummaryRows(*result, {"A"});
    ASSERT_GE(rows.size(), 5u);
    const std::vector<TSummaryRow> head(rows.begin(), rows.begin() + 5);
    EXPECT_EQ(head, (std::vector<TSummaryRow>{
                        {"Persons", "3"},
                        {"Run",
                         "incomplete (1 of 3 tracks cut by the end of the file or missing; exit "
                         "times of the other 2)"},
                        {"Evacuation time", "unknown (incomplete run)"},
                        {"Exit time min", "2.00 s"},
                        {"Exit time mean", "2.50 s"}}));
}

TEST(Summary, CongestedCellsByCaption) {
    orlex::TAnalysisResult r;
    r.HasDensity = true;
    r.CongestedPerDeck = {3, 0, 12};
    const std::vector<TSummaryRow> rows = orlex::SummaryRows(r, {"Deck A", "", "Deck C"});
    const std::vector<TSummaryRow> tail(rows.end() - 4, rows.end());
    EXPECT_EQ(tail, (std::vector<TSummaryRow>{{"Peak density", "-"},
                                              {"Congested cells, Deck A", "3"},
                                              {"Congested cells, Deck 1", "0"},
                                              {"Congested cells, Deck C", "12"}}));
}

}  // namespace
