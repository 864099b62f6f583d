#include "picking.h"

#include <algorithm>
#include <limits>

#include "glyph.h"

namespace orlex {

// The prism is the intersection of the half-spaces behind its five faces; the
// ray is clipped against each of them in turn.
bool RayHitsGlyph(const TRay& ray, float x, float y, int heading, double& t) {
    const TTurnedGlyph& g = TurnedGlyph(heading);
    double enter = 0.0;
    double leave = std::numeric_limits<double>::infinity();
    for (int f = 0; f < 5; ++f) {
        const float* n = g.Normals[f];
        const float* c = g.Corners[kGlyphFaces[f].Corner[0]];
        const double px = c[0] + x, py = c[1] + y, pz = c[2];
        // Inside where n . (q - p) <= 0.
        const double along =
            n[0] * ray.Direction[0] + n[1] * ray.Direction[1] + n[2] * ray.Direction[2];
        const double outside =
            n[0] * (ray.Origin[0] - px) + n[1] * (ray.Origin[1] - py) + n[2] * (ray.Origin[2] - pz);
        if (along == 0.0) {
            if (outside > 0.0) return false;
            continue;
        }
        const double at = -outside / along;
        if (along < 0.0)
            enter = std::max(enter, at);
        else
            leave = std::min(leave, at);
        if (enter > leave) return false;
    }
    t = enter;
    return true;
}

int PickPerson(const TPersonData* persons, int count, int deck, const TRay& ray) {
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
    return best;
}

}  // namespace orlex
