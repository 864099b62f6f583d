// Where the current projection, model-view matrix and viewport put scene
// points, to tell faces that cannot cover a pixel centre.
#pragma once

namespace orlex {

class TScreenMapper {
public:
    // Reads the matrices and the viewport of the current OpenGL context.
    TScreenMapper();
    // From a column-major projection times model-view product and a viewport.
    TScreenMapper(const double matrix[16], const int viewport[4]);

    // Window position of (x, y, z); false when behind the eye (no verdict then).
    bool Map(double x, double y, double z, double& wx, double& wy) const;
    // True when the convex polygon (window coordinates, n corners) covers no
    // pixel centre of the viewport, even when widened by a margin far above the
    // rasteriser's sub-pixel snapping. Large polygons are not examined.
    bool MissesAllPixels(const double* px, const double* py, int n) const;

private:
    double M_[16];
    int Viewport_[4];
};

}  // namespace orlex
