// Trails from the tracks: the path of one person on one deck, and the trails
// of everyone kept up to date as the step counter moves either way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "playback.h"
#include "projects.h"
#include "scenerenderer.h"
#include "trails.h"

using namespace orlex;

namespace {

// Every person starts at column 1, row 1 of deck 0: the point (-1.5, 0.5).
struct TPathCase {
    const char* Track;
    int From, To, Deck;
    std::vector<float> Segments;
};

class TrailPath : public testing::TestWithParam<TPathCase> {};

TEST_P(TrailPath, SegmentsOnTheDeck) {
    const TPathCase c = GetParam();
    test::TLoaded loaded = test::LoadText(test::ProjectText({"A", "B"}, 1, {c.Track}));
    ASSERT_TRUE(loaded.Project);
    std::vector<float> out;
    AppendPath(loaded.Project->Persons[0], loaded.Project->XMax, loaded.Project->YMax, c.From, c.To,
               c.Deck, out);
    EXPECT_EQ(out, c.Segments) << c.Track << " " << c.From << ".." << c.To << " deck " << c.Deck;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrailPath,
    testing::Values(
        TPathCase{"333S", 0, 3, 0, {-1.5f, 0.5f, 1.5f, 0.5f}},  // one line, one segment
        TPathCase{"333S", 0, 1, 0, {-1.5f, 0.5f, -0.5f, 0.5f}},
        TPathCase{"3033S", 0, 4, 0, {-1.5f, 0.5f, 1.5f, 0.5f}},  // a stay keeps the line
        TPathCase{"32S", 0, 2, 0, {-1.5f, 0.5f, -0.5f, 0.5f, -0.5f, 0.5f, 0.5f, 1.5f}},
        TPathCase{"3U33S", 0, 4, 0, {-1.5f, 0.5f, -0.5f, 0.5f}},  // up to deck 1 after one
        TPathCase{"3U33S", 0, 4, 1, {0.5f, 0.5f, 1.5f, 0.5f}},
        TPathCase{"3U3D33S", 0, 4, 0, {-1.5f, 0.5f, -0.5f, 0.5f, 1.5f, 0.5f, 2.5f, 0.5f}},
        TPathCase{"3333S", 2, 4, 0, {0.5f, 0.5f, 2.5f, 0.5f}},
        TPathCase{"33S", 0, 10, 0, {-1.5f, 0.5f, 0.5f, 0.5f}},  // the track's end stops it
        TPathCase{"33S", 2, 2, 0, {}}, TPathCase{"P3x0S", 0, 3, 0, {}},
        TPathCase{"S", 0, 5, 0, {}}));

// What the cache must give: each person on the deck, its last window steps.
std::vector<float> Expected(const TLogFile1& p, int counter, int window, int deck) {
    std::vector<float> out;
    for (const TPersonData& person : p.Persons)
        if (person.Level == deck)
            AppendPath(person, p.XMax, p.YMax, std::max(0, counter - window), counter, deck, out);
    return out;
}

TEST(TrailCache, FollowsTheCounterBothWays) {
    test::TLoaded loaded = test::LoadText(
        test::ProjectText({"A", "B"}, 1, {"3377U37D73S", "2266S", "3737373S", "3U7D3S"}));
    ASSERT_TRUE(loaded.Project);
    TLogFile1& p = *loaded.Project;
    TPlayback playback;
    playback.SetProject(&p);
    TTrailCache cache;
    constexpr int window = 3;
    for (int target : {0, 1, 2, 5, 8, 3, 0, 4, 9, 12}) {
        while (playback.StepCounter < target) playback.StepForward();
        while (playback.StepCounter > target) playback.StepBackward();
        for (int deck : {0, 1}) {
            const std::vector<float>& got = cache.Segments(p.PersonData(), p.PersonCount(), p.XMax,
                                                           p.YMax, target, window, deck);
            EXPECT_EQ(got, Expected(p, target, window, deck))
                << "at " << target << " deck " << deck;
        }
    }
}

// The picked person's trail runs from its start and shows only the deck shown.
TEST(TrailCache, PickedTrailOfTheRenderer) {
    test::TLoaded loaded = test::LoadText(test::ProjectText({"A", "B"}, 1, {"33U33S", "1S"}));
    ASSERT_TRUE(loaded.Project);
    TLogFile1& p = *loaded.Project;
    TSceneRenderer renderer;  // the trails need no context
    TSceneInput scene;
    scene.Persons = p.PersonData();
    scene.PersonCount = p.PersonCount();
    scene.XMax = p.XMax;
    scene.YMax = p.YMax;
    scene.PickedPerson = 0;
    scene.StepCounter = 5;
    EXPECT_EQ(renderer.PickedTrail(scene), (std::vector<float>{-1.5f, 0.5f, 0.5f, 0.5f}));
    scene.CurrentDeck = 1;
    EXPECT_EQ(renderer.PickedTrail(scene), (std::vector<float>{1.5f, 0.5f, 2.5f, 0.5f}));
    scene.StepCounter = 1;  // a seek back
    EXPECT_TRUE(renderer.PickedTrail(scene).empty());
    scene.CurrentDeck = 0;
    EXPECT_EQ(renderer.PickedTrail(scene), (std::vector<float>{-1.5f, 0.5f, -0.5f, 0.5f}));
    scene.PickedPerson = -1;
    EXPECT_TRUE(renderer.PickedTrail(scene).empty());
}

}  // namespace

namespace {

// Another project's persons in the same array (same address, same count): once
// told, the renderer reads the new tracks, not what it kept of the old ones.
TEST(TrailCache, ForgottenWhenThePersonsAreReplaced) {
    test::TLoaded first = test::LoadText(test::ProjectText({"A"}, 1, {"3333S", "2222S"}));
    test::TLoaded second = test::LoadText(test::ProjectText({"A"}, 1, {"P4x0S", "3S"}));
    ASSERT_TRUE(first.Project && second.Project);
    TLogFile1& p = *first.Project;
    TSceneRenderer renderer;
    TSceneInput scene;
    scene.Persons = p.PersonData();
    scene.PersonCount = p.PersonCount();
    scene.XMax = p.XMax;
    scene.YMax = p.YMax;
    scene.StepCounter = 1;
    scene.TrailSteps = 4;
    scene.PickedPerson = 0;
    EXPECT_EQ(renderer.AllTrails(scene), Expected(p, 1, 4, 0));
    EXPECT_FALSE(renderer.PickedTrail(scene).empty());
    renderer.ForgetPersons();
    p.Persons = second.Project->Persons;
    ASSERT_EQ(p.PersonData(), scene.Persons);
    for (TPersonData& person : p.Persons) person.ResetToStart(p.XMax, p.YMax);
    EXPECT_EQ(renderer.AllTrails(scene), Expected(p, 1, 4, 0));
    EXPECT_TRUE(renderer.PickedTrail(scene).empty());  // person 0 now stays
}

}  // namespace
