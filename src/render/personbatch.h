// Drawing the persons standing on the deck shown: either one display-list
// call per person, or the glyphs pre-turned and moved on the CPU and sent as
// vertex arrays in batches. Both give the same picture.
#pragma once

#include <cstdint>
#include <vector>

#include "person.h"

namespace orlex {

// What both ways of drawing need.
struct TPersonPass {
    const TPersonData* Persons = nullptr;
    int PersonCount = 0;
    int Deck = 0;                             // persons on this level are drawn
    double Eye[3] = {};                       // the eye in deck coordinates
    int MaxDim = 0;                           // the larger side of the deck
    std::vector<int>* BadHeadings = nullptr;  // persons with a heading outside 1..8
    int Skip = -1;                            // a person not drawn here
    const int8_t* SkipSet = nullptr;          // per person or null: non-zero ones not drawn
};

// One push, translate, turn, list call and pop per person.
void DrawPersonsListed(const TPersonPass& pass, unsigned int glyphList);

class TPersonBatcher {
public:
    // Persons sent per batch; bounds the arrays for any number of persons.
    static constexpr int kBatchPersons = 1024;

    void Draw(const TPersonPass& pass);

private:
    // Normals and positions of the batched persons, reused between frames.
    std::vector<float> Vertices_;
};

}  // namespace orlex
