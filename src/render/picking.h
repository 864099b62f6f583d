// Which person's glyph lies under a screen point: a ray test against the glyph
// prisms, on the CPU.
#pragma once

#include "camera.h"
#include "person.h"

namespace orlex {

// Where the ray enters the glyph of a person standing at (x, y) with heading
// (unturned for a bad one): the ray parameter t >= 0, or false when it misses.
bool RayHitsGlyph(const TRay& ray, float x, float y, int heading, double& t);

// The person on deck whose glyph the ray meets first, or -1 for none; where the
// ray meets it goes to hitT when given.
int PickPerson(const TPersonData* persons, int count, int deck, const TRay& ray,
               double* hitT = nullptr);

}  // namespace orlex
