#include "screenmap.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace orlex {

namespace {

// Pixel centres sit at origin + i + 0.5, i = 0 .. size - 1: the first and
// last i inside [lo, hi]; false when there is none.
bool Centres(double lo, double hi, int origin, int size, double& first, double& last) {
    first = std::max(std::ceil(lo - origin - 0.5), 0.0);
    last = std::min(std::floor(hi - origin - 0.5), size - 1.0);
    return first <= last;
}

}  // namespace

TScreenMapper::TScreenMapper() {
    GLdouble p[16], m[16];
    GLint viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    glGetIntegerv(GL_VIEWPORT, viewport);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += p[k * 4 + r] * m[c * 4 + k];
            M_[c * 4 + r] = sum;
        }
    std::copy(viewport, viewport + 4, Viewport_);
}

TScreenMapper::TScreenMapper(const double matrix[16], const int viewport[4]) {
    std::copy(matrix, matrix + 16, M_);
    std::copy(viewport, viewport + 4, Viewport_);
}

bool TScreenMapper::Map(double x, double y, double z, double& wx, double& wy) const {
    const double cw = M_[3] * x + M_[7] * y + M_[11] * z + M_[15];
    if (!(cw > 1e-9)) return false;
    const double cx = M_[0] * x + M_[4] * y + M_[8] * z + M_[12];
    const double cy = M_[1] * x + M_[5] * y + M_[9] * z + M_[13];
    wx = Viewport_[0] + (cx / cw + 1.0) * 0.5 * Viewport_[2];
    wy = Viewport_[1] + (cy / cw + 1.0) * 0.5 * Viewport_[3];
    return std::isfinite(wx) && std::isfinite(wy);
}

bool TScreenMapper::MissesAllPixels(const double* px, const double* py, int n) const {
    constexpr double margin = 0.02;
    double x0 = px[0], x1 = px[0], y0 = py[0], y1 = py[0];
    for (int k = 1; k < n; ++k) {
        x0 = std::min(x0, px[k]);
        x1 = std::max(x1, px[k]);
        y0 = std::min(y0, py[k]);
        y1 = std::max(y1, py[k]);
    }
    double cx0, cx1, cy0, cy1;  // first and last centre index on each axis
    if (!Centres(x0 - margin, x1 + margin, Viewport_[0], Viewport_[2], cx0, cx1) ||
        !Centres(y0 - margin, y1 + margin, Viewport_[1], Viewport_[3], cy0, cy1))
        return true;
    if ((cx1 - cx0 + 1) * (cy1 - cy0 + 1) > 4) return false;
    // Orientation of the polygon; a (nearly) flat one is kept.
    double area = 0;
    for (int k = 0; k < n; ++k) {
        const int j = (k + 1) % n;
        area += px[k] * py[j] - px[j] * py[k];
    }
    if (std::fabs(area) < 1e-9) return false;
    const double sign = area > 0 ? 1.0 : -1.0;
    for (double cy = cy0; cy <= cy1; ++cy) {
        for (double cx = cx0; cx <= cx1; ++cx) {
            const double x = Viewport_[0] + cx + 0.5, y = Viewport_[1] + cy + 0.5;
            bool inside = true;
            for (int k = 0; k < n && inside; ++k) {
                const int j = (k + 1) % n;
                const double ex = px[j] - px[k], ey = py[j] - py[k];
                const double length = std::sqrt(ex * ex + ey * ey);
                if (length < 1e-12) continue;
                const double distance = sign * (ex * (y - py[k]) - ey * (x - px[k])) / length;
                inside = distance >= -margin;
            }
            if (inside) return false;
        }
    }
    return true;
}

}  // namespace orlex
