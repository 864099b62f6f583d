// Measurement lines and areas worked out by hand on small rooms: crossings and their
// flows, densities and speeds, and persons entering late.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis.h"
#include "projects.h"
#include "rooms.h"

namespace orlex {
namespace {

using test::LoadText;
using test::RoomText;
using test::TRoomPerson;

// A room of 10 x 10 cells of 0.4 m, one step a second: column c lies at x = 0.4 c + 0.2,
// row r at y = 3.8 - 0.4 r.
std::unique_ptr<TAnalysisResult> Measured(const std::string& text, const TMeasureSet& set,
                                          TAnalysisSettings settings = {}, int threads = 1) {
    const auto loaded = LoadText(text);
    TAnalysisOptions options;
    options.Threads = threads;
    options.Measures = &set;
    return TEvacuationAnalysis(*loaded.Project, settings, options).Run();
}

// Inserts the entry steps of persons (index, step) after the header.
std::string WithEntries(std::string text, const std::vector<std::pair<int, int>>& entries) {
    std::string section = "<import>\n";
    for (const auto& [person, step] : entries)
        section += "entry " + std::to_string(person) + " " + std::to_string(step) + "\n";
    return text.insert(text.find("</header>\n") + 10, section + "</import>\n");
}

// The line x = 2 m runs between columns 4 and 5 over the whole room.
const TMeasureLine kMiddle{"Middle", 0, {2.0, 0.0}, {2.0, 4.0}};

TEST(MeasurementLines, EachPersonCountsOnceInEitherDirection) {
    const std::vector<TRoomPerson> persons = {
        {2, 5, 0, "P5x3P5x7"},  // east over the line at step 3, back west at step 8
        {8, 2, 0, "P6x7"},      // west at step 4
        {4, 8, 0, "373"},       // east at 1, west at 2, east again at 3
        {1, 1, 0, "P6x1"},      // walks north: never crosses
        {3, 3, 0, "P3x2"},      // north-east, from column 4 to 5 at step 2
    };
    TMeasureSet set;
    set.Lines = {
        kMiddle, {"Other deck", 1, {2.0, 0.0}, {2.0, 4.0}}, {"Short", 0, {2.0, 3.1}, {2.0, 4.0}}};
    for (const int threads : {1, 3}) {
        const auto r = Measured(RoomText(10, 10, 2, 1, persons), set, {}, threads);
        ASSERT_TRUE(r);
        ASSERT_TRUE(r->HasMeasurements);
        ASSERT_EQ(r->Lines.size(), 3u);
        EXPECT_EQ(r->Lines[0].Name, "Middle");
        EXPECT_EQ(r->Lines[0].CrossingTimes, (std::vector<double>{1, 2, 3, 4}));
        EXPECT_DOUBLE_EQ(r->Lines[0].Length, 4.0);
        EXPECT_DOUBLE_EQ(r->Lines[0].PeakFlow, 0.4);  // 4 persons in 10 s
        EXPECT_DOUBLE_EQ(r->Lines[0].PeakSpecificFlow, 0.1);
        EXPECT_TRUE(r->Lines[1].CrossingTimes.empty());
        EXPECT_EQ(r->Lines[1].PeakFlow, 0);
        // y 3.1 to 4 m reaches down to row 1.75: only the diagonal walker crosses it,
        // at row 1.5.
        EXPECT_EQ(r->Lines[2].CrossingTimes, (std::vector<double>{2}));
    }
}

TEST(MeasurementLines, CrossingTimesFollowTheStepRateAndOffset) {
    std::string text = RoomText(10, 10, 1, 4, {{2, 5, 0, "P5x3"}, {2, 6, 0, "P2x0P5x3"}});
    text.replace(text.find("toff 0"), 6, "toff 30");
    TMeasureSet set;
    set.Lines = {kMiddle};
    const auto r = Measured(text, set);
    ASSERT_TRUE(r);
    // Steps 3 and 5 at 4 steps a second, 30 s after the start.
    EXPECT_EQ(r->Lines[0].CrossingTimes, (std::vector<double>{30.75, 31.25}));
}

// A queue of 20 persons through a door of one cell (column 5, row 5): one a second.
std::string QueueText(int persons) {
    std::vector<TRoomPerson> queue;
    for (int i = 0; i < persons; ++i)
        queue.push_back({4, 5, 0, (i > 0 ? "P" + std::to_string(i) + "x0" : "") + "3"});
    return RoomText(10, 10, 1, 1, queue);
}

TEST(MeasurementLines, QueueThroughAOneCellDoor) {
    TMeasureSet set;
    set.Lines = {{"Door", 0, {2.0, 1.6}, {2.0, 2.0}}};  // 0.4 m across row 5
    const struct {
        double Window, Peak;
    } windows[] = {{10, 1.0}, {4, 1.0}, {30, 20.0 / 30}, {1, 1.0}};
    for (const auto& w : windows) {
        SCOPED_TRACE(w.Window);
        TAnalysisSettings settings;
        settings.FlowWindow = w.Window;
        const auto r = Measured(QueueText(20), set, settings);
        ASSERT_TRUE(r);
        const TLineResult& door = r->Lines[0];
        ASSERT_EQ(door.CrossingTimes.size(), 20u);
        EXPECT_EQ(door.CrossingTimes.front(), 1);
        EXPECT_EQ(door.CrossingTimes.back(), 20);
        EXPECT_DOUBLE_EQ(door.PeakFlow, w.Peak);
        EXPECT_DOUBLE_EQ(door.PeakSpecificFlow, w.Peak / 0.4);
    }
}

TEST(MeasurementFlow, SlidingWindowByHand) {
    const std::vector<double> times = {1, 1, 1, 2, 5, 11, 11.5, 12};
    const struct {
        double Window, Peak;
    } rows[] = {{1, 3}, {2, 4 / 2.0}, {10, 5 / 10.0}, {10.5, 6 / 10.5}, {100, 8 / 100.0}};
    for (const auto& row : rows)
        EXPECT_DOUBLE_EQ(PeakFlow(times, row.Window), row.Peak) << row.Window;
    EXPECT_EQ(PeakFlow({}, 10), 0);
    // (t - 10, t]: at 11 the times 1 leave the window, 11 comes in.
    EXPECT_DOUBLE_EQ(FlowAt(times, 10, 10.5), 0.5);
    EXPECT_DOUBLE_EQ(FlowAt(times, 10, 11), 0.3);
    EXPECT_DOUBLE_EQ(FlowAt(times, 10, 0.5), 0);
}

// The area of columns 2 to 4 and rows 2 to 4: x 0.8 to 2 m, y 2 to 3.2 m, 1.44 m².
const TMeasureArea kSquare{"Square", 0, {{0.8, 2.0}, {2.0, 2.0}, {2.0, 3.2}, {0.8, 3.2}}};

TEST(MeasurementAreas, DensityAndSpeedAtEveryStep) {
    const std::vector<TRoomPerson> persons = {
        {3, 3, 0, "P4x0"},  // inside at steps 0 to 4, standing
        {0, 3, 0, "P6x3"},  // inside at steps 2 to 4, 0.4 m/s
        {3, 3, 0, "P5x0"},  // enters at step 3: inside at 3 to 5
        {3, 3, 1, "P6x0"},  // on the other deck
    };
    TMeasureSet set;
    set.Areas = {kSquare};
    for (const int threads : {1, 2}) {
        const auto r =
            Measured(WithEntries(RoomText(10, 10, 2, 1, persons), {{2, 3}}), set, {}, threads);
        ASSERT_TRUE(r);
        ASSERT_EQ(r->Areas.size(), 1u);
        const TAreaResult& a = r->Areas[0];
        EXPECT_NEAR(a.Area, 1.44, 1e-12);
        EXPECT_EQ(a.EveryStep, 1);
        EXPECT_EQ(a.Count, (std::vector<int>{1, 1, 2, 3, 3, 1, 0}));
        const std::optional<double> none;
        const std::vector<std::optional<double>> speeds = {none, 0.0, 0.2, 0.2, 0.2, none, none};
        ASSERT_EQ(a.Speed.size(), speeds.size());
        for (std::size_t k = 0; k < speeds.size(); ++k) {
            ASSERT_EQ(a.Speed[k].has_value(), speeds[k].has_value()) << k;
            if (speeds[k]) {
                EXPECT_NEAR(*a.Speed[k], *speeds[k], 1e-12) << k;
            }
        }
    }
}

TEST(MeasurementAreas, SpeedOverASecondOfSteps) {
    // Two steps a second: the positions a second before and after are 2 steps away.
    const auto r = Measured(RoomText(10, 10, 1, 2, {{0, 3, 0, "P8x3"}}), {{}, {kSquare}});
    ASSERT_TRUE(r);
    const TAreaResult& a = r->Areas[0];
    EXPECT_EQ(a.Count, (std::vector<int>{0, 0, 1, 1, 1, 0, 0, 0, 0}));
    ASSERT_TRUE(a.Speed[3]);
    EXPECT_NEAR(*a.Speed[3], 0.8, 1e-12);  // 4 cells in 2 s
}

TEST(MeasurementAreas, LongRunsAreSampledAtTheCurveLimit) {
    // 250001 steps: every third step fits the limit of 100000 points.
    const auto r = Measured(RoomText(10, 10, 1, 1, {{3, 3, 0, "P250000x0"}}), {{}, {kSquare}});
    ASSERT_TRUE(r);
    const TAreaResult& a = r->Areas[0];
    EXPECT_EQ(a.EveryStep, 3);
    EXPECT_EQ(a.Count.size(), 83334u);
    EXPECT_EQ(a.Count.back(), 1);  // step 249999
    EXPECT_LE(a.Count.size(), kMaxCurvePoints);
}

// Bad input stays within bounds: a step rate too high to keep a second of places
// gives counts without speeds; thousands of areas share the points of the series.
TEST(MeasurementAreas, AbsurdRatesAndCountsStayBounded) {
    auto r = Measured(RoomText(10, 10, 1, 5000, {{0, 3, 0, "P8x3"}}), {{}, {kSquare}});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Areas[0].Count, (std::vector<int>{0, 0, 1, 1, 1, 0, 0, 0, 0}));
    for (const auto& speed : r->Areas[0].Speed) EXPECT_FALSE(speed);

    TMeasureSet many;
    many.Areas.assign(5000, kSquare);
    r = Measured(RoomText(10, 10, 1, 1, {{3, 3, 0, "P3000x0"}}), many);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->Areas.size(), 5000u);
    EXPECT_EQ(r->Areas[0].EveryStep, 2);  // 1501 points of 3001 steps, at most 1677 an area
    EXPECT_LE(r->Areas[0].Count.size() * 5000, std::size_t{1} << 23);
    EXPECT_EQ(r->Areas[4999].Count.back(), 1);
}

TEST(MeasurementLateEntries, NothingBeforeTheEntryCounts) {
    // Crosses at step 2 before it enters at step 5, then back at step 6 and again at 9.
    const std::vector<TRoomPerson> persons = {{3, 3, 0, "33P3x07733"}};
    TMeasureSet set;
    set.Lines = {kMiddle};
    set.Areas = {{"East", 0, {{2.0, 0.0}, {4.0, 0.0}, {4.0, 4.0}, {2.0, 4.0}}}};
    const auto r = Measured(WithEntries(RoomText(10, 10, 1, 1, persons), {{0, 5}}), set);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Lines[0].CrossingTimes, (std::vector<double>{6}));
    // East of the line at steps 2 to 5 (before the entry from 2 to 4) and at 9.
    EXPECT_EQ(r->Areas[0].Count, (std::vector<int>{0, 0, 0, 0, 0, 1, 0, 0, 0, 1}));
}

TEST(MeasurementAreas, WithoutMeasurementsNothingIsMade) {
    const auto loaded = LoadText(QueueText(3));
    TAnalysisOptions options;
    options.Measurements = false;
    const auto r = TEvacuationAnalysis(*loaded.Project, {}, options).Run();
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->HasMeasurements);
    EXPECT_TRUE(r->Exits.empty());
}

}  // namespace
}  // namespace orlex
