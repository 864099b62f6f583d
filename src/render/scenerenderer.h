// Draws one frame of the 3D view into the OpenGL context that is current: the
// origin marker, the persons on the deck shown, the light positions and the
// deck's quads, in that order. It holds no window; the view control and the
// offscreen view both draw through it.
#pragma once

#include <vector>

#include "camera.h"
#include "deck.h"
#include "lights.h"
#include "overlay.h"
#include "person.h"
#include "personbatch.h"
#include "quadgroups.h"
#include "trails.h"

namespace orlex {

// What a frame shows.
struct TSceneInput {
    const TDeck* Decks = nullptr;  // DeckCount of them
    int DeckCount = 0;
    const TPersonData* Persons = nullptr;  // PersonCount of them
    int PersonCount = 0;
    int CurrentDeck = 0;
    const TLights* LightSet = nullptr;  // the 8 light slots of the deck shown
    bool OriginVisible = false;
    int FieldOfView = 0;  // degrees; 0 before a project is shown
    int MaxDim = 0;       // the larger side of the deck
    // Persons as vertex arrays (true) or one display-list call each (false).
    bool BatchPersons = true;
    // Quads in display lists of vertex arrays (true) or one glBegin/glEnd each.
    bool BatchQuads = true;
    // With batched quads: the faces that cannot change a pixel and are left out
    // (see quadgroups.h); all of them are drawn with every one false (for comparison).
    TQuadCulling QuadCulling;
    // A person drawn yellow, with its trail from its start; -1 for none.
    int PickedPerson = -1;
    // The step counter the persons stand at: the trails end there.
    int StepCounter = 0;
    int XMax = 0;  // the project's columns and rows, which place the start cells
    int YMax = 0;
    // Trails of everyone on the deck shown, TrailSteps steps long.
    bool AllTrails = false;
    int TrailSteps = 0;
    // Colour maps per deck (OverlayCount of them, index = deck): the one of the
    // deck shown lies on its floor (its legend is painted by the views); none
    // past the count.
    const TFloorOverlay* Overlays = nullptr;
    int OverlayCount = 0;
    // The overlay of the deck shown; null for none.
    const TFloorOverlay* CurrentOverlay() const;
};

class TSceneRenderer {
public:
    TSceneRenderer() = default;
    TSceneRenderer(const TSceneRenderer&) = delete;
    TSceneRenderer& operator=(const TSceneRenderer&) = delete;

    unsigned int OriginList = 0;  // display list of the origin marker
    unsigned int PersonList = 0;  // display list of the person glyph

    // The fixed rendering state: background, depth test, culling, lighting with
    // the slots of lights (null leaves the lights as they are) and the material.
    static void SetupRenderState(const TLights* lights);
    // The perspective projection of a w x h view; an identity model-view.
    static void SetProjection(const TSceneInput& scene, const TCamera& camera, int w, int h);

    // Builds the origin and glyph lists anew (context current).
    void BuildLists();
    // Deletes every list (context current).
    void ReleaseGL();
    // The quad lists go with the next deck drawn (another deck or project).
    void ForgetDeck() { Quads_.Forget(); }
    // The deck's quad lists, as the last frame drew them.
    const TQuadGroups& QuadGroups() const { return Quads_; }
    // The overlay's cells changed in place: upload them again on the next frame.
    void ForgetOverlay() { Overlay_.Forget(); }
    // Drops what was kept of the persons (the trails read their tracks): call it
    // before the persons drawn last are released or replaced.
    void ForgetPersons();

    // Draws the scene with the projection already set. Returns the persons
    // drawn with a heading outside 1..8 (unturned).
    const std::vector<int>& RenderScene(const TSceneInput& scene, const TCamera& camera);
    // A whole frame of a w x h view: state, viewport, projection, clear, scene.
    const std::vector<int>& DrawFrame(const TSceneInput& scene, const TCamera& camera, int w,
                                      int h);

    // The segments (x0, y0, x1, y1) of the trails the scene shows, as drawn.
    const std::vector<float>& PickedTrail(const TSceneInput& scene);
    const std::vector<float>& AllTrails(const TSceneInput& scene);

private:
    void DrawPicked(const TSceneInput& scene);
    void DrawTrails(const TSceneInput& scene);

    TQuadGroups Quads_;
    TTrailCache Trails_;
    std::vector<float> Picked_;
    const TPersonData* PickedOf_ = nullptr;
    int PickedCounter_ = -1, PickedDeck_ = -1;
    TPersonBatcher Batcher_;
    TOverlayLayer Overlay_;
    std::vector<int> BadHeadings_;
};

}  // namespace orlex
