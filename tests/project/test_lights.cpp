// Default light grids and the add and remove rules.
#include <gtest/gtest.h>

#include "deck.h"

namespace orlex {
namespace {

std::vector<std::pair<float, float>> OnLights(const TDeck& d) {
    std::vector<std::pair<float, float>> out;
    for (const TLights& l : d.Lights)
        if (l.On) out.emplace_back(l.Position[0], l.Position[1]);
    return out;
}

TEST(Lights, DefaultGrids) {
    using P = std::vector<std::pair<float, float>>;
    struct Case {
        int x, y;
        P expected;
    } cases[] = {
        {250, 150, {{0, 0}}},
        {99, 99, {{0, 0}}},
        {350, 120, {{-59, 0}, {57, 0}}},
        {1000,
         300,
         {{-389, 0}, {-278, 0}, {-167, 0}, {-56, 0}, {55, 0}, {166, 0}, {277, 0}, {388, 0}}},
        {500, 500, {{-125, -84}, {0, -84}, {125, -84}, {-125, 82}, {0, 82}, {125, 82}}},
        {301, 301, {{-50, -50}, {50, -50}, {-50, 50}, {50, 50}}},
        {-5, 0, {{0, 0}}},
    };
    for (const Case& c : cases) {
        TDeck d;
        d.PlaceDefaultLights(c.x, c.y);
        EXPECT_EQ(OnLights(d), c.expected) << c.x << "x" << c.y;
        EXPECT_EQ(d.LightsOn, static_cast<int>(c.expected.size()));
        for (const TLights& l : d.Lights) {
            EXPECT_EQ(l.Position[2], 10.0f);
            EXPECT_EQ(l.Position[3], 1.0f);
        }
    }
}

TEST(Lights, RemoveTakesNearestWithLowSlotOnTies) {
    struct Case {
        float x;
        int removedSlot;
    } cases[] = {{5.0f, 0}, {5.9f, 1}, {-100.0f, 0}, {100.0f, 1}};
    for (const Case& c : cases) {
        TDeck d;
        d.AddLightAt(0, 0);
        d.AddLightAt(10, 0);
        d.RemoveLightNear(c.x, 0);
        EXPECT_FALSE(d.Lights[c.removedSlot].On) << c.x;
        EXPECT_TRUE(d.Lights[1 - c.removedSlot].On) << c.x;
        EXPECT_EQ(d.LightsOn, 1);
        EXPECT_EQ(d.Lights[c.removedSlot].Position[0], 0.0f);
        EXPECT_EQ(d.Lights[c.removedSlot].Position[2], 10.0f);
    }
}

TEST(Lights, AddFillsFirstFreeSlotThenMovesNearest) {
    TDeck d;
    for (int i = 0; i < 4; ++i) d.AddLightAt(static_cast<float>(i * 10), 0);
    d.RemoveLightNear(20, 0);  // slot 2
    d.AddLightAt(7, 7);
    EXPECT_TRUE(d.Lights[2].On);
    EXPECT_EQ(d.Lights[2].Position[0], 7.0f);
    EXPECT_EQ(d.LightsOn, 4);

    TDeck full;
    for (int i = 0; i < 8; ++i) full.AddLightAt(static_cast<float>(i * 100), 0);
    full.AddLightAt(150, 0);  // halfway between slots 1 and 2
    EXPECT_EQ(full.LightsOn, 8);
    EXPECT_EQ(full.Lights[1].Position[0], 150.0f);
    EXPECT_EQ(full.Lights[2].Position[0], 200.0f);
}

TEST(Lights, RemoveWithNothingOnChangesNothing) {
    TDeck d;
    d.RemoveLightNear(0, 0);
    EXPECT_EQ(d.LightsOn, 0);
    EXPECT_TRUE(OnLights(d).empty());
}

}  // namespace
}  // namespace orlex

namespace orlex {
namespace {

TEST(Lights, HugeDeckStillGetsEightLights) {
    TDeck d;
    d.PlaceDefaultLights(2147483647, -1);
    EXPECT_EQ(d.LightsOn, 8);
}

}  // namespace
}  // namespace orlex
