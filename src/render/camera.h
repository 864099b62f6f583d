// The orbiting camera of the 3D view: angles, distance, eye, up vector and pan,
// the moves a mouse drag makes, the far plane and the ray from a screen point
// to a floor plane. Plain arithmetic: no window, no OpenGL.
#pragma once

namespace orlex {

// A point on the floor plane, in deck coordinates (before the pan).
struct TFloorPoint {
    double X = 0.0;
    double Y = 0.0;
};

// A ray in deck coordinates: Origin + t * Direction, t >= 0.
struct TRay {
    double Origin[3] = {0.0, 0.0, 0.0};
    double Direction[3] = {0.0, 0.0, -1.0};
};

class TCamera {
public:
    // Radians per pixel of a rotating drag.
    static constexpr double kRotationPerPixel = 0.008;
    // Pan per pixel of a panning drag, as a fraction of Distance.
    static constexpr double kPanPerPixel = 0.00125;
    // Smallest distance SetDistance accepts.
    static constexpr double kMinDistance = 1.1;

    double Phi = 0.0;    // azimuth, radians, unbounded
    double Theta = 0.0;  // polar angle from +z, radians, unbounded
    double Distance = 0.0;
    double EyeX = 0.0;
    double EyeY = 0.0;
    double EyeZ = 0.0;
    double PanX = 0.0;
    double PanY = 0.0;
    double UpX = 0.0;
    double UpY = 1.0;
    double UpZ = 0.0;

    // Recomputes EyeX/Y/Z from Phi, Theta and Distance.
    void UpdateEye();
    // Recomputes UpX/Y/Z from Phi and Theta.
    void UpdateUp();
    // Distance, at least kMinDistance (NaN counts as below it), and the eye.
    // An infinite distance is refused (false) and nothing changes.
    bool SetDistance(double d);
    // A rotating drag of (dx, dy) pixels: only the angles change.
    void Rotate(double dx, double dy);
    // A panning drag of (dx, dy) pixels (y down): the scene follows the mouse.
    void Pan(double dx, double dy);
    // Pans so that deck point (x, y) lies at the point the camera looks at.
    void CentreOn(double x, double y);

    // Far clipping plane for a pan, a distance and a deck size:
    // |trunc(sqrt(panX^2 + panY^2))| + |trunc(distance)| + maxDim.
    static double FarPlane(double panX, double panY, double distance, int maxDim);
    double FarPlane(int maxDim) const { return FarPlane(PanX, PanY, Distance, maxDim); }

    // The ray through window position (x, y) (pixels, y down, (0, 0) the top
    // left corner of the top left pixel) of a w x h view with a vertical field
    // of fovDegrees, in deck coordinates. False for a degenerate view.
    bool ScreenRay(double x, double y, int w, int h, double fovDegrees, TRay& ray) const;
    // Where that ray meets the plane z = height; false when it never does
    // (parallel to it, or the plane lies behind the eye).
    bool ScreenToFloor(double x, double y, int w, int h, double fovDegrees, double height,
                       TFloorPoint& point) const;
};

}  // namespace orlex
