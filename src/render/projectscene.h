// The scene and the starting camera of a loaded project, without a widget: what
// the view shows of a deck, for the offscreen pictures and videos.
#pragma once

#include "camera.h"
#include "logfile.h"
#include "scenerenderer.h"

namespace orlex {

// The view's vertical field of view, and the value of pi it has always used for it.
inline constexpr int kViewFieldOfView = 60;
inline constexpr double kViewPi = 3.1415;
// The length of everyone's trails, in simulated seconds.
inline constexpr int kTrailSecondsShown = 10;

// The camera the view starts with for a grid of xmax x ymax cells: straight above
// the centre, the larger side just filling the height of the view.
TCamera StartCamera(int xmax, int ymax);

// The camera looking down at theta radians from the vertical, from the side of
// phi, at the start camera's distance.
TCamera TiltedCamera(int xmax, int ymax, double phi, double theta);

// Heights the fitted camera keeps in view: the raised blocks and the persons.
inline constexpr double kFitHeight = 6.0;
// The share of the view's width and height left free around a fitted deck, each side.
inline constexpr double kFitMargin = 0.04;

// The camera looking down at theta radians from the vertical, from the side of
// phi, at the centre of a grid of xmax x ymax cells, just far enough for the whole
// grid (floor, blocks and persons up to kFitHeight) to lie inside a view of the
// given aspect (width / height) and in front of its near plane. Any grid from one
// cell up works; aspect is taken as 1 when it is not positive.
TCamera FitCamera(int xmax, int ymax, double phi, double theta, double aspect);
// The same for floors from height lowZ up to highZ (a stack of decks).
TCamera FitCamera(int xmax, int ymax, double phi, double theta, double aspect, double lowZ,
                  double highZ);
// The camera fitting what scene draws: its deck, or the whole stack.
TCamera FitScene(const TSceneInput& scene, double phi, double theta, double aspect);

// Deck deck of project with its persons as they stand now at stepCounter, the
// origin marker and no pick; deck is taken as 0 when out of range.
TSceneInput ProjectScene(const TLogFile1& project, int deck, int stepCounter);

// The deck with the most quads (the busiest to draw); 0 without decks.
int BusiestDeck(const TLogFile1& project);

// The deck with the most persons on it as they stand now (seek the playback to
// the moment first); the lowest of equal decks, 0 without decks or persons.
int CrowdedDeck(const TLogFile1& project);

}  // namespace orlex
