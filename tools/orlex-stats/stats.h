// orlex-stats: the statistics of many runs of one benchmark case, file by file and
// over all runs. Plain C++, no toolkit.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "result.h"
#include "settings.h"

namespace orlex::stats {

enum class TFormat { Text, Csv, Json };

struct TStatsOptions {
    std::vector<std::string> Files;
    TFormat Format = TFormat::Text;
    TAnalysisSettings Settings;
    int Threads = 0;  // 0: one per core
};

struct TParseResult {
    bool Ok = false;
    bool Help = false;
    std::string Error;  // names the option; set when !Ok
    TStatsOptions Options;
};

TParseResult ParseArguments(const std::vector<std::string>& args);
std::string UsageText();

// One run (file): its figures, or why it could not be used.
struct TRunSummary {
    std::string File;
    bool Ok = false;
    std::string Error;
    std::vector<std::string> Warnings;  // what the reader reported about a usable file
    int Persons = 0;
    std::optional<double> EvacuationTime;
    std::optional<double> P95;  // of the exit times
    int CongestedCells = 0;
};

// Reads and analyses one file.
TRunSummary AnalyseFile(const std::string& path, const TAnalysisSettings& settings);
// Every file, in parallel on threads threads (0: one per core); in the files' order.
std::vector<TRunSummary> AnalyseFiles(const std::vector<std::string>& files,
                                      const TAnalysisSettings& settings, int threads);

// The statistics over the evacuation times of the usable runs; none without any.
std::optional<TExitStatistics> OverRuns(const std::vector<TRunSummary>& runs);

std::string FormatText(const std::vector<TRunSummary>& runs);
std::string FormatCsv(const std::vector<TRunSummary>& runs);
std::string FormatJson(const std::vector<TRunSummary>& runs);

// The whole program: prints to out and err, returns the exit status (0 all files
// used, 1 any file failed, 2 a usage error).
int Main(const std::vector<std::string>& args, std::string& out, std::string& err);

}  // namespace orlex::stats
