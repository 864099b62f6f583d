#include "summary.h"

#include <charconv>
#include <cstdio>

namespace orlex {

namespace {

// The shortest text of a setting ("0.4", "4", "12.5").
std::string Plain(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// The shortest text that reads back the same value.
std::string Shortest(double value) {
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return ec == std::errc{} ? std::string(text, end) : std::string();
}

}  // namespace

std::string DeckLabel(const std::vector<std::string>& captions, int z) {
    if (z >= 0 && z < static_cast<int>(captions.size()) && !captions[z].empty()) {
        return captions[z];
    }
    return "Deck " + std::to_string(z);
}

std::string SecondsText(const std::optional<double>& seconds) {
    return seconds ? Fixed(*seconds, 2) + " s" : "-";
}

std::string IncompleteText(const TAnalysisResult& r) {
    const std::size_t all = r.ExitTimes.size();
    const std::size_t cut = static_cast<std::size_t>(r.CutTracks);
    const std::size_t known = all > cut ? all - cut : 0;
    return "incomplete (" + std::to_string(cut) + " of " + std::to_string(all) +
           " tracks cut by the end of the file or missing; exit times of the other " +
           std::to_string(known) + ")";
}

std::vector<TSummaryRow> SettingsRows(const TAnalysisSettings& s) {
    const std::string window = std::to_string(s.Window);
    const std::string side = Plain(s.Window * s.CellSize);
    return {
        {"Cell size", Plain(s.CellSize) + " m"},
        {"Density window",
         window + " \u00d7 " + window + " cells (" + side + " \u00d7 " + side + " m)"},
        {"Density limit", Plain(s.DensityLimit) + " persons/m\u00b2"},
        {"Congestion share", Plain(s.CongestionShare * 100) + " % of the duration"},
    };
}

std::vector<TSummaryRow> SummaryRows(const TAnalysisResult& r,
                                     const std::vector<std::string>& captions) {
    std::vector<TSummaryRow> rows;
    rows.push_back({"Persons", std::to_string(r.Persons)});
    if (r.Complete()) {
        rows.push_back({"Evacuation time", SecondsText(r.EvacuationTime)});
    } else {
        rows.push_back({"Run", IncompleteText(r)});
        rows.push_back({"Evacuation time", "unknown (incomplete run)"});
    }
    const auto& s = r.ExitStats;
    const auto stat = [&](double TExitStatistics::*field) {
        return SecondsText(s ? std::optional<double>((*s).*field) : std::nullopt);
    };
    rows.push_back({"Exit time min", stat(&TExitStatistics::Min)});
    rows.push_back({"Exit time mean", stat(&TExitStatistics::Mean)});
    rows.push_back({"Exit time p50", stat(&TExitStatistics::P50)});
    rows.push_back({"Exit time p95", stat(&TExitStatistics::P95)});
    rows.push_back({"Exit time max", stat(&TExitStatistics::Max)});
    if (!r.HasDensity) {
        rows.push_back(
            {"Density", r.DensityTooLarge ? "not computed: grid too large" : "not computed"});
        return rows;
    }
    if (r.Peak) {
        const TDensityPeak& p = *r.Peak;
        rows.push_back({"Peak density", Fixed(p.Value, 2) + " persons/m\u00b2 (level of service " +
                                            std::string(1, LevelOfService(p.Value)) + ") on " +
                                            DeckLabel(captions, p.Cell.Deck) + ", row " +
                                            std::to_string(p.Cell.Row) + ", column " +
                                            std::to_string(p.Cell.Column) + ", at " +
                                            SecondsText(r.TimeOfStep(p.Step))});
    } else {
        rows.push_back({"Peak density", "-"});
    }
    for (std::size_t z = 0; z < r.CongestedPerDeck.size(); ++z) {
        const int count = r.CongestedPerDeck[z];
        rows.push_back({"Congested cells, " + DeckLabel(captions, static_cast<int>(z)),
                        std::to_string(count)});
    }
    return rows;
}

std::vector<TSummaryRow> MeasurementSummaryRows(const TAnalysisResult& r,
                                                const std::vector<std::string>& captions) {
    std::vector<TSummaryRow> rows;
    if (!r.HasMeasurements) return rows;
    std::size_t above = 0;
    for (const TExitResult& e : r.Exits) above += e.AboveLimit() ? 1 : 0;
    rows.push_back({"Exits", std::to_string(r.Exits.size()) + " (" + std::to_string(above) +
                                 " above " + Plain(kMaxSpecificFlow) + " persons/(m\u00b7s))"});
    for (std::size_t z = 0; z < r.LastOccupiedSteps.size(); ++z) {
        const int deck = static_cast<int>(z);
        const auto time = r.ClearTime(deck);
        rows.push_back(
            {"Clear, " + DeckLabel(captions, deck), time ? SecondsText(time) : "never occupied"});
    }
    return rows;
}

TTextTable ExitsTable(const TAnalysisResult& r, const std::vector<std::string>& captions) {
    TTextTable table = {{"exit", "deck", "deck_caption", "x_m", "y_m", "cells", "width_m",
                         "persons", "first_exit_s", "last_exit_s", "peak_flow_persons_per_s",
                         "peak_specific_flow_persons_per_m_s", "above_1.33"}};
    for (const TExitResult& e : r.Exits) {
        const bool any = !e.Times.empty();
        table.push_back({e.Name, std::to_string(e.Deck),
                         e.Deck < static_cast<int>(captions.size()) ? captions[e.Deck] : "",
                         Shortest(e.X), Shortest(e.Y), std::to_string(e.Cells.size()),
                         Shortest(e.Width), std::to_string(e.Persons()),
                         any ? Shortest(e.Times.front()) : "", any ? Shortest(e.Times.back()) : "",
                         Shortest(e.PeakFlow), Shortest(e.PeakSpecificFlow),
                         e.AboveLimit() ? "yes" : "no"});
    }
    return table;
}

TTextTable MeasurementsTable(const TAnalysisResult& r, const std::vector<std::string>& captions) {
    TTextTable table = {{"kind", "name", "deck", "deck_caption", "time_s", "persons",
                         "flow_persons_per_s", "density_persons_per_m2", "speed_m_per_s",
                         "specific_flow_persons_per_m_s"}};
    const auto caption = [&](int deck) {
        return deck >= 0 && deck < static_cast<int>(captions.size()) ? captions[deck] : "";
    };
    for (const TLineResult& l : r.Lines) {
        for (std::size_t i = 0; i < l.CrossingTimes.size(); ++i) {
            const double t = l.CrossingTimes[i];
            // Persons crossing at the same time count together.
            if (i + 1 < l.CrossingTimes.size() && l.CrossingTimes[i + 1] == t) continue;
            table.push_back({"line", l.Name, std::to_string(l.Deck), caption(l.Deck), Shortest(t),
                             std::to_string(i + 1),
                             Shortest(FlowAt(l.CrossingTimes, r.Settings.FlowWindow, t)), "", "",
                             ""});
        }
    }
    for (const TAreaResult& a : r.Areas) {
        for (std::size_t i = 0; i < a.Count.size(); ++i) {
            const double t = r.TimeOfStep(static_cast<int64_t>(i) * a.EveryStep);
            table.push_back({"area", a.Name, std::to_string(a.Deck), caption(a.Deck), Shortest(t),
                             std::to_string(a.Count[i]), "", Shortest(a.Count[i] / a.Area),
                             a.Speed[i] ? Shortest(*a.Speed[i]) : "",
                             a.Speed[i] ? Shortest(a.Count[i] / a.Area * *a.Speed[i]) : ""});
        }
    }
    return table;
}

}  // namespace orlex
