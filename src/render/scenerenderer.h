// Draws one frame of the 3D view into the OpenGL context that is current: the
// origin marker, the persons on the deck shown, the light positions and the
// deck's quads, in that order. It holds no window; the view control and the
// offscreen view both draw through it.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "camera.h"
#include "deck.h"
#include "lights.h"
#include "measure.h"
#include "overlay.h"
#include "person.h"
#include "personbatch.h"
#include "quadgroups.h"
#include "result.h"
#include "stack.h"
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
    // The overlay of deck d; null for none.
    const TFloorOverlay* OverlayOf(int d) const;

    // All decks at once, each at its level's height (see stack.h); the deck
    // shown is drawn fully, the others dimmed on top of coarser geometry.
    bool StackAll = false;
    TCutAway CutAway = TCutAway::All;
    // Per deck (index = deck): true hides it with its persons; decks past the
    // end are shown.
    std::vector<bool> HiddenDecks;
    // Between neighbouring floors, in scene units (see StackSpacing).
    double DeckSpacing = 0;
    // An orthographic projection from straight above instead of the perspective.
    bool Plan = false;
    // The side of a cell in metres, for the plan view's scale bar.
    double CellMetres = 0.4;
    // Measurement lines and areas drawn on their decks with their names (null:
    // none), placed on the cells by MeasureFrame.
    const TMeasureSet* Measures = nullptr;
    TMetreFrame MeasureFrame;
    // Exits found by the analysis, their cells marked on their decks and the busiest
    // labelled E1, E2, ... (null: none), placed by MeasureFrame.
    const std::vector<TExitResult>* Exits = nullptr;
};

class TSceneRenderer {
public:
    TSceneRenderer();
    ~TSceneRenderer();
    TSceneRenderer(const TSceneRenderer&) = delete;
    TSceneRenderer& operator=(const TSceneRenderer&) = delete;

    unsigned int OriginList = 0;  // display list of the origin marker
    unsigned int PersonList = 0;  // display list of the person glyph

    // The fixed rendering state: background, depth test, culling, lighting with
    // the slots of lights (null leaves the lights as they are) and the material.
    static void SetupRenderState(const TLights* lights);
    // Switches the 8 slots on or off with the colours of lights.
    static void SetLights(const TLights* lights);
    // The perspective projection of a w x h view; an identity model-view.
    static void SetProjection(const TSceneInput& scene, const TCamera& camera, int w, int h);

    // Builds the origin and glyph lists anew (context current).
    void BuildLists();
    // Deletes every list (context current).
    void ReleaseGL();
    // The quad lists go with the next deck drawn (another deck or project).
    void ForgetDeck();
    // The deck's quad lists, as the last frame drew them.
    const TQuadGroups& QuadGroups() const { return Quads_; }
    // The overlay's cells changed in place: upload them again on the next frame.
    void ForgetOverlay();
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
    // The frame of the stack (defined in stackrenderer.cpp).
    // Looks at the scene from the camera, the origin marker before the pan, then the
    // pan; eye receives the eye in deck coordinates (far above in the plan view).
    void BeginView(const TSceneInput& scene, const TCamera& camera, double eye[3]) const;
    void RenderStack(const TSceneInput& scene, const TCamera& camera);
    void DrawStackDeck(const TSceneInput& scene, int d, const double eye[3]);
    void DrawLifted(const TSceneInput& scene, int d);
    void DrawStackTrails(const TSceneInput& scene, bool shownDeck);
    struct TCoarseDeck;
    TCoarseDeck& Coarse(const TSceneInput& scene, int d);
    void ReleaseStack();
    TOverlayLayer& StackOverlay(int d);

    TQuadGroups Quads_;
    TTrailCache Trails_;
    std::vector<float> Picked_;
    const TPersonData* PickedOf_ = nullptr;
    int PickedCounter_ = -1, PickedDeck_ = -1;
    TPersonBatcher Batcher_;
    TOverlayLayer Overlay_;
    std::vector<int> BadHeadings_;

    // The stack: the other decks' flattened floor maps, the overlays
    // per deck, the persons drawn between two decks and the trails in 3D.
    std::vector<std::unique_ptr<TCoarseDeck>> Coarse_;
    std::vector<std::unique_ptr<TOverlayLayer>> StackOverlays_;
    std::vector<int8_t> Lifted_;                  // per person: the level change of its last step
    std::vector<std::vector<float>> DimPersons_;  // per deck: the strokes of its persons
    std::vector<float> StackPicked_;
    std::vector<float> StackPassTrails_;  // the trails of one pass of the stack
    TTrailCache StackTrails_;
};

}  // namespace orlex
