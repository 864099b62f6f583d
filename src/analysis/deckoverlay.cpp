#include "deckoverlay.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "ticks.h"

namespace orlex {

namespace {

constexpr std::array<TRgba, 5> kRamp{{{49, 54, 149, kOverlayAlpha},
                                      {69, 170, 220, kOverlayAlpha},
                                      {90, 190, 90, kOverlayAlpha},
                                      {250, 220, 60, kOverlayAlpha},
                                      {215, 40, 35, kOverlayAlpha}}};

// The most intervals of a continuous legend.
constexpr int kLegendIntervals = 5;

uint8_t Mix(uint8_t a, uint8_t b, double t) {
    return static_cast<uint8_t>(std::lround(a + (b - a) * t));
}

bool IsVoid(const TDeck* deck, int row, int column) {
    if (!deck) return false;
    const TCell* cell = deck->CellAt(row, column);
    return !cell || cell->Code == kCodeVoid;
}

TOverlayLegend ScaleLegend(TOverlayKind kind, double max, const TAnalysisSettings& settings) {
    TOverlayLegend legend;
    legend.Title = OverlayTitle(kind, settings);
    legend.Unit = kind == TOverlayKind::PeakDensity ? "persons/m\u00b2"
                  : kind == TOverlayKind::TimeAbove ? "s"
                                                    : "person-seconds";
    legend.Max = max > 0 ? RoundUp(max, kLegendIntervals) : 1.0;
    const double step = RoundStep(legend.Max, kLegendIntervals);
    for (const double value : RoundTicks(0, legend.Max, kLegendIntervals))
        legend.Stops.push_back({value, ScaleColor(value / legend.Max), TickLabel(value, step)});
    return legend;
}

TOverlayLegend ServiceLegend(double max, const TAnalysisSettings& settings) {
    TOverlayLegend legend;
    legend.Title = OverlayTitle(TOverlayKind::LevelsOfService, settings);
    legend.Unit = "persons/m\u00b2";
    legend.Discrete = true;
    const std::size_t n = std::size(kLevelOfServiceLimits);
    legend.Max = std::max(max, kLevelOfServiceLimits[n - 1]);
    for (std::size_t i = 0; i <= n; ++i) {
        const char level = static_cast<char>('A' + i);
        std::string label(1, level);
        label += "  ";
        if (i == 0) {
            label += "< " + LegendNumber(kLevelOfServiceLimits[0]);
        } else if (i == n) {
            label += "\u2265 " + LegendNumber(kLevelOfServiceLimits[n - 1]);
        } else {
            label += LegendNumber(kLevelOfServiceLimits[i - 1]) + "\u2013" +
                     LegendNumber(kLevelOfServiceLimits[i]);
        }
        const double bound = i < n ? kLevelOfServiceLimits[i] : legend.Max;
        legend.Stops.push_back({bound, LevelOfServiceColor(level), label});
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

std::string OverlayTitle(TOverlayKind kind, const TAnalysisSettings& settings) {
    switch (kind) {
        case TOverlayKind::PeakDensity:
            return "Peak density (persons/m\u00b2)";
        case TOverlayKind::TimeAbove:
            return "Time above " + LegendNumber(settings.DensityLimit) + " persons/m\u00b2 (s)";
        case TOverlayKind::Usage:
            return "Usage (person-seconds)";
        case TOverlayKind::LevelsOfService:
            return "Level of service (persons/m\u00b2)";
        case TOverlayKind::None:
            break;
    }
    return {};
}

double OverlayValue(const TAnalysisResult& result, TOverlayKind kind, const TCellPlace& cell) {
    switch (kind) {
        case TOverlayKind::PeakDensity:
        case TOverlayKind::LevelsOfService:
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
            case TOverlayKind::LevelsOfService:
                max = std::max(max, result.DensityOf(maps.PeakCount.Max()));
                break;
            case TOverlayKind::TimeAbove:
                max = std::max(max, result.Seconds(maps.StepsAbove.Max()));
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
    const bool service = kind == TOverlayKind::LevelsOfService ||
                         (levelsOfService && kind == TOverlayKind::PeakDensity);
    const double max = OverlayMaximum(result, kind);
    if (kind != TOverlayKind::None) {
        overlay.Legend =
            service ? ServiceLegend(max, result.Settings) : ScaleLegend(kind, max, result.Settings);
    }
    for (int r = 0; r < overlay.Rows; ++r) {
        for (int c = 0; c < overlay.Columns; ++c) {
            const auto i = static_cast<std::size_t>(r) * overlay.Columns + c;
            if (IsVoid(deck, r, c)) continue;
            const TCellPlace place{z, r, c};
            overlay.Congested[i] = result.IsCongested(place) ? 1 : 0;
            const double value = OverlayValue(result, kind, place);
            if (kind == TOverlayKind::None || !(value > 0)) continue;
            overlay.Colors[i] = service ? LevelOfServiceColor(LevelOfService(value))
                                        : ScaleColor(value / overlay.Legend.Max);
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
