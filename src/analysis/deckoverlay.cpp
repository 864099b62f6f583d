#include "deckoverlay.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace orlex {

namespace {

constexpr std::array<TRgba, 5> kRamp{{{49, 54, 149, kOverlayAlpha},
                                      {69, 170, 220, kOverlayAlpha},
                                      {90, 190, 90, kOverlayAlpha},
                                      {250, 220, 60, kOverlayAlpha},
                                      {215, 40, 35, kOverlayAlpha}}};

// Upper bounds of the levels A to E; F lies above the last.
constexpr std::array<double, 5> kServiceBounds{0.31, 0.43, 0.72, 1.08, 2.17};

uint8_t Mix(uint8_t a, uint8_t b, double t) {
    return static_cast<uint8_t>(std::lround(a + (b - a) * t));
}

bool IsVoid(const TDeck* deck, int row, int column) {
    if (!deck) return false;
    const TCell* cell = deck->CellAt(row, column);
    return !cell || cell->Code == kCodeVoid;
}

TOverlayLegend ScaleLegend(TOverlayKind kind, double max) {
    TOverlayLegend legend;
    legend.Max = max;
    switch (kind) {
        case TOverlayKind::PeakDensity:
            legend.Title = "Peak density";
            legend.Unit = "persons/m\u00b2";
            break;
        case TOverlayKind::TimeAbove:
            legend.Title = "Time above limit";
            legend.Unit = "s";
            break;
        default:
            legend.Title = "Usage";
            legend.Unit = "person-s";
            break;
    }
    for (std::size_t i = 0; i < kRamp.size(); ++i) {
        const double value = max * static_cast<double>(i) / (kRamp.size() - 1);
        legend.Stops.push_back({value, kRamp[i], LegendNumber(value)});
    }
    return legend;
}

TOverlayLegend ServiceLegend(double max) {
    TOverlayLegend legend{
        0, std::max(max, kServiceBounds.back()), "Level of service", "persons/m\u00b2", {}};
    for (std::size_t i = 0; i <= kServiceBounds.size(); ++i) {
        const char level = static_cast<char>('A' + i);
        const double bound = i < kServiceBounds.size() ? kServiceBounds[i] : legend.Max;
        legend.Stops.push_back({bound, LevelOfServiceColor(level), std::string(1, level)});
    }
    return legend;
}

}  // namespace

TRgba ScaleColor(double share) {
    if (!(share > 0)) return kRamp.front();
    if (share >= 1) return kRamp.back();
    const double at = share * (kRamp.size() - 1);
    const auto i = static_cast<std::size_t>(at);
    const double t = at - static_cast<double>(i);
    const TRgba& a = kRamp[i];
    const TRgba& b = kRamp[i + 1];
    return {Mix(a.R, b.R, t), Mix(a.G, b.G, t), Mix(a.B, b.B, t), kOverlayAlpha};
}

TRgba LevelOfServiceColor(char level) {
    static constexpr std::array<TRgba, 6> kColors{{{40, 160, 60, kOverlayAlpha},
                                                   {140, 200, 60, kOverlayAlpha},
                                                   {240, 230, 70, kOverlayAlpha},
                                                   {250, 170, 50, kOverlayAlpha},
                                                   {235, 100, 40, kOverlayAlpha},
                                                   {200, 30, 30, kOverlayAlpha}}};
    const int i = std::clamp(level - 'A', 0, 5);
    return kColors[static_cast<std::size_t>(i)];
}

double OverlayValue(const TAnalysisResult& result, TOverlayKind kind, const TCellPlace& cell) {
    switch (kind) {
        case TOverlayKind::PeakDensity:
            return result.PeakDensity(cell);
        case TOverlayKind::TimeAbove:
            return result.SecondsAbove(cell);
        case TOverlayKind::Usage:
            return result.Usage(cell);
        case TOverlayKind::None:
            break;
    }
    return 0;
}

double OverlayMaximum(const TAnalysisResult& result, TOverlayKind kind) {
    if (!result.HasDensity || kind == TOverlayKind::None) return 0;
    double max = 0;
    for (int z = 0; z < static_cast<int>(result.Maps.size()); ++z) {
        const TDeckMaps& maps = result.Maps[static_cast<std::size_t>(z)];
        switch (kind) {
            case TOverlayKind::PeakDensity:
                for (uint32_t v : maps.PeakCount) max = std::max(max, result.DensityOf(v));
                break;
            case TOverlayKind::TimeAbove:
                for (uint32_t v : maps.StepsAbove) max = std::max(max, result.Seconds(v));
                break;
            default:
                max = std::max(max, result.Seconds(static_cast<double>(maps.UsageSteps.Max())));
                break;
        }
    }
    return max;
}

TDeckOverlay BuildDeckOverlay(const TAnalysisResult& result, int z, TOverlayKind kind,
                              const TDeck* deck, bool levelsOfService) {
    TDeckOverlay overlay;
    overlay.Columns = std::max(result.Columns, 0);
    overlay.Rows = std::max(result.Rows, 0);
    const auto cells = static_cast<std::size_t>(overlay.Columns) * overlay.Rows;
    overlay.Colors.assign(cells, TRgba{});
    overlay.Congested.assign(cells, 0);
    if (!result.HasDensity || z < 0 || z >= static_cast<int>(result.Maps.size())) return overlay;
    const bool service = levelsOfService && kind == TOverlayKind::PeakDensity;
    const double max = OverlayMaximum(result, kind);
    if (kind != TOverlayKind::None)
        overlay.Legend = service ? ServiceLegend(max) : ScaleLegend(kind, max);
    for (int r = 0; r < overlay.Rows; ++r) {
        for (int c = 0; c < overlay.Columns; ++c) {
            const auto i = static_cast<std::size_t>(r) * overlay.Columns + c;
            if (IsVoid(deck, r, c)) continue;
            const TCellPlace place{z, r, c};
            overlay.Congested[i] = result.IsCongested(place) ? 1 : 0;
            const double value = OverlayValue(result, kind, place);
            if (kind == TOverlayKind::None || !(value > 0)) continue;
            overlay.Colors[i] = service ? LevelOfServiceColor(LevelOfService(value))
                                        : ScaleColor(max > 0 ? value / max : 0);
        }
    }
    return overlay;
}

std::string LegendNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", value);
    return text;
}

}  // namespace orlex
