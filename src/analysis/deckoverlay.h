// Colour maps of the analysis over a deck's floor: one colour per cell, the
// congested cells, and the legend that explains the colours.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "deck.h"
#include "result.h"

namespace orlex {

enum class TOverlayKind { None, PeakDensity, TimeAbove, Usage, LevelsOfService };

struct TRgba {
    uint8_t R = 0, G = 0, B = 0, A = 0;
    friend bool operator==(const TRgba&, const TRgba&) = default;
};

struct TLegendStop {
    double Value = 0;  // where the colour holds (levels of service: the class's upper limit)
    TRgba Color;
    std::string Label;  // a round value ("2.5"), or a class and its limits ("B  0.31–0.43")
};

// A legend: a continuous scale from Min to Max whose stops lie at round values
// (Max itself is round), or the six discrete classes of the levels of service.
struct TOverlayLegend {
    double Min = 0;
    double Max = 0;
    // With the unit: "Peak density (persons/m²)", "Time above 4 persons/m² (s)",
    // "Usage (person-seconds)", "Level of service (persons/m²)".
    std::string Title;
    std::string Unit;       // "persons/m²", "s", "person-seconds"
    bool Discrete = false;  // the classes: equal bands, one colour each
    std::vector<TLegendStop> Stops;
};

// The overlay of one deck, row by row like the deck's cells (index r * Columns + c).
struct TDeckOverlay {
    int Columns = 0;
    int Rows = 0;
    std::vector<TRgba> Colors;       // alpha 0: void cell or no value
    std::vector<uint8_t> Congested;  // 1 for a congested cell
    TOverlayLegend Legend;
};

// The alpha of coloured cells, so the floor stays visible under them.
inline constexpr uint8_t kOverlayAlpha = 170;

// The colour of a share 0 .. 1 of a scale (blue, cyan, green, yellow, red).
TRgba ScaleColor(double share);
// The walkway level-of-service colour of a density (A green .. F red).
TRgba LevelOfServiceColor(char level);

// The value of one cell for a kind (0 for None).
double OverlayValue(const TAnalysisResult& result, TOverlayKind kind, const TCellPlace& cell);
// The largest value of a kind over every deck, so that decks share one scale.
double OverlayMaximum(const TAnalysisResult& result, TOverlayKind kind);

// The legend title of a kind, with its unit; the time above names the density limit
// of settings. Empty for None.
std::string OverlayTitle(TOverlayKind kind, const TAnalysisSettings& settings);

// The overlay of deck z, sized like the project grid (result.Columns x result.Rows).
// deck, when given, marks its void cells (and cells outside its own grid) as
// transparent. LevelsOfService (or levelsOfService with PeakDensity) colours the
// peak density by the levels A to F. Kind None gives the congested cells only; a
// result without density maps or a deck out of range give an all transparent
// overlay with an empty legend.
TDeckOverlay BuildDeckOverlay(const TAnalysisResult& result, int z, TOverlayKind kind,
                              const TDeck* deck = nullptr, bool levelsOfService = false);

// Text of a legend value: at most three significant digits ("0", "2.5", "1.2e+03").
std::string LegendNumber(double value);

}  // namespace orlex
