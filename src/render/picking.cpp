#include "picking.h"

#include <algorithm>
#include <limits>

#include "glyph.h"

namespace orlex {

namespace {

// Clips [enter, leave] to where n . (o + t d) <= limit; false when it empties.
bool Clip(double along, double outside, double& enter, double& leave) {
    if (along == 0.0) return outside <= 0.0;
    const double at = -outside / along;
    if (along < 0.0)
        enter = std::max(enter, at);
    else
        leave = std::min(leave, at);
    return enter <= leave;
}

}  // namespace

// The prism is the intersection of five half-spaces: below the top, above the
// floor, and inside each side of the triangle (its corners run counter-clockwise,
// so the outside of edge p -> q lies to its right). The ray is clipped by each.
// The shading normals of the glyph are not used: the slanted ones are not
// perpendicular to their faces.
bool RayHitsGlyph(const TRay& ray, float x, float y, int heading, double& t) {
    const TTurnedGlyph& g = TurnedGlyph(heading);
    const double* o = ray.Origin;
    const double* d = ray.Direction;
    double enter = 0.0;
    double leave = std::numeric_limits<double>::infinity();
    if (!Clip(d[2], o[2] - kPersonHeight, enter, leave) || !Clip(-d[2], -o[2], enter, leave))
        return false;
    for (int k = 0; k < 3; ++k) {
        const float* p = g.Corners[k];
        const float* q = g.Corners[(k + 1) % 3];
        const double nx = q[1] - p[1], ny = -(q[0] - p[0]);
        const double along = nx * d[0] + ny * d[1];
        const double outside = nx * (o[0] - (p[0] + x)) + ny * (o[1] - (p[1] + y));
        if (!Clip(along, outside, enter, leave)) return false;
    }
    t = enter;
    return true;
}

int PickPerson(const TPersonData* persons, int count, int deck, const TRay& ray, double* hitT) {
    if (!persons) return -1;
    int best = -1;
    double nearest = std::numeric_limits<double>::infinity();
    for (int i = 0; i < count; ++i) {
        float x = 0, y = 0;
        int tag = 0, heading = 0, level = 0;
        persons[i].GetPosition(x, y, tag, heading, level);
        if (level != deck) continue;
        double t = 0;
        if (RayHitsGlyph(ray, x, y, heading, t) && t < nearest) {
            nearest = t;
            best = i;
        }
    }
    if (hitT) *hitT = nearest;
    return best;
}

}  // namespace orlex
