// The deck overlays of an evacuation analysis as the renderer draws them.
#pragma once

#include <vector>

#include "deckoverlay.h"
#include "overlay.h"
#include "result.h"

namespace orlex {

class TLogFile1;

// One overlay per deck of project (the overlay of kind for every deck, sharing one
// scale); an empty list for kind None without congested cells to outline.
std::vector<TFloorOverlay> FloorOverlays(const TAnalysisResult& result, const TLogFile1& project,
                                         TOverlayKind kind);

// The overlay of a kind by its name on the command line: none, peak, above, usage, los.
bool OverlayKindOf(const char* name, TOverlayKind& kind);

}  // namespace orlex
