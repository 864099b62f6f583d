// Picking on the CPU: rays against single glyph prisms, the nearest person on
// the deck shown, and a screen position of a known glyph through the camera.
#include <gtest/gtest.h>

#include <vector>

#include "camera.h"
#include "picking.h"
#include "projects.h"

using namespace orlex;

namespace {

TRay Down(double x, double y) {
    TRay ray;
    ray.Origin[0] = x;
    ray.Origin[1] = y;
    ray.Origin[2] = 20;
    return ray;  // direction (0, 0, -1)
}

TRay Along(double x, double y, double z, double dx, double dy, double dz) {
    TRay ray;
    ray.Origin[0] = x;
    ray.Origin[1] = y;
    ray.Origin[2] = z;
    ray.Direction[0] = dx;
    ray.Direction[1] = dy;
    ray.Direction[2] = dz;
    return ray;
}

struct TGlyphCase {
    const char* Name;
    TRay Ray;
    int Heading;
    bool Hit;
    double T;  // where it enters, when it hits
};

class GlyphRay : public testing::TestWithParam<TGlyphCase> {};

// A glyph at (10, 5): its triangle has corners (-0.5, -0.289), (0.5, -0.289)
// and the apex (0, 0.577) about its position, turned with the heading.
TEST_P(GlyphRay, HitsOnlyThePrism) {
    const TGlyphCase c = GetParam();
    double t = -1;
    EXPECT_EQ(RayHitsGlyph(c.Ray, 10.0f, 5.0f, c.Heading, t), c.Hit) << c.Name;
    if (c.Hit) {
        EXPECT_NEAR(t, c.T, 1e-5) << c.Name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, GlyphRay,
    testing::Values(TGlyphCase{"top at the centre", Down(10, 5), 1, true, 14},
                    TGlyphCase{"near the apex", Down(10, 5.5), 1, true, 14},
                    TGlyphCase{"beyond the apex", Down(10, 5.6), 1, false, 0},
                    TGlyphCase{"behind the base", Down(10, 4.7), 1, false, 0},
                    TGlyphCase{"beside a corner", Down(10.45, 5.2), 1, false, 0},
                    TGlyphCase{"apex turned east", Down(10.5, 5), 3, true, 14},
                    TGlyphCase{"west of an east glyph", Down(9.6, 5), 3, false, 0},
                    TGlyphCase{"bad heading: unturned", Down(10, 5.5), 9, true, 14},
                    TGlyphCase{"through a side", Along(10, 0, 3, 0, 1, 0), 1, true, 4.711},
                    TGlyphCase{"over the top", Along(10, 0, 6.5, 0, 1, 0), 1, false, 0},
                    TGlyphCase{"pointing away", Along(10, 0, 3, 0, -1, 0), 1, false, 0},
                    TGlyphCase{"starting inside", Along(10, 5, 3, 1, 0, 0), 1, true, 0}));

TEST(PickPerson, NearestOnTheDeckShown) {
    // Three persons in a row along x at row 1 of deck 0: columns 1, 2, 3.
    test::TLoaded loaded = test::LoadText(test::ProjectText({"A", "B"}, 1, {"S", "3S", "33S"}));
    ASSERT_TRUE(loaded.Project);
    TLogFile1& p = *loaded.Project;
    TPersonData* persons = p.PersonData();
    for (int i = 0; i < 3; ++i) persons[i].SetStart(1 + i, 1, p.YMax, p.XMax, 0, 1, 0);
    // Centres at x = -1.5, -0.5 and 0.5, y = 0.5.
    const TRay fromWest = Along(-10, 0.5, 3, 1, 0, 0);
    EXPECT_EQ(PickPerson(persons, 3, 0, fromWest), 0);
    EXPECT_EQ(PickPerson(persons, 3, 0, Along(10, 0.5, 3, -1, 0, 0)), 2);
    EXPECT_EQ(PickPerson(persons, 3, 0, Down(-0.5, 0.5)), 1);
    EXPECT_EQ(PickPerson(persons, 3, 0, Down(-1.0, 1.5)), -1);  // empty floor
    EXPECT_EQ(PickPerson(persons, 3, 1, fromWest), -1);         // nobody on deck 1
    persons[0].Level = 1;                                       // now on deck 1
    EXPECT_EQ(PickPerson(persons, 3, 0, fromWest), 1);
    EXPECT_EQ(PickPerson(persons, 3, 1, fromWest), 0);
    persons[1].Level = -1;  // saved: never picked
    EXPECT_EQ(PickPerson(persons, 3, 0, fromWest), 2);
    persons[1].Level = 0;
    persons[1].Waiting = true;  // not entered yet: never picked
    EXPECT_EQ(PickPerson(persons, 3, 0, fromWest), 2);
    EXPECT_EQ(PickPerson(nullptr, 3, 0, fromWest), -1);
}

// Through the camera: the pixel where a glyph's top is seen picks it, from
// above and from an angle; a pixel of bare floor picks nobody.
TEST(PickPerson, ScreenPositionOfAGlyph) {
    test::TLoaded loaded = test::LoadText(test::kExampleFile);
    ASSERT_TRUE(loaded.Project);
    const TPersonData* persons = loaded.Project->PersonData();
    constexpr int w = 480, h = 360;
    for (double theta : {0.0, 0.6}) {
        TCamera camera;
        camera.Theta = theta;
        camera.Phi = 0.3;
        camera.SetDistance(30);
        camera.UpdateUp();
        camera.CentreOn(-1.5, 0.5);  // person 0 at the centre
        TRay ray;
        ASSERT_TRUE(camera.ScreenRay(w / 2.0, h / 2.0, w, h, 60, ray));
        EXPECT_EQ(PickPerson(persons, 2, 0, ray), 0) << theta;
        // Where the camera sees the floor point (1.5, 0.5), two cells east.
        camera.CentreOn(1.5, 0.5);
        ASSERT_TRUE(camera.ScreenRay(w / 2.0, h / 2.0, w, h, 60, ray));
        EXPECT_EQ(PickPerson(persons, 2, 0, ray), -1) << theta;
    }
}

}  // namespace
