// The figures of an analysis as rows of a table (name, value): the settings it ran
// with and its results, in the order a report lists them. Shared by the PDF report
// and the "Analysis" panel.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "result.h"

namespace orlex {

struct TSummaryRow {
    std::string Name;
    std::string Value;
    friend bool operator==(const TSummaryRow&, const TSummaryRow&) = default;
};

// A deck's caption, "Deck z" when captions has none for it.
std::string DeckLabel(const std::vector<std::string>& captions, int z);

// A time in seconds with two decimals ("375.50 s"), "-" for none.
std::string SecondsText(const std::optional<double>& seconds);

// Why a run with cut tracks is incomplete, for a reader: "incomplete (12 of 400
// tracks cut by the end of the file or missing; exit times of the other 388)".
std::string IncompleteText(const TAnalysisResult& result);

// The settings with their units: cell size, density window, density limit and
// congestion share.
std::vector<TSummaryRow> SettingsRows(const TAnalysisSettings& settings);

// The results: persons, evacuation time (after a "Run" row saying why it is unknown
// when tracks were cut), the exit-time statistics (min, mean, p50,
// p95, max), the peak density and the congested cells of every deck by caption.
// Without density maps one "Density" row says why.
std::vector<TSummaryRow> SummaryRows(const TAnalysisResult& result,
                                     const std::vector<std::string>& captions);

}  // namespace orlex
