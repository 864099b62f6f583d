// orlex-stats: the statistics of many runs of one evacuation case, file by file and
// over all runs; shards of a cluster's array jobs and their merge. Plain C++, no toolkit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "convert.h"
#include "runset.h"
#include "settings.h"

namespace orlex::stats {

enum class TFormat { Text, Csv, Json };

struct TStatsOptions {
    std::vector<std::string> Files;  // 3D log files, or shards with Merge
    bool Merge = false;
    std::string SummaryFile;  // --summary: empty for none
    TCaseMode CaseMode = TCaseMode::First;
    std::string CaseFile;  // --case
    TFormat Format = TFormat::Text;
    TAnalysisSettings Settings;
    bool SettingsGiven = false;
    int Threads = 0;                 // 0: one per core
    bool IncludeIncomplete = false;  // --include-incomplete
    // How files that are not 3D log files are imported (--format, --geometry, ...).
    import::TImportOptions Import;
};

struct TParseResult {
    bool Ok = false;
    bool Help = false;
    std::string Error;  // names the option; set when !Ok
    TStatsOptions Options;
};

TParseResult ParseArguments(const std::vector<std::string>& args);
std::string UsageText();

std::string FormatText(const std::vector<TRunSummary>& runs, const TCaseChoice& choice);
std::string FormatCsv(const std::vector<TRunSummary>& runs, const TCaseChoice& choice);
std::string FormatJson(const std::vector<TRunSummary>& runs, const TCaseChoice& choice);

// A shard: what a later merge needs, as JSON text.
std::string SummaryJson(const std::vector<TRunSummary>& runs, const TCaseChoice& choice,
                        const TAnalysisSettings& settings);
// A shard read back; Error names what is wrong with it (empty when it is good).
struct TShard {
    std::string Error;
    TAnalysisSettings Settings;
    TCaseChoice Choice;
    std::vector<TRunSummary> Runs;
};
TShard ReadShard(const std::string& text);

// The whole program: prints to out and err, returns the exit status (0 all files
// used, 1 any file left out (incomplete runs too, unless included) or a shard or summary that
// cannot be used, 2 a usage error).
int Main(const std::vector<std::string>& args, std::string& out, std::string& err);

}  // namespace orlex::stats
