// The camera without a window: distance bound, drags, far plane, the ray from
// a screen point to a floor plane and centring on a point.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "camera.h"

using orlex::TCamera;
using orlex::TFloorPoint;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct TDistanceCase {
    double Input;
    double Expected;
    bool Accepted;
};

class CameraDistance : public testing::TestWithParam<TDistanceCase> {};

TEST_P(CameraDistance, BoundedAndEyeFollows) {
    const TDistanceCase c = GetParam();
    TCamera camera;
    camera.Phi = 0.3;
    camera.Theta = 0.7;
    camera.SetDistance(50);
    camera.UpX = 0.25;  // stale on purpose: the up vector is left alone
    EXPECT_EQ(camera.SetDistance(c.Input), c.Accepted);
    EXPECT_DOUBLE_EQ(camera.Distance, c.Expected);
    EXPECT_NEAR(camera.EyeX, c.Expected * std::sin(0.7) * std::sin(0.3), 1e-9);
    EXPECT_NEAR(camera.EyeY, c.Expected * std::sin(0.7) * std::cos(0.3), 1e-9);
    EXPECT_NEAR(camera.EyeZ, c.Expected * std::cos(0.7), 1e-9);
    EXPECT_EQ(camera.UpX, 0.25);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CameraDistance,
    testing::Values(TDistanceCase{0.5, 1.1, true}, TDistanceCase{1.1, 1.1, true},
                    TDistanceCase{10000, 10000, true}, TDistanceCase{-7, 1.1, true},
                    TDistanceCase{0, 1.1, true}, TDistanceCase{kNaN, 1.1, true},
                    TDistanceCase{kInf, 50, false}, TDistanceCase{-kInf, 50, false}));

struct TDragCase {
    double Phi;  // before the drag
    double Dx, Dy;
    double RotatedPhi, RotatedTheta;
    double PanX, PanY;  // after a pan drag at distance 800 (one unit a pixel)
};

class CameraDrag : public testing::TestWithParam<TDragCase> {};

TEST_P(CameraDrag, RotateAndPan) {
    const TDragCase c = GetParam();
    TCamera rotating;
    rotating.Phi = c.Phi;
    rotating.Rotate(c.Dx, c.Dy);
    EXPECT_NEAR(rotating.Phi, c.RotatedPhi, 1e-12);
    EXPECT_NEAR(rotating.Theta, c.RotatedTheta, 1e-12);
    EXPECT_EQ(rotating.PanX, 0.0);

    TCamera panning;
    panning.Phi = c.Phi;
    panning.SetDistance(800);
    panning.Pan(c.Dx, c.Dy);
    EXPECT_NEAR(panning.PanX, c.PanX, 1e-9);
    EXPECT_NEAR(panning.PanY, c.PanY, 1e-9);
    EXPECT_EQ(panning.Phi, c.Phi);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CameraDrag,
    testing::Values(TDragCase{0, 125, 0, 1, 0, 125, 0}, TDragCase{0, 0, 125, 0, 1, 0, -125},
                    TDragCase{0, -40, -40, -0.32, -0.32, -40, 40},
                    TDragCase{M_PI / 2, 100, 0, M_PI / 2 + 0.8, 0, 0, -100},
                    TDragCase{M_PI / 2, 0, 100, M_PI / 2, 0.8, -100, 0},
                    TDragCase{0, 0, 500, 0, 4, 0, -500}));  // past the pole: not clamped

struct TFarCase {
    double PanX, PanY, Distance;
    int MaxDim;
    double Expected;
};

class CameraFarPlane : public testing::TestWithParam<TFarCase> {};

TEST_P(CameraFarPlane, TruncatedSum) {
    const TFarCase c = GetParam();
    EXPECT_EQ(TCamera::FarPlane(c.PanX, c.PanY, c.Distance, c.MaxDim), c.Expected);
    TCamera camera;
    camera.PanX = c.PanX;
    camera.PanY = c.PanY;
    camera.Distance = c.Distance;
    EXPECT_EQ(camera.FarPlane(c.MaxDim), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, CameraFarPlane,
                         testing::Values(TFarCase{30, 40, 173.2, 200, 423},
                                         TFarCase{-30, -40, 173.9, 200, 423},
                                         TFarCase{0.9, 0, 0.9, 0, 0}, TFarCase{0, 0, 1.1, 1, 2}));

// Straight down (Phi = Theta = 0, up +y): pixel (sx, sy) of a w x h view sees
// the floor at pan-relative offsets that follow from the 60 degree field.
struct TTopCase {
    double Sx, Sy;
    double PanX, PanY;
};

class CameraFloorTop : public testing::TestWithParam<TTopCase> {};

TEST_P(CameraFloorTop, InvertsTheProjection) {
    const TTopCase c = GetParam();
    constexpr int w = 480, h = 360;
    TCamera camera;
    camera.SetDistance(30);
    camera.UpdateUp();
    camera.PanX = c.PanX;
    camera.PanY = c.PanY;
    TFloorPoint p;
    ASSERT_TRUE(camera.ScreenToFloor(c.Sx, c.Sy, w, h, 60, 0.0, p));
    const double f = (h / 2.0) / std::tan(30.0 * M_PI / 180.0);
    EXPECT_NEAR(p.X, (c.Sx - w / 2.0) * 30 / f - c.PanX, 1e-9);
    EXPECT_NEAR(p.Y, -(c.Sy - h / 2.0) * 30 / f - c.PanY, 1e-9);
    // A plane 6 above the floor is 24 away: offsets shrink by 24 / 30.
    ASSERT_TRUE(camera.ScreenToFloor(c.Sx, c.Sy, w, h, 60, 6.0, p));
    EXPECT_NEAR(p.X, (c.Sx - w / 2.0) * 24 / f - c.PanX, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Table, CameraFloorTop,
                         testing::Values(TTopCase{240, 180, 0, 0}, TTopCase{240, 180, -4.5, 2},
                                         TTopCase{0, 0, 0, 0}, TTopCase{480, 360, 3, -7},
                                         TTopCase{100.5, 300.25, 1, 1}));

TEST(CameraFloor, CentreSeesTheFocusFromAnyAngle) {
    for (double theta : {0.0, 0.4, 1.2, -0.9}) {
        for (double phi : {0.0, 1.0, -2.5, 4.0}) {
            TCamera camera;
            camera.Phi = phi;
            camera.Theta = theta;
            camera.SetDistance(50);
            camera.UpdateUp();
            camera.CentreOn(12.5, -3.25);
            TFloorPoint p;
            ASSERT_TRUE(camera.ScreenToFloor(320, 240, 640, 480, 60, 0.0, p));
            EXPECT_NEAR(p.X, 12.5, 1e-9) << theta << " " << phi;
            EXPECT_NEAR(p.Y, -3.25, 1e-9) << theta << " " << phi;
        }
    }
}

TEST(CameraFloor, NoPointWhereTheRayCannotMeetThePlane) {
    TCamera camera;
    camera.SetDistance(30);
    TFloorPoint p;
    EXPECT_FALSE(camera.ScreenToFloor(10, 10, 480, 360, 60, 40.0, p));  // above the eye
    EXPECT_FALSE(camera.ScreenToFloor(10, 10, 0, 360, 60, 0.0, p));     // no view
    EXPECT_FALSE(camera.ScreenToFloor(10, 10, 480, 360, 0, 0.0, p));    // no field
    // Looking along the floor: the centre ray is parallel to it.
    TCamera level;
    level.Theta = -M_PI / 2;  // up is +z
    level.SetDistance(30);
    level.UpdateUp();
    EXPECT_FALSE(level.ScreenToFloor(240, 180, 480, 360, 60, 0.0, p));
    // Above the horizon the ray rises: no floor there.
    EXPECT_FALSE(level.ScreenToFloor(240, 10, 480, 360, 60, 0.0, p));
    EXPECT_TRUE(level.ScreenToFloor(240, 350, 480, 360, 60, 0.0, p));
}

}  // namespace
