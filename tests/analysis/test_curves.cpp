// The curves and exit times of the analysis, worked out by hand on small projects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis.h"
#include "jsonwriter.h"
#include "projects.h"

namespace {

using orlex::TAnalysisResult;
using orlex::TEvacuationAnalysis;
using orlex::test::kExampleFile;
using orlex::test::LoadText;

std::unique_ptr<TAnalysisResult> Analyse(const orlex::TLogFile1& project,
                                         orlex::TAnalysisSettings settings = {},
                                         orlex::TAnalysisOptions options = {}) {
    TEvacuationAnalysis analysis(project, settings, options);
    return analysis.Run();
}

// Person 0 walks two cells east and stands two steps (4 steps), person 1 walks
// three cells east (3 steps); 2 steps a second, 30 s offset.
TEST(AnalysisExample, SavedCountAndOccupancyAtEveryStep) {
    const auto loaded = LoadText(kExampleFile);
    const auto r = Analyse(*loaded.Project);
    ASSERT_TRUE(r);
    struct {
        int Step, Saved, Occupancy;
    } const rows[] = {{0, 0, 2}, {1, 0, 2}, {2, 0, 2}, {3, 0, 2}, {4, 1, 1}, {5, 2, 0}, {9, 2, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Step);
        EXPECT_EQ(r->Saved.At(row.Step), row.Saved);
        EXPECT_EQ(r->Occupancy.at(0).At(row.Step), row.Occupancy);
    }
    EXPECT_EQ(r->Curves().Saved, (std::vector<int>{0, 0, 1, 2}));
    EXPECT_EQ(r->Curves().Occupancy, (std::vector<std::vector<int>>{{2, 2, 1, 0}}));
}

TEST(AnalysisExample, ExitTimesEvacuationTimeAndDuration) {
    const auto loaded = LoadText(kExampleFile);
    const auto r = Analyse(*loaded.Project);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->ExitTimes, (std::vector<double>{32.5, 32.0}));
    EXPECT_EQ(r->EvacuationTime, 32.5);
    EXPECT_EQ(r->Duration, 2.5);
    EXPECT_EQ(r->LastStep, 4);
    ASSERT_TRUE(r->ExitStats);
    EXPECT_EQ(r->ExitStats->Min, 32.0);
    EXPECT_EQ(r->ExitStats->Mean, 32.25);
    EXPECT_EQ(r->ExitStats->P50, 32.5);  // m = min(2, ceil(1) + 1)
    EXPECT_EQ(r->ExitStats->P95, 32.5);
    EXPECT_EQ(r->ExitStats->Max, 32.5);
}

// The whole object for the example, as orlex-info and the export write it.
TEST(AnalysisExample, JsonObject) {
    const auto loaded = LoadText(kExampleFile);
    const auto r = Analyse(*loaded.Project);
    ASSERT_TRUE(r);
    EXPECT_EQ(orlex::AnalysisJson(*r),
              "{\"file\":null,\"fileName\":null,\"deckCaptions\":[\"\"],"
              "\"stepsPerSecond\":2,\"timeOffset\":30,\"complete\":true,\"cutTracks\":0,"
              "\"exitTimePerPerson\":[32.5,32],\"evacuationTime\":32.5,\"duration\":2.5,"
              "\"exitTimes\":{\"min\":32,\"mean\":32.25,\"p50\":32.5,\"p95\":32.5,\"max\":32.5},"
              "\"savedPerSecond\":[0,0,1,2],\"occupancyPerSecond\":[[2,2,1,0]],"
              "\"curveStepSeconds\":1,\"curveRule\":\"value at the start of each bucket\","
              // Both tracks end east, on diagonal neighbours: one exit two cells wide.
              "\"flowWindow\":10,\"exits\":[{\"name\":\"Exit at x 1.6 m, y 0.8 m, Main deck\","
              "\"deck\":0,\"deckCaption\":\"\",\"x\":1.6,\"y\":0.8,\"cells\":[[1,3],[2,4]],"
              "\"width\":0.8,\"persons\":2,\"first\":32,\"last\":32.5,\"peakFlow\":0.2,"
              "\"peakSpecificFlow\":0.25,\"aboveLimit\":false}],\"lines\":[],\"areas\":[],"
              "\"clearTimes\":[{\"deck\":0,\"deckCaption\":\"\",\"lastStep\":4,\"time\":32.5}],"
              "\"density\":{\"cellSize\":0.4,\"window\":5,\"limit\":4,\"share\":0.1,"
              "\"peak\":{\"value\":0.5,\"deck\":0,\"deckCaption\":\"\",\"row\":0,\"column\":0,"
              "\"step\":0},"
              "\"congested\":[],\"congestedCount\":0},\"usagePerDeck\":[4.5]}");
}

TEST(AnalysisCurves, NoPersonsGiveNoTimes) {
    const auto loaded = LoadText(orlex::test::ProjectText({"A"}, 2, {}));
    const auto r = Analyse(*loaded.Project);
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->EvacuationTime);
    EXPECT_FALSE(r->Duration);
    EXPECT_FALSE(r->ExitStats);
    EXPECT_FALSE(r->Peak);
    EXPECT_EQ(r->Curves().Saved, std::vector<int>{0});
    const std::string json = orlex::AnalysisJson(*r);
    EXPECT_NE(json.find("\"evacuationTime\":null,\"duration\":null,\"exitTimes\":null,"
                        "\"savedPerSecond\":[0]"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"peak\":null"), std::string::npos) << json;
}

// Runs whose last tracks were cut: no evacuation time, exit times of the complete
// tracks only, the cut persons unknown (NaN); playback's saved curve stays.
TEST(AnalysisCurves, CutTracksMakeTheRunIncomplete) {
    const std::string full = orlex::test::ProjectText({"A"}, 1, {"33S", "3S", "333S", "3S"});
    const std::string movement = full.substr(0, full.find("(movement)") + 10);
    const struct {
        const char* name;
        std::string text;
        int cut;
        std::vector<double> known;  // exit times of the complete tracks
    } cases[] = {
        {"complete", full, 0, {3, 2, 4, 2}},
        {"cut in the third track", full.substr(0, full.find("333S") + 2), 2, {3, 2}},
        {"cut after the third S", full.substr(0, full.find("333S") + 4), 1, {3, 2, 4}},
        {"no movement", movement.substr(0, movement.size() - 10) + "</persons>\n", 4, {}},
        {"cut at the first track", movement, 4, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto loaded = LoadText(c.text);
        const auto r = Analyse(*loaded.Project);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->CutTracks, c.cut);
        EXPECT_EQ(r->Complete(), c.cut == 0);
        ASSERT_EQ(r->ExitTimes.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i) {
            if (i < c.known.size()) {
                EXPECT_EQ(r->ExitTimes[i], c.known[i]) << i;
            } else {
                EXPECT_TRUE(std::isnan(r->ExitTimes[i])) << i;
            }
        }
        if (c.cut == 0) {
            EXPECT_EQ(r->EvacuationTime, 4.0);
        } else {
            EXPECT_FALSE(r->EvacuationTime);
        }
        EXPECT_EQ(r->ExitStats.has_value(), !c.known.empty());
        if (!c.known.empty()) {
            EXPECT_EQ(r->ExitStats->Max, *std::max_element(c.known.begin(), c.known.end()));
            EXPECT_EQ(r->ExitStats->Min, *std::min_element(c.known.begin(), c.known.end()));
        }
        EXPECT_EQ(r->Curves().Saved.back(), 4);  // playback's view: every track ends
        const std::string json = orlex::AnalysisJson(*r);
        EXPECT_NE(json.find(std::string("\"complete\":") + (c.cut == 0 ? "true" : "false") +
                            ",\"cutTracks\":" + std::to_string(c.cut) + ","),
                  std::string::npos)
            << json;
    }
}

// VMax 0 counts as one step a second.
TEST(AnalysisCurves, StepsPerSecondOfAtLeastOne) {
    std::string text = orlex::test::ProjectText({"A"}, 1, {"33S"});
    text.replace(text.find("vmax 1"), 6, "vmax 0");
    const auto loaded = LoadText(text);
    const auto r = Analyse(*loaded.Project);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->StepsPerSecond, 1);
    EXPECT_EQ(r->EvacuationTime, 3.0);
}

// The ranking rule: x_m with m = min(N, ceil(X/100 N) + 1), on the values 1 .. N.
TEST(AnalysisPercentile, RankingRule) {
    struct {
        int N;
        double Percent;
        double Expected;
    } const rows[] = {
        {1, 95, 1},   {1, 50, 1},   {10, 95, 10},  {10, 50, 6},   {20, 95, 20},   {20, 50, 11},
        {50, 95, 49}, {50, 50, 26}, {100, 95, 96}, {100, 50, 51}, {100, 99, 100}, {7, 100, 7},
    };
    for (const auto& row : rows) {
        std::vector<double> values;
        for (int i = 1; i <= row.N; ++i) values.push_back(i);
        SCOPED_TRACE(testing::Message() << "N=" << row.N << " p" << row.Percent);
        EXPECT_EQ(orlex::RankPercentile(values, row.Percent), row.Expected);
    }
    EXPECT_FALSE(orlex::RankPercentile({}, 95));
}

TEST(AnalysisPercentile, StatisticsSortTheirValues) {
    const auto s = orlex::ExitStatistics({5, 1, 4, 2, 3});
    ASSERT_TRUE(s);
    EXPECT_EQ(s->Min, 1);
    EXPECT_EQ(s->Max, 5);
    EXPECT_EQ(s->Mean, 3);
    EXPECT_EQ(s->P50, 4);  // ceil(2.5) + 1 = 4th value
    EXPECT_EQ(s->P95, 5);
}

TEST(AnalysisLevelOfService, FruinWalkwayLevels) {
    // Each class from its lower limit up to, not including, the next.
    const std::pair<double, char> rows[] = {{0.0, 'A'},  {0.3099, 'A'}, {0.31, 'B'}, {0.4299, 'B'},
                                            {0.43, 'C'}, {0.7199, 'C'}, {0.72, 'D'}, {1.0799, 'D'},
                                            {1.08, 'E'}, {2.1699, 'E'}, {2.17, 'F'}, {9.0, 'F'}};
    for (const auto& [density, level] : rows) {
        EXPECT_EQ(orlex::LevelOfService(density), level) << density;
    }
}

}  // namespace
