// Measurement lines and areas in the scene: their metres land on the cells the
// metre frame names, the floor point under a pixel is the one drawn there in
// every kind of view, the names stand only beside what is drawn, and the
// picture carries the line's colour on the line and the area's tint inside it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "deckgrids.h"
#include "headless.h"
#include "measureoverlay.h"
#include "projectscene.h"
#include "stack.h"

using namespace orlex;
using namespace orlex::test;

namespace {

TMetreFrame Frame(int columns, int rows, double cell, double ox = 0, double oy = 0) {
    TMetreFrame f;
    f.Columns = columns;
    f.Rows = rows;
    f.CellSize = cell;
    f.OriginX = ox;
    f.OriginY = oy;
    return f;
}

struct TPlaceCase {
    const char* Name;
    TMetreFrame Frame;
    TMetrePoint Metres;
    double DeckX, DeckY;  // worked out by hand from the cells' middles
};

class MetresOnDeck : public testing::TestWithParam<TPlaceCase> {};

TEST_P(MetresOnDeck, LandOnTheCellsTheFrameNames) {
    const TPlaceCase c = GetParam();
    const TFloorPoint p = MetresToDeck(c.Frame, c.Metres);
    EXPECT_NEAR(p.X, c.DeckX, 1e-9);
    EXPECT_NEAR(p.Y, c.DeckY, 1e-9);
    const TMetrePoint back = DeckToMetres(c.Frame, p);
    EXPECT_NEAR(back.X, c.Metres.X, 1e-9);
    EXPECT_NEAR(back.Y, c.Metres.Y, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MetresOnDeck,
    testing::Values(
        // 8 x 4 cells of 0.5 m: the south-west cell (row 3, column 0) has its middle
        // at 0.25, 0.25 m and at -3.5, -1.5 in the deck.
        TPlaceCase{"SouthWestCell", Frame(8, 4, 0.5), {0.25, 0.25}, -3.5, -1.5},
        // The north-east cell (row 0, column 7): 3.75, 1.75 m.
        TPlaceCase{"NorthEastCell", Frame(8, 4, 0.5), {3.75, 1.75}, 3.5, 1.5},
        // The deck's south-west corner itself.
        TPlaceCase{"Corner", Frame(8, 4, 0.5), {0, 0}, -4, -2},
        // Odd sides: 7 x 5 cells put column 0's middle at -2.5 and row 4's at -2.5.
        TPlaceCase{"OddSides", Frame(7, 5, 0.4), {0.2, 0.2}, -2.5, -2.5},
        // An imported project keeps its source's origin.
        TPlaceCase{"ImportedOrigin", Frame(8, 4, 0.5, 10, -5), {10.25, -4.75}, -3.5, -1.5}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Rectangle, AnyTwoOppositeCornersGiveTheSameCounterClockwiseCorners) {
    const std::vector<TMetrePoint> want = {{1, 2}, {4, 2}, {4, 6}, {1, 6}};
    EXPECT_EQ(RectanglePolygon({1, 2}, {4, 6}), want);
    EXPECT_EQ(RectanglePolygon({4, 6}, {1, 2}), want);
    EXPECT_EQ(RectanglePolygon({1, 6}, {4, 2}), want);
    EXPECT_EQ(RectanglePolygon({4, 2}, {1, 6}), want);
}

// Three decks of 8 x 4 cells of 0.5 m, deck 0 shown.
TSceneInput Scene(std::vector<TDeck>& decks) {
    for (int d = 0; d < 3; ++d) decks.push_back(DeckOf(std::vector<std::string>(4, "22222222")));
    TSceneInput scene;
    scene.Decks = decks.data();
    scene.DeckCount = 3;
    scene.LightSet = decks[0].Lights;
    scene.FieldOfView = 60;
    scene.MaxDim = 8;
    scene.XMax = 8;
    scene.YMax = 4;
    scene.DeckSpacing = 9;
    scene.MeasureFrame = Frame(8, 4, 0.5);
    return scene;
}

struct TViewCase {
    const char* Name;
    bool Stack;
    bool Plan;
    double Phi, Theta;
    int Deck;  // the deck whose floor is hit
};

class FloorUnderPixel : public testing::TestWithParam<TViewCase> {};

// A point drawn at a pixel comes back from that pixel, whatever the view.
TEST_P(FloorUnderPixel, IsThePointDrawnThere) {
    const TViewCase c = GetParam();
    std::vector<TDeck> decks;
    TSceneInput scene = Scene(decks);
    scene.StackAll = c.Stack;
    scene.Plan = c.Plan;
    scene.CurrentDeck = c.Deck;
    const TCamera camera = FitScene(scene, c.Phi, c.Theta, static_cast<double>(kW) / kH);
    for (const TMetrePoint want : {TMetrePoint{0.6, 0.4}, TMetrePoint{3.1, 1.7}}) {
        const TFloorPoint deck = MetresToDeck(scene.MeasureFrame, want);
        double wx = 0, wy = 0;
        ASSERT_TRUE(
            ProjectToWindow(scene, camera, deck.X, deck.Y, DeckZ(scene, c.Deck), kW, kH, wx, wy));
        TMetrePoint got;
        ASSERT_TRUE(MetresUnderPixel(scene, camera, wx, wy, kW, kH, c.Deck, got));
        EXPECT_NEAR(got.X, want.X, 1e-6) << c.Name;
        EXPECT_NEAR(got.Y, want.Y, 1e-6) << c.Name;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, FloorUnderPixel,
                         testing::Values(TViewCase{"TopView", false, false, 0, 0, 0},
                                         TViewCase{"Oblique", false, false, 0.4, 0.8, 0},
                                         TViewCase{"Plan", false, true, 0.3, 0, 0},
                                         TViewCase{"StackTopDeck", true, false, 0, -1.05, 2},
                                         TViewCase{"StackPlan", true, true, 0, 0, 1}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(FloorUnderPixel, MissesAPlaneSeenEdgeOnAndAFrameWithoutCells) {
    std::vector<TDeck> decks;
    TSceneInput scene = Scene(decks);
    TCamera side = FitScene(scene, 0, 1.5707963267948966, 4.0 / 3);
    TMetrePoint p;
    // Looking level with the floor, the pixels above the horizon meet no floor
    // point and those below it do.
    const bool high = MetresUnderPixel(scene, side, kW / 2.0, 0, kW, kH, 0, p);
    const bool low = MetresUnderPixel(scene, side, kW / 2.0, kH, kW, kH, 0, p);
    EXPECT_NE(high, low);
    scene.MeasureFrame.CellSize = 0;
    const TCamera top = FitScene(scene, 0, 0, 4.0 / 3);
    EXPECT_FALSE(MetresUnderPixel(scene, top, kW / 2.0, kH / 2.0, kW, kH, 0, p));
}

TEST(MeasureNames, StandOnlyBesideTheDecksDrawn) {
    std::vector<TDeck> decks;
    TSceneInput scene = Scene(decks);
    TMeasureSet set;
    set.Lines = {{"Door A", 0, {1, 1}, {2, 1}}, {"Stair", 2, {1, 1}, {1, 1.5}}};
    set.Areas = {{"Landing", 1, RectanglePolygon({0.5, 0.5}, {2, 1.5})}};
    scene.Measures = &set;
    auto names = [&](const TCamera& camera) {
        std::vector<std::string> out;
        for (const TMeasureLabel& l : MeasureLabels(scene, camera, kW, kH))
            out.push_back(l.Name + (l.OnShownDeck ? "" : " (dim)"));
        return out;
    };
    // The single-deck view: deck 0's only.
    EXPECT_EQ(names(FitScene(scene, 0, 0, 4.0 / 3)), std::vector<std::string>{"Door A"});
    scene.StackAll = true;
    const TCamera camera = FitScene(scene, 0, kStackTheta, 4.0 / 3);
    EXPECT_EQ(names(camera), (std::vector<std::string>{"Door A", "Stair (dim)", "Landing (dim)"}));
    scene.HiddenDecks = {false, true, false};
    EXPECT_EQ(names(camera), (std::vector<std::string>{"Door A", "Stair (dim)"}));
    scene.CurrentDeck = 1;
    scene.HiddenDecks.clear();
    scene.CutAway = TCutAway::ThisAndBelow;
    EXPECT_EQ(names(camera), (std::vector<std::string>{"Door A (dim)", "Landing"}));
    // An area's name stands at its corner highest in the picture.
    scene.StackAll = false;
    const TCamera top = FitScene(scene, 0, 0, 4.0 / 3);
    const std::vector<TMeasureLabel> labels = MeasureLabels(scene, top, kW, kH);
    ASSERT_EQ(labels.size(), 1u);
    const TFloorPoint corner = MetresToDeck(scene.MeasureFrame, {0.5, 1.5});
    double wx = 0, wy = 0;
    ASSERT_TRUE(ProjectToWindow(scene, top, corner.X, corner.Y, 0, kW, kH, wx, wy));
    EXPECT_NEAR(labels[0].X, wx, 1.0);
    EXPECT_NEAR(labels[0].Y, wy, 1.0);
}

// The pixel where the floor point at metres m of the deck shown is drawn.
TRgb PixelAt(const TRgbaPixels& p, const TSceneInput& scene, const TCamera& camera,
             const TMetrePoint& m) {
    const TFloorPoint f = MetresToDeck(scene.MeasureFrame, m);
    double wx = 0, wy = 0;
    EXPECT_TRUE(ProjectToWindow(scene, camera, f.X, f.Y, 0, kW, kH, wx, wy));
    return At(p, static_cast<int>(wx), static_cast<int>(wy));
}

bool IsLineColour(const TRgb& c) {
    return c[0] > 200 && c[1] < 90 && c[2] > 110;
}

// The line shows in its colour at its middle; inside the area the floor is
// tinted towards the area's colour; elsewhere the floor is as without them.
TEST_F(Headless, LinesAndAreasShowOnTheirDeck) {
    std::vector<TDeck> decks;
    TSceneInput scene = Scene(decks);
    scene.OriginVisible = true;  // lit green, as the persons are
    const TCamera camera = FitScene(scene, 0, 0, static_cast<double>(kW) / kH);
    const TRgbaPixels plain = Draw(scene, camera);
    auto green = [](const TRgbaPixels& p) {
        int n = 0;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) n += IsGlyphGreen(At(p, x, y)) ? 1 : 0;
        return n;
    };
    ASSERT_GT(green(plain), 20);

    TMeasureSet set;
    set.Lines = {{"Door", 0, {0.5, 1.5}, {1.5, 1.5}}};
    set.Areas = {{"Room", 0, RectanglePolygon({0.25, 0.25}, {1.25, 0.9})}};
    scene.Measures = &set;
    const TRgbaPixels drawn = Draw(scene, camera);
    auto pixel = [&](const TRgbaPixels& p, const TMetrePoint& m) {
        return PixelAt(p, scene, camera, m);
    };
    const TRgb onLine = pixel(drawn, {1.0, 1.5});
    EXPECT_TRUE(IsLineColour(onLine)) << onLine[0] << " " << onLine[1] << " " << onLine[2];
    const TRgb inside = pixel(drawn, {0.7, 0.55}), before = pixel(plain, {0.7, 0.55});
    // Towards cyan: blue and green up against red.
    EXPECT_GT(inside[2] - inside[0], before[2] - before[0] + 10);
    const TRgb away = pixel(drawn, {3.6, 0.3}), awayBefore = pixel(plain, {3.6, 0.3});
    EXPECT_EQ(away, awayBefore);
    // The lit things keep their colour: the measurements leave the material alone.
    EXPECT_EQ(green(drawn), green(plain));
    // On another deck they are not drawn in the single-deck view.
    set.Lines[0].Deck = 1;
    set.Areas[0].Deck = 2;
    const TRgbaPixels elsewhere = Draw(scene, camera);
    EXPECT_EQ(pixel(elsewhere, {1.0, 1.5}), pixel(plain, {1.0, 1.5}));
    EXPECT_EQ(pixel(elsewhere, {0.7, 0.55}), before);
}

// An L-shaped area is filled in its arms and not in the notch between them
// (a fan from its first corner would cover part of the notch).
TEST_F(Headless, AnAreaThatIsNotConvexIsFilledInsideOnly) {
    std::vector<TDeck> decks;
    TSceneInput scene = Scene(decks);
    const TCamera camera = FitScene(scene, 0, 0, static_cast<double>(kW) / kH);
    const TRgbaPixels plain = Draw(scene, camera);
    TMeasureSet set;
    set.Areas = {{"L", 0, {{3, 0.2}, {3, 1.0}, {2, 1.0}, {2, 1.8}, {1, 1.8}, {1, 0.2}}}};
    scene.Measures = &set;
    const TRgbaPixels drawn = Draw(scene, camera);
    auto tinted = [&](const TMetrePoint& m) {
        const TRgb a = PixelAt(drawn, scene, camera, m), b = PixelAt(plain, scene, camera, m);
        return a[2] - a[0] > b[2] - b[0] + 10;
    };
    EXPECT_TRUE(tinted({1.5, 1.4}));
    EXPECT_TRUE(tinted({2.5, 0.6}));
    EXPECT_TRUE(tinted({1.5, 0.4}));
    EXPECT_FALSE(tinted({2.1, 1.4}));
    EXPECT_FALSE(tinted({2.7, 1.6}));
}

// The exits' cells are tinted green on their deck and the exits labelled E1, E2, ...
// by their place in the analysis's list; with none given the picture is as before.
TEST_F(Headless, ExitsShowOnTheirDeckWithTheirNumbers) {
    std::vector<TDeck> decks;
    TSceneInput scene = Scene(decks);
    const TCamera camera = FitScene(scene, 0, 0, static_cast<double>(kW) / kH);
    const TRgbaPixels plain = Draw(scene, camera);
    std::vector<TExitResult> exits(2);
    exits[0].Deck = 1;
    exits[0].Cells = {{1, 0, 0}};
    exits[1].Deck = 0;
    exits[1].Cells = {{0, 1, 6}, {0, 2, 6}};
    exits[1].Times = {1, 2};
    scene.Exits = &exits;
    const TRgbaPixels drawn = Draw(scene, camera);
    auto pixel = [&](const TRgbaPixels& p, const TMetrePoint& m) {
        return PixelAt(p, scene, camera, m);
    };
    const TRgb cell = pixel(drawn, {3.25, 1.25}), before = pixel(plain, {3.25, 1.25});
    EXPECT_GT(cell[1] - cell[0], before[1] - before[0] + 10);
    EXPECT_EQ(pixel(drawn, {0.75, 1.25}), pixel(plain, {0.75, 1.25}));
    std::vector<std::string> names;
    for (const TMeasureLabel& l : MeasureLabels(scene, camera, kW, kH)) {
        EXPECT_TRUE(l.Exit);
        names.push_back(l.Name);
    }
    EXPECT_EQ(names, std::vector<std::string>{"E2"});  // deck 1's is not drawn
}

}  // namespace
