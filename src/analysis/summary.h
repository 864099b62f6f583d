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

// Rows for the exits and the time each deck is clear, after SummaryRows, when the
// analysis made them: "Exits" (how many, how many above the largest specific flow of
// a door) and "Clear, <deck>" per deck.
std::vector<TSummaryRow> MeasurementSummaryRows(const TAnalysisResult& result,
                                                const std::vector<std::string>& captions);

// A table of plain texts: a header row, then one row each; the writer quotes them.
using TTextTable = std::vector<std::vector<std::string>>;

// The exits: "exit,deck,deck_caption,x_m,y_m,cells,width_m,persons,first_exit_s,
// last_exit_s,peak_flow_persons_per_s,peak_specific_flow_persons_per_m_s,above_1.33".
TTextTable ExitsTable(const TAnalysisResult& result, const std::vector<std::string>& captions);

// The lines and areas over time, one row a line crossing and one an area's point:
// "kind,name,deck,deck_caption,time_s,persons,flow_persons_per_s,density_persons_per_m2,
// speed_m_per_s,specific_flow_persons_per_m_s". For a line persons is the count crossed
// so far (N-t) and flow that of the sliding window; for an area persons inside, the
// density, the mean speed and density x speed (empty where no speed is known).
TTextTable MeasurementsTable(const TAnalysisResult& result,
                             const std::vector<std::string>& captions);

}  // namespace orlex
