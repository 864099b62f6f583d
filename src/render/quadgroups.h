// The quads of the deck shown, compiled once per deck into display lists that
// hold their vertex arrays: one list per region of the deck and facing
// direction, each in the order of the quad list. A frame calls the lists whose
// faces can turn towards the eye; the others OpenGL would cull anyway. Only
// faces lying in one plane of the same direction could change their drawing
// order, and those have the same colour.
#pragma once

#include <cstddef>
#include <vector>

#include "deck.h"

namespace orlex {

// Facing direction of a quad: 0..5 for +x, -x, +y, -y, +z, -z; 6 for any other.
int QuadDirection(const TQuad& q);

// One glBegin/glEnd pair per quad: normal, colour, four vertices.
void DrawQuadsListed(const TDeck& deck);

class TQuadGroups {
public:
    // Regions per side of the deck.
    static constexpr int kRegionsPerSide = 8;

    // Draws the deck's quads; eye is the eye in deck coordinates.
    void Draw(const TDeck& deck, const double eye[3]);
    // Forgets which deck the lists hold (they go when the next deck is drawn).
    void Forget();
    // Deletes the lists; needs their context current.
    void Release();
    // The lists held now.
    std::size_t GroupCount() const { return Groups_.size(); }

private:
    struct TGroup {
        unsigned int List = 0;
        int Direction = 0;      // 0..5: +x, -x, +y, -y, +z, -z; 6: other
        float MinPlane = 0.0f;  // range of the faces' plane coordinate
        float MaxPlane = 0.0f;
    };
    bool Build(const TQuad* quads, std::size_t count);

    std::vector<TGroup> Groups_;
    const TDeck* Deck_ = nullptr;
    const TQuad* Data_ = nullptr;
    std::size_t Count_ = 0;
};

}  // namespace orlex
