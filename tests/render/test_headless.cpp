// The scene drawn with no window system at all: a surfaceless EGL context, a
// framebuffer object and the scene renderer; the pixels of known points, the
// persons reported for a bad heading, and the screen-to-floor ray checked
// against the projection OpenGL uses.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include "headless.h"
#include "projects.h"
#include "scenerenderer.h"

using namespace orlex;

namespace {

using namespace orlex::test;

TEST_F(Headless, FramebufferRefusesSizesItCannotHold) {
    TFramebuffer frame(&TEglContext::ProcAddress);
    EXPECT_FALSE(frame.Create(0, 10));
    EXPECT_FALSE(frame.Problem().empty());
    EXPECT_FALSE(frame.Create(1000000, 10));
    EXPECT_NE(frame.Problem().find("1000000 x 10"), std::string::npos) << frame.Problem();
    EXPECT_TRUE(frame.Read().Data.empty());
    ASSERT_TRUE(frame.Create(7, 3));  // odd sizes are fine
    EXPECT_EQ(frame.Read().Data.size(), std::size_t{7 * 3 * 4});
}

TEST_F(Headless, NothingToShowGivesTheBackground) {
    const TRgbaPixels pixels = Draw(TSceneInput{}, TCamera{});
    ASSERT_EQ(pixels.Width, kW);
    for (int y = 0; y < kH; y += 7)
        for (int x = 0; x < kW; x += 5)
            ASSERT_TRUE(IsBackground(At(pixels, x, y))) << x << "," << y;
}

TEST_F(Headless, ExampleSeenFromAbove) {
    test::TLoaded loaded = test::LoadText(test::kExampleFile);
    ASSERT_TRUE(loaded.Project);
    const TSceneInput scene = SceneOf(*loaded.Project);
    const TCamera camera = TopView(0, 0, 30);
    std::vector<int> bad{99};
    const TRgbaPixels pixels = Draw(scene, camera, &bad);
    EXPECT_TRUE(bad.empty());
    struct TProbe {
        double X, Y, Z;
        bool (*Check)(const TRgb&);
    };
    const TProbe probes[] = {
        {-1.5, 0.5, 6.0, IsGlyphGreen},                                    // person 0, glyph top
        {-1.5, -0.5, 6.0, IsGlyphGreen},                                   // person 1
        {-0.5, 0.5, 0.0, [](const TRgb& c) { return IsNeutral(c, 60); }},  // white floor
        {0.0, 4.0, 0.0, IsBackground},                                     // beyond the deck
    };
    for (const TProbe& p : probes) {
        double sx = 0, sy = 0;
        ASSERT_TRUE(Project(camera, p.X, p.Y, p.Z, sx, sy));
        const TRgb c = At(pixels, static_cast<int>(sx), static_cast<int>(sy));
        EXPECT_TRUE(p.Check(c)) << p.X << "," << p.Y << ": " << c[0] << " " << c[1] << " " << c[2];
    }
}

TEST_F(Headless, BadHeadingsAreReturnedForTheDeckShown) {
    // Person 1 has the heading 9; person 2 stands on deck 1.
    test::TLoaded loaded = test::LoadText(test::ProjectText({"A", "B"}, 1, {"S", "S", "S"}));
    ASSERT_TRUE(loaded.Project);
    TLogFile1& project = *loaded.Project;
    ASSERT_EQ(project.PersonCount(), 3);
    TPersonData* persons = project.PersonData();
    persons[1].SetStart(persons[1].StartX, persons[1].StartY, project.YMax, project.XMax, 0, 9, 0);
    persons[2].SetStart(persons[2].StartX, persons[2].StartY, project.YMax, project.XMax, 0, 9, 1);
    TSceneInput scene = SceneOf(project);
    std::vector<int> bad;
    for (bool batched : {true, false}) {
        scene.BatchPersons = batched;
        Draw(scene, TopView(0, 0, 20), &bad);
        EXPECT_EQ(bad, std::vector<int>{1}) << "batched " << batched;
    }
    scene.CurrentDeck = 1;
    Draw(scene, TopView(0, 0, 20), &bad);
    EXPECT_EQ(bad, std::vector<int>{2});
}

// The ray of a pixel meets the floor where OpenGL puts that floor point.
TEST_F(Headless, ScreenToFloorInvertsTheProjection) {
    test::TLoaded loaded = test::LoadText(test::kExampleFile);
    ASSERT_TRUE(loaded.Project);
    const TSceneInput scene = SceneOf(*loaded.Project);
    for (double theta : {0.0, 0.5, 1.1}) {
        TCamera camera;
        camera.Phi = 0.7;
        camera.Theta = theta;
        camera.SetDistance(25);
        camera.UpdateUp();
        camera.CentreOn(1.0, -0.5);
        Draw(scene, camera);
        for (double x : {-2.0, 0.0, 1.5, 3.0}) {
            for (double y : {-1.5, 0.25, 2.0}) {
                for (double z : {0.0, 6.0}) {
                    double sx = 0, sy = 0;
                    ASSERT_TRUE(Project(camera, x, y, z, sx, sy));
                    TFloorPoint p;
                    ASSERT_TRUE(camera.ScreenToFloor(sx, sy, kW, kH, scene.FieldOfView, z, p));
                    EXPECT_NEAR(p.X, x, 1e-4) << theta;  // OpenGL keeps floats
                    EXPECT_NEAR(p.Y, y, 1e-4) << theta;
                }
            }
        }
    }
}

}  // namespace
