// orlex-info --analysis: the options of the evacuation analysis, the "analysis"
// object of the JSON output and the short summary of the text output.
#pragma once

#include <QCommandLineParser>
#include <QJsonObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "analysis.h"
#include "logfile.h"

namespace orlex::info {

// Adds --analysis, --cell-size, --window, --density-limit and --congestion-share.
void AddAnalysisOptions(QCommandLineParser& parser);

struct TAnalysisRequest {
    bool Enabled = false;  // --analysis given
    TAnalysisSettings Settings;
};

// Reads the options after parser.process(). False for a bad value: error then names
// the option and the range ("--window: The window must be ..."); exit with status 2.
bool ReadAnalysisOptions(const QCommandLineParser& parser, TAnalysisRequest& request,
                         QString& error);

// The whole analysis of a loaded project (null only for settings out of range).
std::unique_ptr<TAnalysisResult> RunAnalysis(const TLogFile1& project,
                                             const TAnalysisSettings& settings);

// The deck captions of a project (UTF-8), by deck.
std::vector<std::string> DeckCaptions(const TLogFile1& project);

// The "analysis" object of --json, naming the file as given and the project's decks.
QJsonObject AnalysisJsonObject(const TAnalysisResult& result, const QString& path,
                               const TLogFile1& project);

// A few lines for the text output; decks are named by their captions.
std::string AnalysisSummary(const TAnalysisResult& result, const TLogFile1& project);

}  // namespace orlex::info
