// All decks at once: each deck of a stack of three floors of distinct colours
// shows as the cut and the deck boxes say; the plan view's projection puts the
// deck's corners where the frame draws them and picks what the top view picks;
// a person changing level is drawn between the two decks, and trails follow
// persons from deck to deck.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "deckgrids.h"
#include "glyph.h"
#include "headless.h"
#include "picking.h"
#include "playback.h"
#include "projects.h"
#include "projectscene.h"
#include "stack.h"
#include "trails.h"

using namespace orlex;
using namespace orlex::test;

namespace {

// The floor colours of the three decks, bottom to top: blue, green, red.
enum TFloor { kBlue, kGreen, kRed };
const char kFloorCode[] = {'2', '4', '5'};

// The floor colour a pixel shows, dimmed or not; -1 for none of them.
int FloorOf(const TRgb& c) {
    const int r = c[0], g = c[1], b = c[2];
    // Lit floors are pale, dimmed ones mixed with the dark blue background.
    if (r > g + 15 && r > 30) return kRed;
    if (g > r + 25 && g > b + 10) return kGreen;
    if (b > r + 30 && b > g + 30 && r > 20) return kBlue;
    return -1;
}

std::vector<TDeck> ColouredDecks() {
    std::vector<TDeck> decks;
    for (const char code : kFloorCode)
        decks.push_back(DeckOf(std::vector<std::string>(4, std::string(8, code))));
    return decks;
}

struct TCutCase {
    const char* Name;
    TCutAway Cut;
    int Current;
    std::vector<bool> Hidden;
    std::vector<bool> Seen;  // per deck
};

class StackPictures : public Headless, public testing::WithParamInterface<TCutCase> {};

TEST_P(StackPictures, EachDeckShowsAsTheCutAndItsBoxSay) {
    const TCutCase c = GetParam();
    std::vector<TDeck> decks = ColouredDecks();
    TSceneInput scene;
    scene.Decks = decks.data();
    scene.DeckCount = 3;
    scene.CurrentDeck = c.Current;
    scene.LightSet = decks[static_cast<std::size_t>(c.Current)].Lights;
    scene.FieldOfView = 60;
    scene.MaxDim = 8;
    scene.XMax = 8;
    scene.YMax = 4;
    scene.StackAll = true;
    scene.CutAway = c.Cut;
    scene.HiddenDecks = c.Hidden;
    // Three block heights apart, seen from 0.9 rad: the floors large in the picture.
    scene.DeckSpacing = StackSpacing(decks.data(), 3, 3.0);
    const TCamera camera = FitScene(scene, 0.3, -0.9, static_cast<double>(kW) / kH);
    const TRgbaPixels pixels = Draw(scene, camera);
    int count[3] = {};
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (const int f = FloorOf(At(pixels, x, y)); f >= 0) ++count[f];
    for (int d = 0; d < 3; ++d) {
        if (c.Seen[static_cast<std::size_t>(d)])
            EXPECT_GT(count[d], 200) << c.Name << ": deck " << d;
        else
            EXPECT_EQ(count[d], 0) << c.Name << ": deck " << d;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, StackPictures,
    testing::Values(
        TCutCase{"all", TCutAway::All, 1, {}, {true, true, true}},
        TCutCase{"all from the top", TCutAway::All, 2, {}, {true, true, true}},
        TCutCase{"this and below", TCutAway::ThisAndBelow, 1, {}, {true, true, false}},
        TCutCase{"this and below, lowest", TCutAway::ThisAndBelow, 0, {}, {true, false, false}},
        TCutCase{"only this", TCutAway::OnlyThis, 1, {}, {false, true, false}},
        TCutCase{"lowest hidden", TCutAway::All, 1, {true}, {false, true, true}},
        TCutCase{"top hidden", TCutAway::All, 0, {false, false, true}, {true, true, false}},
        TCutCase{"deck shown hidden", TCutAway::All, 1, {false, true}, {true, false, true}},
        TCutCase{"hidden below the cut", TCutAway::ThisAndBelow, 2, {true}, {false, true, true}}),
    [](const testing::TestParamInfo<TCutCase>& info) {
        std::string name = info.param.Name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

// A dimmed deck's map: one colour a cell, the same for the same kind of cell,
// half transparent where the deck has a floor or a block, clear in the void.
TEST(DeckFloorMap, OneColourACellClearInTheVoid) {
    const std::vector<std::string> rows = {"00122", "0.122", "00045", ".0000"};
    const TDeck deck = DeckOf(rows);
    const TFloorOverlay map = DeckFloorMap(deck, 5, 4, kDimDeckAlpha);
    ASSERT_TRUE(map.IsValid());
    std::map<char, uint32_t> colour;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c) {
            const char code = rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            const uint32_t rgba = map.Rgba[static_cast<std::size_t>(r * 5 + c)];
            if (code == '.') {
                EXPECT_EQ(rgba, 0u) << r << "," << c;
                continue;
            }
            EXPECT_EQ(rgba & 255u, 153u) << r << "," << c;
            if (!colour.count(code)) colour[code] = rgba;
            EXPECT_EQ(rgba, colour[code]) << r << "," << c << " '" << code << "'";
        }
    EXPECT_EQ(colour.size(), 5u);
    std::set<uint32_t> distinct;
    for (const auto& [code, rgba] : colour) distinct.insert(rgba);
    EXPECT_EQ(distinct.size(), 5u) << "every kind of cell its own colour";
    EXPECT_FALSE(DeckFloorMap(deck, 0, 4, kDimDeckAlpha).IsValid());
}

// The single-deck view draws the deck shown alone, whatever the stack's fields say.
TEST_F(Headless, WithoutTheStackOnlyTheDeckShownIsDrawn) {
    std::vector<TDeck> decks = ColouredDecks();
    TSceneInput scene;
    scene.Decks = decks.data();
    scene.DeckCount = 3;
    scene.CurrentDeck = 1;
    scene.LightSet = decks[1].Lights;
    scene.FieldOfView = 60;
    scene.MaxDim = 8;
    scene.XMax = 8;
    scene.YMax = 4;
    scene.CutAway = TCutAway::OnlyThis;
    scene.HiddenDecks = {false, true, false};
    scene.DeckSpacing = 9;
    const TRgbaPixels plain = Draw(scene, FitCamera(8, 4, 0.3, kStackTheta, 4.0 / 3));
    int green = 0, other = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const int f = FloorOf(At(plain, x, y));
            green += f == kGreen;
            other += f == kBlue || f == kRed;
        }
    EXPECT_GT(green, 1000);
    EXPECT_EQ(other, 0);
}

// The names of the decks drawn stand in a column left of the stack, each level
// with its deck, higher decks higher.
TEST(DeckNames, StandBesideTheirDecksInOrder) {
    std::vector<TDeck> decks = ColouredDecks();
    TSceneInput scene;
    scene.Decks = decks.data();
    scene.DeckCount = 3;
    scene.CurrentDeck = 1;
    scene.FieldOfView = 60;
    scene.XMax = 8;
    scene.YMax = 4;
    scene.MaxDim = 8;
    EXPECT_TRUE(DeckLabels(scene, TCamera(), kW, kH).empty());  // one deck: no names
    scene.StackAll = true;
    scene.DeckSpacing = StackSpacing(decks.data(), 3, kDefaultDeckSpacing);
    const TCamera camera = FitScene(scene, 0.0, kStackTheta, static_cast<double>(kW) / kH);
    std::vector<TDeckLabel> labels = DeckLabels(scene, camera, kW, kH);
    ASSERT_EQ(labels.size(), 3u);
    for (int d = 0; d < 3; ++d) {
        const TDeckLabel& label = labels[static_cast<std::size_t>(d)];
        EXPECT_EQ(label.Deck, d);
        double right = 0, y = 0;  // the floor's middle at its other end
        ASSERT_TRUE(ProjectToWindow(scene, camera, 4.0, 0.0, DeckZ(scene, d), kW, kH, right, y));
        EXPECT_LT(label.X, right);
        EXPECT_EQ(label.X, labels[0].X) << "one column";
        EXPECT_NEAR(label.Y, y, 0.1 * kH) << "level with its deck";
        // Left of both corners of the deck's low-x end.
        for (const double corner : {-2.0, 2.0}) {
            double cx = 0, cy = 0;
            ASSERT_TRUE(
                ProjectToWindow(scene, camera, -4.0, corner, DeckZ(scene, d), kW, kH, cx, cy));
            EXPECT_LE(label.X, cx + 1e-9);
        }
        if (d > 0) {
            EXPECT_LT(label.Y, labels[static_cast<std::size_t>(d - 1)].Y - 10);
        }
    }
    scene.CutAway = TCutAway::ThisAndBelow;
    labels = DeckLabels(scene, camera, kW, kH);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels.back().Deck, 1);
}

// --- the plan view ---------------------------------------------------------------

struct TPlanCase {
    const char* Name;
    bool Stack;
    double Phi;
};

class PlanView : public Headless, public testing::WithParamInterface<TPlanCase> {};

// The floor's corners land where ProjectToWindow says (as the matrices of the
// frame say), and the floor fills the box between them.
TEST_P(PlanView, CornersLandWhereTheProjectionSays) {
    const TPlanCase c = GetParam();
    std::vector<TDeck> decks = ColouredDecks();
    TSceneInput scene;
    scene.Decks = decks.data();
    scene.DeckCount = 3;
    scene.CurrentDeck = 0;
    scene.LightSet = decks[0].Lights;
    scene.FieldOfView = 60;
    scene.MaxDim = 8;
    scene.XMax = 8;
    scene.YMax = 4;
    scene.StackAll = c.Stack;
    scene.CutAway = TCutAway::ThisAndBelow;  // the deck shown, the lowest, alone
    scene.DeckSpacing = 9;
    scene.Plan = true;
    TCamera camera = FitScene(scene, c.Phi, 0.7, static_cast<double>(kW) / kH);
    const TRgbaPixels pixels = Draw(scene, camera);
    const double z = DeckZ(scene, 0);
    double lo[2] = {1e9, 1e9}, hi[2] = {-1e9, -1e9};
    for (const double x : {-4.0, 4.0}) {
        for (const double y : {-2.0, 2.0}) {
            double wx = 0, wy = 0, gx = 0, gy = 0;
            ASSERT_TRUE(ProjectToWindow(scene, camera, x, y, z, kW, kH, wx, wy));
            ASSERT_TRUE(Project(camera, x, y, z, gx, gy));
            EXPECT_NEAR(wx, gx, 1e-3) << c.Name;
            EXPECT_NEAR(wy, gy, 1e-3) << c.Name;
            lo[0] = std::min(lo[0], wx), hi[0] = std::max(hi[0], wx);
            lo[1] = std::min(lo[1], wy), hi[1] = std::max(hi[1], wy);
        }
    }
    // The blue floor: inside the corners' box, and filling it.
    int inside = 0, outside = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            if (FloorOf(At(pixels, x, y)) != kBlue) continue;
            const bool in = x + 0.5 >= lo[0] - 1 && x + 0.5 <= hi[0] + 1 && y + 0.5 >= lo[1] - 1 &&
                            y + 0.5 <= hi[1] + 1;
            (in ? inside : outside) += 1;
        }
    EXPECT_EQ(outside, 0) << c.Name;
    if (c.Phi == 0) {
        // Unturned, the floor is the box itself, eight cells at the plan's scale wide.
        EXPECT_GT(inside, 0.9 * (hi[0] - lo[0]) * (hi[1] - lo[1])) << c.Name;
        EXPECT_NEAR(hi[0] - lo[0], 8.0 / PlanUnitsPerPixel(scene, camera, kH), 1e-6) << c.Name;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PlanView,
                         testing::Values(TPlanCase{"single", false, 0.0},
                                         TPlanCase{"stack", true, 0.0},
                                         TPlanCase{"turned", false, 0.5}),
                         [](const testing::TestParamInfo<TPlanCase>& info) {
                             return std::string(info.param.Name);
                         });

// Picking through the plan view hits the person the perspective hits, each
// from the screen point where its view draws the person.
TEST(PlanPicking, HitsWhatThePerspectiveHits) {
    TLoaded loaded = LoadText(ProjectText({"A", "B"}, 1, {"33S", "5S", "0S"}));
    ASSERT_TRUE(loaded.Project);
    TLogFile1& p = *loaded.Project;
    TPlayback playback;
    playback.SetProject(&p);
    playback.StepForward();
    TSceneInput scene = ProjectScene(p, 0, playback.StepCounter);
    // High enough that no glyph hides another in the perspective.
    TCamera camera = FitScene(scene, 0.0, 0.0, 4.0 / 3);
    camera.SetDistance(80);
    for (const bool stack : {false, true}) {
        scene.StackAll = stack;
        for (const bool plan : {false, true}) {
            scene.Plan = plan;
            for (int i = 0; i < p.PersonCount(); ++i) {
                const TPersonData& person = p.Persons[static_cast<std::size_t>(i)];
                double wx = 0, wy = 0;
                ASSERT_TRUE(ProjectToWindow(scene, camera, person.X, person.Y,
                                            DeckZ(scene, 0) + 0.2, kW, kH, wx, wy));
                TRay ray;
                ASSERT_TRUE(SceneRay(scene, camera, wx, wy, kW, kH, ray));
                EXPECT_EQ(PickInScene(scene, ray), i) << "stack " << stack << " plan " << plan;
            }
        }
    }
}

// --- level changes ---------------------------------------------------------------

// "3U33S": a move on deck 0, then up to deck 1 with a move, then on along deck 1.
TEST(LevelChange, TheLastStepsChangeIsKnownAtEveryCounter) {
    TLoaded loaded = LoadText(ProjectText({"A", "B"}, 1, {"3U3D3S"}));
    ASSERT_TRUE(loaded.Project);
    TLogFile1& p = *loaded.Project;
    TPlayback playback;
    playback.SetProject(&p);
    const int expected[] = {0, 0, 1, -1, 0};
    for (int k = 0; k < 5; ++k) {
        playback.SeekTo(k);
        EXPECT_EQ(LastLevelChange(p.Persons[0], playback.StepCounter), expected[k]) << "at " << k;
    }
    playback.SeekTo(4);
    playback.StepBackward();  // back to 3: the change of step 2 again
    EXPECT_EQ(LastLevelChange(p.Persons[0], playback.StepCounter), -1);
}

// A person that has just gone up is drawn half way between the two floors: its
// green glyph shows at the midpoint and not on the upper floor.
TEST_F(Headless, APersonChangingLevelIsDrawnBetweenTheDecks) {
    TLoaded loaded = LoadText(ProjectText({"A", "B"}, 1, {"3U3S"}));
    ASSERT_TRUE(loaded.Project);
    TLogFile1& p = *loaded.Project;
    TPlayback playback;
    playback.SetProject(&p);
    playback.SeekTo(2);  // after the step up
    ASSERT_EQ(p.Persons[0].Level, 1);
    TSceneInput scene = ProjectScene(p, 1, playback.StepCounter);
    scene.OriginVisible = false;
    scene.StackAll = true;
    scene.CutAway = TCutAway::OnlyThis;
    scene.DeckSpacing = 9;
    // From the side, level with the floors: heights read as rows.
    const TCamera camera = FitScene(scene, 0.0, -M_PI / 2, static_cast<double>(kW) / kH);
    const TRgbaPixels pixels = Draw(scene, camera);
    const TPersonData& person = p.Persons[0];
    auto greenNear = [&](double z) {
        double wx = 0, wy = 0;
        if (!ProjectToWindow(scene, camera, person.X, person.Y, z, kW, kH, wx, wy)) return false;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int x = static_cast<int>(wx) + dx, y = static_cast<int>(wy) + dy;
                if (x < 0 || y < 0 || x >= kW || y >= kH) continue;
                const TRgb c = At(pixels, x, y);
                if (c[1] > c[0] + 40 && c[1] > c[2] + 40) return true;
            }
        return false;
    };
    // The glyph stands kPersonHeight high: lifted, it reaches from half way up
    // to above the upper floor; on that floor it would start there.
    const double mid = 0.5 * (DeckZ(scene, 0) + DeckZ(scene, 1));
    EXPECT_TRUE(greenNear(mid + 1.0));
    EXPECT_TRUE(greenNear(DeckZ(scene, 1) - 2.0));
    EXPECT_FALSE(greenNear(mid + kPersonHeight + 1.5));
}

// --- trails across decks -----------------------------------------------------------

// Everyone's trails: on the deck shown in full orange, on a dimmed deck dimmed
// like that deck (still orange, but less so).
TEST_F(Headless, TrailsOnDimmedDecksAreDimmedLikeTheirDecks) {
    // A walks east on deck 0, B goes up first and walks east on deck 1.
    TLoaded loaded = LoadText(ProjectText({"A", "B"}, 1, {"333S", "U333S"}));
    ASSERT_TRUE(loaded.Project);
    TLogFile1& p = *loaded.Project;
    TPlayback playback;
    playback.SetProject(&p);
    playback.SeekTo(3);
    TSceneInput scene = ProjectScene(p, 1, playback.StepCounter);
    // Flat floors, so that no block hides a trail.
    std::vector<TDeck> decks = ColouredDecks();
    scene.Decks = decks.data();
    scene.DeckCount = 3;
    scene.LightSet = decks[1].Lights;
    scene.OriginVisible = false;
    scene.StackAll = true;
    scene.AllTrails = true;
    scene.DeckSpacing = 9;
    const TCamera camera = FitScene(scene, 0.0, -0.9, static_cast<double>(kW) / kH);
    const TRgbaPixels pixels = Draw(scene, camera);
    // How orange the most orange pixel near the trail's point at x = 0 is.
    auto orangeNear = [&](int deck) {
        double wx = 0, wy = 0;
        if (!ProjectToWindow(scene, camera, 0.0, 0.5, DeckZ(scene, deck) + kTrailHeight, kW, kH, wx,
                             wy))
            return -999;
        int best = -999;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) {
                const int x = static_cast<int>(wx) + dx, y = static_cast<int>(wy) + dy;
                if (x < 0 || y < 0 || x >= kW || y >= kH) continue;
                const TRgb c = At(pixels, x, y);
                best = std::max(best, c[0] - c[2]);
            }
        return best;
    };
    const int shown = orangeNear(1), dimmed = orangeNear(0);
    EXPECT_GT(shown, 200);
    EXPECT_GT(dimmed, 60);
    EXPECT_LT(dimmed, shown - 40);
}

struct TPath3DCase {
    const char* Track;
    std::vector<bool> Shown;
    std::vector<float> Segments;
};

class TrailAcrossDecks : public testing::TestWithParam<TPath3DCase> {};

// Deck 0 at height 0, deck 1 at 10; every person starts at (-1.5, 0.5) on deck 0.
TEST_P(TrailAcrossDecks, ChangesOfLevelGoFromFloorToFloor) {
    const TPath3DCase c = GetParam();
    TLoaded loaded = LoadText(ProjectText({"A", "B"}, 1, {c.Track}));
    ASSERT_TRUE(loaded.Project);
    TTrailLevels levels{{0.0f, 10.0f}, c.Shown};
    std::vector<float> out;
    AppendPath3D(loaded.Project->Persons[0], loaded.Project->XMax, loaded.Project->YMax, 0, 10,
                 levels, out);
    EXPECT_EQ(out, c.Segments) << c.Track;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TrailAcrossDecks,
    testing::Values(TPath3DCase{"33S", {true, true}, {-1.5f, 0.5f, 0, 0.5f, 0.5f, 0}},
                    TPath3DCase{"3U33S",
                                {true, true},
                                {-1.5f, 0.5f, 0, -0.5f, 0.5f, 0, -0.5f, 0.5f, 0, 0.5f, 0.5f, 10,
                                 0.5f, 0.5f, 10, 1.5f, 0.5f, 10}},
                    TPath3DCase{"3U33S", {false, true}, {0.5f, 0.5f, 10, 1.5f, 0.5f, 10}},
                    TPath3DCase{"3U33S", {true, false}, {-1.5f, 0.5f, 0, -0.5f, 0.5f, 0}},
                    TPath3DCase{"3U3D3S",
                                {true, true},
                                {-1.5f, 0.5f, 0, -0.5f, 0.5f, 0, -0.5f, 0.5f, 0, 0.5f, 0.5f, 10,
                                 0.5f, 0.5f, 10, 1.5f, 0.5f, 0}}));

// Everyone's trails over the stack follow the counter both ways as one walk each.
TEST(StackTrails, FollowTheCounterBothWays) {
    TLoaded loaded = LoadText(ProjectText({"A", "B"}, 1, {"3377U37D73S", "2266S", "3U7D3S"}));
    ASSERT_TRUE(loaded.Project);
    TLogFile1& p = *loaded.Project;
    TPlayback playback;
    playback.SetProject(&p);
    const TTrailLevels levels{{-5.0f, 5.0f}, {true, true}};
    TTrailCache cache;
    for (int target : {0, 2, 5, 9, 3, 7}) {
        playback.SeekTo(target);
        std::vector<float> expected;
        for (const TPersonData& person : p.Persons)
            if (person.Level >= 0)
                AppendPath3D(person, p.XMax, p.YMax, std::max(0, target - 4), target, levels,
                             expected);
        EXPECT_EQ(
            cache.Segments3D(p.PersonData(), p.PersonCount(), p.XMax, p.YMax, target, 4, levels),
            expected)
            << "at " << target;
    }
}

}  // namespace
