#include "summary.h"

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

}  // namespace orlex
