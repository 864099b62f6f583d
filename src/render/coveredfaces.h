// Faces of a quad list that can never be seen from outside the raised blocks:
// a side of a block that lies against the sides of the blocks next to it. The
// blocks are found in the list itself: six consecutive quads that close an
// axis-aligned box with every face turned outwards. Any other quad, and any
// face only partly covered, counts as seen.
#pragma once

#include <cstddef>
#include <vector>

#include "deck.h"

namespace orlex {

// An axis-aligned box of the quad list; First is the index of its first quad
// (six in a row, one per facing direction).
struct TBlockBox {
    float Min[3];
    float Max[3];
    std::size_t First;
};

// The boxes in the list, in list order; a quad belongs to at most one.
std::vector<TBlockBox> FindBlockBoxes(const TQuad* quads, std::size_t count);

struct TCoveredFaces {
    // Per quad: 1 for a side of a box (facing +x, -x, +y or -y) that boxes of the
    // same bottom and top cover wholly on its other side, else 0.
    std::vector<unsigned char> Covered;
    std::size_t Count = 0;  // the ones among them
    // The lowest and highest point of any box; Top > Bottom only with boxes.
    float Bottom = 0.0f;
    float Top = 0.0f;
};

// A covered face can only show when the eye is inside a box, or so close to one
// that the near plane cuts into it.
TCoveredFaces FindCoveredFaces(const TQuad* quads, std::size_t count);

}  // namespace orlex
