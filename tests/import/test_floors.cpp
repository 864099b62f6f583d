// Floors found from z: clusters at floor heights, persons on the stairs, noisy
// heights of a camera, decks of a geometry; and the persons' level changes.
#include <gtest/gtest.h>

#include <cmath>

#include "importsupport.h"
#include "source.h"

namespace orlex::import {
namespace {

using test::Entries;
using test::LoadText;
using test::LogText;

// A person who stands at z0, walks the stairs to z1 in climb seconds and stands
// there, one sample a second; noise wobbles the heights (a camera's head height).
std::vector<TSample> Climb(double z0, double z1, int before, int climb, int after,
                           double noise = 0) {
    std::vector<TSample> samples;
    int frame = 0;
    const auto add = [&](double z) {
        const double wobble = noise * std::sin(frame * 2.1);
        samples.push_back({frame, 0.2 + 0.1 * frame, 0.2, z + wobble});
        ++frame;
    };
    for (int k = 0; k < before; ++k) add(z0);
    for (int k = 0; k < climb; ++k) add(z0 + (z1 - z0) * k / climb);
    for (int k = 0; k <= after; ++k) add(z1);
    return samples;
}

TTrajectorySet SetOf(std::vector<std::vector<TSample>> persons) {
    TTrajectorySet set;
    set.Source = "floors.txt";
    set.Fps = 1;
    int64_t id = 1;
    for (auto& samples : persons) set.Persons.push_back({id++, std::move(samples)});
    return set;
}

struct TFloorCase {
    const char* Name;
    TTrajectorySet Set;
    std::vector<double> Heights;
};

TEST(FloorsFromZ, ClustersOfHeightsWithPersonsOnTheStairs) {
    const TFloorCase cases[] = {
        {"one floor", SetOf({Climb(0, 0, 50, 0, 50)}), {0}},
        {"camera heights", SetOf({Climb(1.72, 1.72, 60, 0, 60, 0.04)}), {1.72}},
        {"three decks, stairs between",
         SetOf({Climb(0, 3, 40, 12, 40), Climb(3, 6, 30, 12, 60), Climb(6, 0, 20, 24, 30)}),
         {0, 3, 6}},
        {"a slow queue on the stairs",
         SetOf({Climb(0, 3.5, 100, 60, 100), Climb(0, 3.5, 80, 70, 120)}),
         {0, 3.5}},
        {"noisy decks", SetOf({Climb(1.7, 4.7, 60, 10, 60, 0.05)}), {1.7, 4.7}},
    };
    for (const TFloorCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TSetSource source(c.Set);
        const TFloors floors = Summarize(source, true).Floors;
        ASSERT_EQ(floors.Heights.size(), c.Heights.size());
        for (std::size_t i = 0; i < c.Heights.size(); ++i) {
            EXPECT_NEAR(floors.Heights[i], c.Heights[i], 0.06);
            EXPECT_EQ(floors.Levels[i], static_cast<int>(i));
        }
    }
}

TEST(FloorsFromZ, APersonOnTheStairsBelongsToTheFloorBelowUntilHalfWay) {
    TFloors floors;
    floors.Heights = {0, 3, 7};
    floors.Levels = {0, 1, 2};
    const std::pair<double, int> cases[] = {{-1, 0}, {0, 0},   {1.4, 0}, {1.5, 0}, {1.51, 1},
                                            {3, 1},  {4.9, 1}, {5.1, 2}, {40, 2}};
    for (const auto& [z, level] : cases) EXPECT_EQ(floors.LevelOf(z), level) << "z " << z;
    EXPECT_EQ(TFloors{}.LevelOf(12), 0);
}

TEST(FloorsFromZ, FittedToTheDecksOfAGeometry) {
    struct TFit {
        const char* Name;
        std::vector<double> Heights;
        int Decks;
        std::vector<int> Levels;  // empty: refused
    };
    const TFit cases[] = {
        {"as many", {0.1, 2.9, 6.2}, 3, {0, 1, 2}},
        {"an empty deck between", {0, 3, 9}, 4, {0, 1, 3}},
        {"upper decks only", {3, 6}, 4, {1, 2}},
        {"one floor", {1.7}, 5, {0}},
        {"more floors than decks", {0, 3, 6}, 2, {}},
        {"beyond the top deck", {6, 9}, 3, {}},
        {"no common spacing", {0, 3, 4.2}, 5, {}},
    };
    for (const TFit& c : cases) {
        SCOPED_TRACE(c.Name);
        TFloors floors;
        floors.Heights = c.Heights;
        for (std::size_t i = 0; i < c.Heights.size(); ++i)
            floors.Levels.push_back(static_cast<int>(i));
        if (c.Levels.empty()) {
            EXPECT_THROW(FitFloorsToDecks(floors, c.Decks, "f.txt"), TImportError);
        } else {
            FitFloorsToDecks(floors, c.Decks, "f.txt");
            EXPECT_EQ(floors.Levels, c.Levels);
        }
    }
}

TEST(FloorsFromZ, AbsurdHeightsAreRefused) {
    TTrajectorySet set = SetOf({Climb(0, 0, 3, 0, 3)});
    set.Persons[0].Samples[2].Z = 1e12;
    TSetSource source(set);
    EXPECT_THROW(Summarize(source, true), TImportError);
}

TEST(FloorsFromZ, TheClimbBecomesOneLevelChangeOnTheDecksFound) {
    // Up the stairs from deck 0 to deck 1 and back down to deck 0.
    std::vector<TSample> samples = Climb(0, 3, 3, 4, 2);
    const std::vector<TSample> down = Climb(3, 0, 0, 4, 2);
    for (const TSample& s : down)
        samples.push_back(
            {s.Frame + samples.back().Frame + 1, 0.2 + 0.1 * samples.size(), s.Y, s.Z});
    const TTrajectorySet set = SetOf({samples});
    TSetSource source(set);
    const TTrajectorySummary summary = Summarize(source, true);
    TCellOptions options;
    options.StepRate = 1;
    const TConversion c =
        Convert(source, summary, PlanOfTrajectories(set.Source, summary, options), options);
    ASSERT_EQ(c.Plan.Decks.size(), 2u);
    EXPECT_EQ(c.Persons[0].StartLevel, 0);
    const auto loaded = LoadText(LogText(c));
    const TLogFile1& project = *loaded.Project;
    ASSERT_TRUE(loaded.Recorder.Messages.empty());
    ASSERT_EQ(project.ZMax, 2);
    int level = 0, ups = 0, downs = 0;
    std::vector<int> levels;
    for (const TStep& step : Entries(project, 0)) {
        level += step.LevelChange;
        ups += step.LevelChange > 0;
        downs += step.LevelChange < 0;
        levels.push_back(level);
    }
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(downs, 1);
    // Half-way up the 4 s climb (z 1.5 at 5 s) the person is still below.
    EXPECT_EQ(levels[4], 0);
    EXPECT_EQ(levels[5], 1);
    EXPECT_EQ(levels.back(), 0);
    // Cells visited on each deck are its floor.
    EXPECT_NE(c.Plan.Decks[1].Cells.find('0'), std::string::npos);
}

}  // namespace
}  // namespace orlex::import
