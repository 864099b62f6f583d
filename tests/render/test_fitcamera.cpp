// The fitted camera: for grids from one cell to 100000 x 8, seen from above and
// at an angle, every corner of the grid (floor and person height) projects inside
// the view and in front of the near plane, and the grid fills the view.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "projectscene.h"

namespace {

// Where a scene point lands, as gluLookAt(eye, 0, up), the pan and
// gluPerspective(60, aspect, 1, far) put it: normalised x and y, and the depth.
struct TProjected {
    double X, Y, Depth;
};

TProjected Project(const orlex::TCamera& camera, double aspect, double x, double y, double z) {
    const double eye[3] = {camera.EyeX, camera.EyeY, camera.EyeZ};
    const double length = std::sqrt(eye[0] * eye[0] + eye[1] * eye[1] + eye[2] * eye[2]);
    const double f[3] = {-eye[0] / length, -eye[1] / length, -eye[2] / length};
    double s[3] = {f[1] * camera.UpZ - f[2] * camera.UpY, f[2] * camera.UpX - f[0] * camera.UpZ,
                   f[0] * camera.UpY - f[1] * camera.UpX};
    const double sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    for (double& v : s) v /= sl;
    const double u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2],
                         s[0] * f[1] - s[1] * f[0]};
    const double p[3] = {x + camera.PanX - eye[0], y + camera.PanY - eye[1], z - eye[2]};
    const double depth = p[0] * f[0] + p[1] * f[1] + p[2] * f[2];
    const double t = std::tan(M_PI / 6);
    return {(p[0] * s[0] + p[1] * s[1] + p[2] * s[2]) / (depth * t * aspect),
            (p[0] * u[0] + p[1] * u[1] + p[2] * u[2]) / (depth * t), depth};
}

TEST(FitCamera, WholeGridInViewAtEverySize) {
    const std::pair<int, int> grids[] = {{1, 1},      {2, 1},    {18, 25},    {160, 48},
                                         {1000, 200}, {8, 5000}, {100000, 8}, {99999, 99999}};
    const std::pair<double, double> angles[] = {{0, 0}, {0, 0.9}, {2.0, 0.6}, {-0.7, 1.2}};
    for (const double aspect : {16.0 / 9.0, 4.0 / 3.0, 0.5}) {
        for (const auto& [xmax, ymax] : grids) {
            for (const auto& [phi, theta] : angles) {
                SCOPED_TRACE(testing::Message() << xmax << " x " << ymax << ", phi " << phi
                                                << ", theta " << theta << ", aspect " << aspect);
                const orlex::TCamera camera = orlex::FitCamera(xmax, ymax, phi, theta, aspect);
                ASSERT_TRUE(std::isfinite(camera.Distance));
                // The grid's corners in scene coordinates: x from -xmax/2, y up to
                // ymax/2, halves by integer division.
                const double left = -(xmax / 2), right = xmax - xmax / 2;
                const double top = ymax / 2, bottom = ymax / 2 - ymax;
                double reach = 0;
                for (const double x : {left, right}) {
                    for (const double y : {bottom, top}) {
                        for (const double z : {0.0, orlex::kFitHeight}) {
                            const TProjected p = Project(camera, aspect, x, y, z);
                            EXPECT_GT(p.Depth, 1.0) << "behind the near plane";
                            EXPECT_LE(std::fabs(p.X), 1.0) << x << "," << y << "," << z;
                            EXPECT_LE(std::fabs(p.Y), 1.0) << x << "," << y << "," << z;
                            reach = std::max({reach, std::fabs(p.X), std::fabs(p.Y)});
                        }
                    }
                }
                // Not merely far away: some corner comes near the edge, unless the
                // near plane holds a tiny grid back.
                if (xmax >= 18) {
                    EXPECT_GT(reach, 0.85);
                }
                const double far = camera.FarPlane(std::max(xmax, ymax));
                EXPECT_LT(Project(camera, aspect, left, bottom, 0).Depth, far);
                EXPECT_LT(Project(camera, aspect, right, top, 0).Depth, far);
            }
        }
    }
}

TEST(FitCamera, DegenerateAspectAndGrid) {
    const orlex::TCamera a = orlex::FitCamera(0, -5, 0, 0, 0);
    const orlex::TCamera b = orlex::FitCamera(1, 1, 0, 0, 1);
    EXPECT_DOUBLE_EQ(a.Distance, b.Distance);
    const orlex::TCamera c = orlex::FitCamera(10, 10, 0, 0, std::nan(""));
    EXPECT_TRUE(std::isfinite(c.Distance));
    EXPECT_GE(c.Distance, orlex::TCamera::kMinDistance);
}

}  // namespace
