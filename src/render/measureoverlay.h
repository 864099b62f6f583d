// The measurement lines and areas on their decks: where their metres lie in the
// scene, the point of a deck's floor under a pixel (for drawing them with the
// mouse), their drawing (lines in a strong colour, areas outlined over a
// translucent fill) and where their names stand in the picture. The window's
// view, the offscreen view and the tools all draw them through these functions.
#pragma once

#include <string>
#include <vector>

#include "camera.h"
#include "measure.h"

namespace orlex {

struct TSceneInput;

// Colours (red, green, blue in 0..1) of the lines and of the areas.
inline constexpr float kMeasureLineColour[3] = {1.0f, 0.15f, 0.6f};
inline constexpr float kMeasureAreaColour[3] = {0.1f, 0.85f, 1.0f};
// The colour of the exits' cells.
inline constexpr float kExitColour[3] = {0.15f, 0.8f, 0.3f};
// The share of an area's colour over the floor inside it.
inline constexpr float kMeasureFillAlpha = 0.22f;

// A point in metres placed in deck coordinates (one unit a cell, the deck's
// middle at 0, y up the screen as the deck's rows run north), and back.
TFloorPoint MetresToDeck(const TMetreFrame& frame, const TMetrePoint& p);
TMetrePoint DeckToMetres(const TMetreFrame& frame, const TFloorPoint& p);

// The rectangle with opposite corners a and b, counter-clockwise from its
// south-west corner.
std::vector<TMetrePoint> RectanglePolygon(const TMetrePoint& a, const TMetrePoint& b);

// Where the ray through window pixel (x, y) of a w x h view meets the floor of
// deck d as the scene draws it, in metres; false when it misses the plane (or
// the scene has no frame).
bool MetresUnderPixel(const TSceneInput& scene, const TCamera& camera, double x, double y, int w,
                      int h, int d, TMetrePoint& out);

// A name of a measurement and where it stands in the window (pixels, y down).
struct TMeasureLabel {
    std::string Name;
    bool Area = false;
    bool OnShownDeck = true;    // false: on another deck of the stack (dimmed)
    double X = 0, Y = 0;        // a line's middle, an area's top corner
    double DirX = 0, DirY = 0;  // a line's direction in the window (unit length, or 0)
    bool Exit = false;          // an exit's label ("E1"), placed as an area's
};
// The labels of every measurement on a deck drawn, in the set's order: lines first,
// then the areas, then the busiest exits (kMaxShownExits of them).
std::vector<TMeasureLabel> MeasureLabels(const TSceneInput& scene, const TCamera& camera, int w,
                                         int h);

// Whether the scene has measurements or exits to draw.
bool HasMeasures(const TSceneInput& scene);

// Draws the measurements and exits (model-view at deck coordinates, the pan applied): with
// shownDeck those on the deck shown, over everything; else those on the other
// decks of the stack, at their floors' heights and dimmed.
void DrawMeasures(const TSceneInput& scene, bool shownDeck);

}  // namespace orlex
