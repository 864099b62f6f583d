// The quads of the deck shown, compiled once per deck into display lists that
// hold their vertex arrays: one list per region of the deck and facing
// direction, each in the order of the quad list. A frame calls the lists whose
// faces can turn towards the eye and whose region reaches into the view volume;
// OpenGL would cull or clip away the others anyway. Only
// faces lying in one plane of the same direction could change their drawing
// order, and those have the same colour.
//
// Two kinds of faces are left out as well, since they cannot change a pixel:
// - the sides of blocks that other blocks cover (coveredfaces.h), which go into
//   lists of their own, called only when the eye is so close to the blocks
//   that they could show;
// - for a view that stays the same from one frame to the next (a still camera,
//   the running animation), the faces that cover no pixel centre of it: the
//   second frame of such a view compiles the faces that can show into one list
//   of their own, in the same order, and the frames after it call only that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "deck.h"

namespace orlex {

// Facing direction of a quad: 0..5 for +x, -x, +y, -y, +z, -z; 6 for any other.
int QuadDirection(const TQuad& q);

// One glBegin/glEnd pair per quad: normal, colour, four vertices.
void DrawQuadsListed(const TDeck& deck);

// What a frame may leave out of the deck's quads.
struct TQuadCulling {
    bool Covered = true;  // sides of blocks that other blocks cover
    bool Unseen = true;   // faces that cover no pixel centre of a still view
    bool Outside = true;  // regions wholly outside the view volume
};

class TQuadGroups {
public:
    // Regions per side of the deck.
    static constexpr int kRegionsPerSide = 8;

    TQuadGroups() = default;
    TQuadGroups(const TQuadGroups&) = delete;
    TQuadGroups& operator=(const TQuadGroups&) = delete;

    // Draws the deck's quads with the projection, model-view matrix and viewport
    // that are current; eye is the eye in deck coordinates.
    void Draw(const TDeck& deck, const double eye[3], TQuadCulling culling = {});
    // Forgets which deck the lists hold (they go when the next deck is drawn).
    void Forget();
    // Deletes the lists; needs their context current.
    void Release();
    // The lists held now.
    std::size_t GroupCount() const { return Groups_.size(); }
    // Quads sent by the last Draw.
    std::size_t DrawnQuads() const { return Drawn_; }
    // Covered faces of the deck held (see coveredfaces.h).
    std::size_t CoveredCount() const { return Covered_; }
    // Whether the last Draw called the list of its view.
    bool DrewViewList() const { return DrewView_; }

private:
    struct TGroup {
        unsigned int List = 0;
        int Direction = 0;      // 0..5: +x, -x, +y, -y, +z, -z; 6: other
        float MinPlane = 0.0f;  // range of the faces' plane coordinate
        float MaxPlane = 0.0f;
        float Lo[3] = {}, Hi[3] = {};  // the box around its quads
        std::size_t First = 0;         // its quads: Order_[First .. First + Count)
        std::size_t Count = 0;
        bool Covered = false;  // sides of blocks that other blocks cover
    };
    // What a view list depends on.
    struct TView {
        double Projection[16] = {};
        double ModelView[16] = {};
        int Viewport[4] = {};
        double Eye[3] = {};
        double Clip[16] = {};  // Projection times ModelView
        bool WithCovered = false;
        bool WithOutside = false;
        bool operator==(const TView&) const = default;
    };

    bool Build(const TQuad* quads, std::size_t count);
    // The group of the quads Order_[first .. end).
    bool AddGroup(const TQuad* quads, std::size_t first, std::size_t end, int direction,
                  bool covered);
    // Whether the eye is far enough from every block for the covered faces to stay
    // hidden, with the given projection.
    bool FarFromBlocks(const double eye[3], const double projection[16]) const;
    bool Faces(const TGroup& g, const double eye[3]) const;
    // Whether a face of the group can show in the view: turned to the eye, in
    // the view volume, and not covered (unless the eye is close to the blocks).
    bool MayShow(const TGroup& g, const TView& view) const;
    void DrawGroups(const TView& view);
    // Compiles the faces of the view that can cover a pixel centre into ViewList_.
    bool BuildViewList(const TQuad* quads, const TView& view);
    void DropViewList();

    std::vector<TGroup> Groups_;
    std::vector<std::uint32_t> Order_;  // quad indices, group after group
    const TDeck* Deck_ = nullptr;
    const TQuad* Data_ = nullptr;
    std::size_t Count_ = 0;
    std::size_t Drawn_ = 0;
    std::size_t Covered_ = 0;
    float BlocksBottom_ = 0.0f;  // of the boxes of the deck held; equal without any
    float BlocksTop_ = 0.0f;
    std::vector<TQuad> Gathered_;  // scratch of the compiles

    // The view of the frame drawn last from the groups, and the view list.
    TView Last_;
    bool HasLast_ = false;
    TView ListView_;
    unsigned int ViewList_ = 0;
    std::size_t ViewQuads_ = 0;
    bool DrewView_ = false;
};

}  // namespace orlex
