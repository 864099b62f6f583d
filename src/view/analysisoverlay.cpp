#include "analysisoverlay.h"

#include <cstring>

#include "logfile.h"

namespace orlex {

namespace {

TFloorOverlay ToFloor(const TDeckOverlay& deck) {
    TFloorOverlay floor;
    floor.Columns = deck.Columns;
    floor.Rows = deck.Rows;
    floor.Rgba.reserve(deck.Colors.size());
    for (const TRgba& c : deck.Colors) floor.Rgba.push_back(OverlayRgba(c.R, c.G, c.B, c.A));
    floor.Outline = deck.Congested;
    const TOverlayLegend& legend = deck.Legend;
    const double span = legend.Max - legend.Min;
    const std::size_t n = legend.Stops.size();
    // Classes are bands of equal size: a stop's place is its band's start.
    for (std::size_t i = 0; i < n; ++i) {
        const TLegendStop& stop = legend.Stops[i];
        float at = 0;
        if (legend.Discrete)
            at = static_cast<float>(i) / static_cast<float>(n);
        else if (!(span > 0))
            at = n > 1 ? static_cast<float>(i) / static_cast<float>(n - 1) : 0.0f;
        else
            at = static_cast<float>((stop.Value - legend.Min) / span);
        floor.Legend.push_back(
            {at, OverlayRgba(stop.Color.R, stop.Color.G, stop.Color.B), stop.Label});
    }
    floor.Discrete = legend.Discrete;
    floor.Title = legend.Title;
    return floor;
}

}  // namespace

std::vector<TFloorOverlay> FloorOverlays(const TAnalysisResult& result, const TLogFile1& project,
                                         TOverlayKind kind) {
    std::vector<TFloorOverlay> overlays;
    if (kind == TOverlayKind::None && result.Congested.empty()) return overlays;
    for (int z = 0; z < project.DeckCount(); ++z) {
        const TDeckOverlay deck =
            BuildDeckOverlay(result, z, kind, &project.Decks[static_cast<std::size_t>(z)]);
        overlays.push_back(ToFloor(deck));
    }
    return overlays;
}

bool OverlayKindOf(const char* name, TOverlayKind& kind) {
    const struct {
        const char* Name;
        TOverlayKind Kind;
    } kinds[] = {{"none", TOverlayKind::None},
                 {"peak", TOverlayKind::PeakDensity},
                 {"above", TOverlayKind::TimeAbove},
                 {"usage", TOverlayKind::Usage},
                 {"los", TOverlayKind::LevelsOfService}};
    for (const auto& k : kinds) {
        if (std::strcmp(name, k.Name) == 0) {
            kind = k.Kind;
            return true;
        }
    }
    return false;
}

}  // namespace orlex
