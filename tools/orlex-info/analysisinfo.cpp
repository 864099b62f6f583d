#include "analysisinfo.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "jsontext.h"
#include "jsonwriter.h"
#include "measurefile.h"
#include "summary.h"

namespace orlex::info {

namespace {

constexpr TAnalysisSetting kSettings[] = {
    TAnalysisSetting::CellSize, TAnalysisSetting::Window, TAnalysisSetting::DensityLimit,
    TAnalysisSetting::CongestionShare, TAnalysisSetting::FlowWindow};

std::string ValueName(TAnalysisSetting setting) {
    switch (setting) {
        case TAnalysisSetting::CellSize:
            return "metres";
        case TAnalysisSetting::Window:
            return "cells";
        case TAnalysisSetting::DensityLimit:
            return "persons/m²";
        case TAnalysisSetting::CongestionShare:
            return "share";
        case TAnalysisSetting::FlowWindow:
            return "seconds";
    }
    return {};
}

std::string Description(TAnalysisSetting setting) {
    switch (setting) {
        case TAnalysisSetting::CellSize:
            return "With --analysis: the side of a cell in metres (0.05 to 5, default 0.4).";
        case TAnalysisSetting::Window:
            return "With --analysis: the side of the density window in cells (odd, 1 to 15, "
                   "default 5).";
        case TAnalysisSetting::DensityLimit:
            return "With --analysis: the density above which a window is crowded, in persons/m² "
                   "(default 4).";
        case TAnalysisSetting::CongestionShare:
            return "With --analysis: the share of the duration above the limit that makes a "
                   "cell congested (0 to 1, default 0.1).";
        case TAnalysisSetting::FlowWindow:
            return "With --analysis: the sliding window of the flows through exits and "
                   "measurement lines, in seconds (1 to 600, default 10).";
    }
    return {};
}

// A figure with two decimals.
std::string Two(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// The exits, lines, areas and clear times of the text output.
void AddMeasurements(std::ostringstream& out, const TAnalysisResult& r,
                     const std::vector<std::string>& captions) {
    out << "Exits:     " << r.Exits.size() << " (flows in a window of " << r.Settings.FlowWindow
        << " s; * above " << kMaxSpecificFlow << " persons/(m·s))\n";
    for (const TExitResult& e : r.Exits) {
        out << "  " << (e.AboveLimit() ? "* " : "") << e.Name << ": width " << Two(e.Width)
            << " m, " << e.Persons() << " persons";
        if (!e.Times.empty())
            out << " from " << e.Times.front() << " to " << e.Times.back() << " s";
        out << ", peak flow " << Two(e.PeakFlow) << " persons/s, " << Two(e.PeakSpecificFlow)
            << " persons/(m·s)\n";
    }
    for (const TLineResult& l : r.Lines) {
        out << "Line:      " << l.Name << " (" << DeckLabel(captions, l.Deck)
            << "): " << l.CrossingTimes.size() << " persons crossing, peak flow " << Two(l.PeakFlow)
            << " persons/s, " << Two(l.PeakSpecificFlow) << " persons/(m·s)\n";
    }
    for (const TAreaResult& a : r.Areas) {
        const auto most = std::max_element(a.Count.begin(), a.Count.end());
        out << "Area:      " << a.Name << " (" << DeckLabel(captions, a.Deck) << ", " << a.Area
            << " m²): peak density " << Two(most == a.Count.end() ? 0.0 : *most / a.Area)
            << " persons/m²\n";
    }
    out << "Clear:     ";
    for (std::size_t z = 0; z < r.LastOccupiedSteps.size(); ++z) {
        const auto time = r.ClearTime(static_cast<int>(z));
        out << (z == 0 ? "" : ", ") << DeckLabel(captions, static_cast<int>(z));
        if (time) {
            out << " at " << *time << " s";
        } else {
            out << " never occupied";
        }
    }
    out << "\n";
}

}  // namespace

void AddAnalysisOptions(TOptionParser& parser) {
    parser.Add({{"analysis"},
                "Add the evacuation analysis: curves, exit times, density and congestion.",
                ""});
    for (const TAnalysisSetting setting : kSettings)
        parser.Add({{OptionName(setting)}, Description(setting), ValueName(setting)});
    parser.Add({{"measure"},
                "With --analysis: the measurement lines and areas of FILE (JSON) instead of "
                "the project's own FILE.measure.json beside it.",
                "FILE"});
}

bool ReadAnalysisOptions(const TOptionParser& parser, TAnalysisRequest& request,
                         std::string& error) {
    request.Enabled = parser.IsSet("analysis");
    if (parser.IsSet("measure")) {
        request.MeasureFile = parser.Value("measure");
        if (request.MeasureFile.empty()) {
            error = "--measure: a file name is needed";
            return false;
        }
    }
    for (const TAnalysisSetting setting : kSettings) {
        const std::string name = OptionName(setting);
        if (!parser.IsSet(name)) continue;
        const std::string text = parser.Value(name);
        if (const auto problem = ParseAnalysisSetting(setting, text, request.Settings)) {
            error = "--" + name + ": " + problem->Message;
            return false;
        }
    }
    return true;
}

std::unique_ptr<TAnalysisResult> RunAnalysis(const TLogFile1& project,
                                             const TAnalysisRequest& request,
                                             const std::string& path) {
    TMeasureSet measures;
    std::vector<std::string> problems;
    const bool read = MeasuresForProject(path, request.MeasureFile, project,
                                         request.Settings.CellSize, measures, problems);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "orlex-info: %s\n", problem.c_str());
    if (!read) return nullptr;
    TAnalysisOptions options;
    options.Measures = &measures;
    return TEvacuationAnalysis(project, request.Settings, options).Run();
}

std::vector<std::string> DeckCaptions(const TLogFile1& project) {
    std::vector<std::string> captions;
    for (const TDeck& deck : project.Decks) captions.push_back(deck.GetCaption());
    return captions;
}

nlohmann::json AnalysisJsonObject(const TAnalysisResult& result, const std::string& path,
                                  const TLogFile1& project) {
    // One writer of the object for every output: the core's. Its text is read back
    // to take its place in the indented document; a stray byte in a caption or the
    // path becomes U+FFFD rather than spoiling the whole object.
    const std::string json = AnalysisJson(result, {path, DeckCaptions(project)});
    const nlohmann::json object = nlohmann::json::parse(ValidUtf8(json), nullptr, false);
    return object.is_object() ? object : nlohmann::json::object();
}

std::string AnalysisSummary(const TAnalysisResult& r, const TLogFile1& project) {
    std::ostringstream out;
    out.precision(10);
    out << "Analysis:  ";
    if (r.ExitTimes.empty()) {
        out << "no persons\n";
        return out.str();
    }
    if (!r.Complete())
        out << "run " << IncompleteText(r) << "; evacuation time unknown";
    else
        out << "evacuation time " << *r.EvacuationTime << " s";
    out << " (duration " << *r.Duration << " s)";
    if (r.ExitStats) {
        const TExitStatistics& s = *r.ExitStats;
        out << "; exit times min " << s.Min << ", mean " << s.Mean << ", p50 " << s.P50 << ", p95 "
            << s.P95 << ", max " << s.Max << " s";
    }
    out << "\n";
    const std::vector<std::string> captions = DeckCaptions(project);
    if (r.Peak) {
        out << "Density:   peak " << r.Peak->Value << " persons/m² on "
            << DeckLabel(captions, r.Peak->Cell.Deck) << ", row " << r.Peak->Cell.Row << ", column "
            << r.Peak->Cell.Column << ", at " << r.TimeOfStep(r.Peak->Step) << " s\n";
    } else {
        out << "Density:   no window ever holds a person\n";
    }
    out << "Congested: " << r.Congested.size() << " cells above " << r.Settings.DensityLimit
        << " persons/m² for more than " << r.Settings.CongestionShare * 100 << " % of the time";
    for (std::size_t z = 0; z < r.CongestedPerDeck.size(); ++z) {
        out << (z == 0 ? " (" : ", ") << DeckLabel(captions, static_cast<int>(z)) << ": "
            << r.CongestedPerDeck[z];
        if (z + 1 == r.CongestedPerDeck.size()) out << ")";
    }
    out << "\n";
    if (r.HasMeasurements) AddMeasurements(out, r, captions);
    return out.str();
}

}  // namespace orlex::info
