// orlex-info --analysis: the options of the evacuation analysis, the "analysis"
// object of the JSON output and the short summary of the text output.
#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "analysis.h"
#include "logfile.h"
#include "optionparser.h"

namespace orlex::info {

// Adds --analysis, --cell-size, --window, --density-limit, --congestion-share,
// --flow-window and --measure.
void AddAnalysisOptions(TOptionParser& parser);

struct TAnalysisRequest {
    bool Enabled = false;  // --analysis given
    TAnalysisSettings Settings;
    std::string MeasureFile;  // --measure; empty: FILE.measure.json when it exists
};

// Reads the options after parser.Parse(). False for a bad value: error then names
// the option and the range ("--window: The window must be ..."); exit with status 2.
bool ReadAnalysisOptions(const TOptionParser& parser, TAnalysisRequest& request,
                         std::string& error);

// The whole analysis of a loaded project read from path, with its measurements;
// what cannot be used of those is named on stderr. Null for settings out of range or
// a --measure file that cannot be read (named on stderr too).
std::unique_ptr<TAnalysisResult> RunAnalysis(const TLogFile1& project,
                                             const TAnalysisRequest& request,
                                             const std::string& path);

// The deck captions of a project (UTF-8), by deck.
std::vector<std::string> DeckCaptions(const TLogFile1& project);

// The "analysis" object of --json, naming the file as given and the project's decks.
nlohmann::json AnalysisJsonObject(const TAnalysisResult& result, const std::string& path,
                                  const TLogFile1& project);

// A few lines for the text output; decks are named by their captions.
std::string AnalysisSummary(const TAnalysisResult& result, const TLogFile1& project);

}  // namespace orlex::info
