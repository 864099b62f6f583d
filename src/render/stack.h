// The whole ship at once: every deck at its level's height, the cut that
// isolates decks, and the plan view (an orthographic projection from straight
// above). Plain arithmetic on the scene's description: the renderer, the
// picking and the views' text all place things through these functions.
#pragma once

#include <vector>

#include "camera.h"
#include "overlay.h"
#include "person.h"

namespace orlex {

struct TSceneInput;

// Which decks of the stack are drawn, relative to the deck shown.
enum class TCutAway {
    All = 0,           // every deck
    ThisAndBelow = 1,  // the deck shown and those below it
    OnlyThis = 2,      // the deck shown alone
};

// The angle from the vertical of the camera that takes in the whole stack: from
// the side of -y, 30 degrees above the floors, so that higher decks stand
// higher in the picture and the floors still show their rooms.
inline constexpr double kStackTheta = -1.05;
// The deck spacing by default, in block heights.
inline constexpr double kDefaultDeckSpacing = 3.0;
// The eye's height for the faces the plan view turns up: far above everything.
inline constexpr double kPlanEyeHeight = 1e5;
// How much of a dimmed deck's colour covers what lies behind it.
inline constexpr float kDimDeckAlpha = 0.6f;

// The coarse picture of a dimmed deck: its up-facing quads (floors and block
// tops) flattened into one colour a cell, alpha times opaque, shaded like a
// floor under the lights; cells without such a quad stay clear (alpha 0). It
// is drawn as one textured quad, whatever the deck's size.
TFloorOverlay DeckFloorMap(const class TDeck& deck, int xmax, int ymax, float alpha);

// The spacing between the floors of neighbouring decks in scene units: factor
// times the largest block height of the decks (3 without decks); factor is
// taken as kDefaultDeckSpacing when it is not positive and finite.
double StackSpacing(const class TDeck* decks, int count, double factor);

// Whether deck d is drawn: always in the single-deck view for the deck shown;
// in the stack unless its box is unticked or the cut lies below it.
bool DeckShown(const TSceneInput& scene, int d);
// The height of deck d's floor in the scene: 0 in the single-deck view; in the
// stack d x spacing, shifted so that the middle of the stack lies at 0 (the
// camera turns about the stack's middle).
double DeckZ(const TSceneInput& scene, int d);
// The lowest floor and the highest floor drawn (0 and 0 without a stack).
void StackRange(const TSceneInput& scene, double& lowZ, double& highZ);

// The camera a frame uses: the plan view looks straight down (Theta 0) with the
// camera's turn about the vertical; otherwise the camera itself.
TCamera ViewCamera(const TSceneInput& scene, const TCamera& camera);
// Half the height of the plan view's field in scene units (its zoom).
double PlanHalfHeight(const TSceneInput& scene, const TCamera& camera);
// The far plane of a frame: the camera's, plus the height of the stack.
double SceneFarPlane(const TSceneInput& scene, const TCamera& camera);

// The ray through window position (x, y) of a w x h view (pixels, y down), in
// deck coordinates of a floor at height 0: perspective, or parallel rays in
// the plan view. False for a degenerate view.
bool SceneRay(const TSceneInput& scene, const TCamera& camera, double x, double y, int w, int h,
              TRay& ray);
// Where scene point (x, y, z) (deck coordinates, before the pan) lands in a
// w x h view (pixels, y down); false behind the eye.
bool ProjectToWindow(const TSceneInput& scene, const TCamera& camera, double x, double y, double z,
                     int w, int h, double& wx, double& wy);
// Scene units per pixel in the plan view (0 outside it).
double PlanUnitsPerPixel(const TSceneInput& scene, const TCamera& camera, int h);

// The person whose glyph the ray meets first on the decks drawn (the deck shown
// alone in the single-deck view), or -1.
int PickInScene(const TSceneInput& scene, const TRay& ray);

// The level change of the step the person took last (to reach stepCounter), or
// 0: a person changing level is drawn half way between the two decks.
int LastLevelChange(const TPersonData& person, int stepCounter);

// Where a deck's name is written, for every deck drawn: Y level with the
// projected middle of its floor's low-x end, X the leftmost projected low-x
// corner of all decks drawn (the names stand in one column left of the stack).
struct TDeckLabel {
    int Deck = 0;
    double X = 0, Y = 0;  // window pixels, y down
};
std::vector<TDeckLabel> DeckLabels(const TSceneInput& scene, const TCamera& camera, int w, int h);

}  // namespace orlex
