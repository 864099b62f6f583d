#include "camera.h"

#include <cmath>

namespace orlex {

namespace {

void Normalize(double v[3]) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0) {
        v[0] /= length;
        v[1] /= length;
        v[2] /= length;
    }
}

void Cross(const double a[3], const double b[3], double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

void TCamera::UpdateEye() {
    EyeX = Distance * std::sin(Theta) * std::sin(Phi);
    EyeY = Distance * std::sin(Theta) * std::cos(Phi);
    EyeZ = Distance * std::cos(Theta);
}

void TCamera::UpdateUp() {
    UpX = std::cos(Theta) * std::sin(Phi);
    UpY = std::cos(Theta) * std::cos(Phi);
    UpZ = -std::sin(Theta);
}

bool TCamera::SetDistance(double d) {
    // An infinite distance would turn the eye into NaN; keep the old one.
    if (std::isinf(d)) return false;
    if (std::isnan(d) || d < kMinDistance) d = kMinDistance;
    Distance = d;
    UpdateEye();
    return true;
}

void TCamera::Rotate(double dx, double dy) {
    Phi += dx * kRotationPerPixel;
    Theta += dy * kRotationPerPixel;
}

void TCamera::Pan(double dx, double dy) {
    const double k = kPanPerPixel * Distance;
    PanX += (std::sin(Phi) * (-dy) + std::cos(Phi) * dx) * k;
    PanY += (std::cos(Phi) * (-dy) - std::sin(Phi) * dx) * k;
}

void TCamera::CentreOn(double x, double y) {
    PanX = -x;
    PanY = -y;
}

double TCamera::FarPlane(double panX, double panY, double distance, int maxDim) {
    const double pan = std::fabs(std::trunc(std::sqrt(panX * panX + panY * panY)));
    return pan + std::fabs(std::trunc(distance)) + static_cast<double>(maxDim);
}

// The inverse of what gluLookAt(eye, origin, up) and gluPerspective(fov, w / h)
// do to a point, then the pan taken off so that the ray is in deck coordinates.
bool TCamera::ScreenRay(double x, double y, int w, int h, double fovDegrees, TRay& ray) const {
    if (w <= 0 || h <= 0 || !(fovDegrees > 0 && fovDegrees < 180)) return false;
    double forward[3] = {-EyeX, -EyeY, -EyeZ};
    double up[3] = {UpX, UpY, UpZ};
    Normalize(forward);
    double side[3];
    Cross(forward, up, side);
    Normalize(side);
    double trueUp[3];
    Cross(side, forward, trueUp);
    const double halfHeight = std::tan(fovDegrees * M_PI / 360.0);
    const double halfWidth = halfHeight * static_cast<double>(w) / h;
    const double nx = (2.0 * x / w - 1.0) * halfWidth;
    const double ny = (1.0 - 2.0 * y / h) * halfHeight;
    for (int k = 0; k < 3; ++k) ray.Direction[k] = forward[k] + nx * side[k] + ny * trueUp[k];
    ray.Origin[0] = EyeX - PanX;
    ray.Origin[1] = EyeY - PanY;
    ray.Origin[2] = EyeZ;
    for (double v : ray.Direction)
        if (!std::isfinite(v)) return false;
    for (double v : ray.Origin)
        if (!std::isfinite(v)) return false;
    return true;
}

bool TCamera::ScreenToFloor(double x, double y, int w, int h, double fovDegrees, double height,
                            TFloorPoint& point) const {
    TRay ray;
    if (!ScreenRay(x, y, w, h, fovDegrees, ray)) return false;
    if (std::fabs(ray.Direction[2]) < 1e-12) return false;
    const double t = (height - ray.Origin[2]) / ray.Direction[2];
    if (!(t > 0)) return false;
    point.X = ray.Origin[0] + t * ray.Direction[0];
    point.Y = ray.Origin[1] + t * ray.Direction[1];
    return true;
}

}  // namespace orlex
