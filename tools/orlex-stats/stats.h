// orlex-stats: the statistics of many runs of one evacuation case, file by file and
// over all runs; shards of a cluster's array jobs and their merge. Plain C++, no toolkit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runcase.h"
#include "settings.h"

namespace orlex::stats {

enum class TFormat { Text, Csv, Json };

// Which runs count as one case.
enum class TCaseMode {
    First,  // the first usable file decides
    File,   // --case FILE decides
    Any,    // --any-case: every usable file
};

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
};

struct TParseResult {
    bool Ok = false;
    bool Help = false;
    std::string Error;  // names the option; set when !Ok
    TStatsOptions Options;
};

TParseResult ParseArguments(const std::vector<std::string>& args);
std::string UsageText();

enum class TRunStatus { Used, Failed, OtherCase, Incomplete };

// One run (file): its figures, or why it could not be used.
struct TRunSummary {
    std::string File;
    bool Ok = false;                    // read and analysed
    std::string Error;                  // why not, when !Ok
    std::vector<std::string> Warnings;  // what the reader reported about a usable file
    TCaseKey Case;                      // when Ok
    int Persons = 0;
    // Tracks cut by the end of the file or missing: the run is incomplete. Its
    // evacuation time is then the largest known exit time.
    int CutTracks = 0;
    std::optional<double> EvacuationTime;
    std::optional<double> P95;  // of the exit times
    int CongestedCells = 0;
    // Set by ApplyCase: whether the run counts, and why not.
    TRunStatus Status = TRunStatus::Failed;
    std::string LeftOut;
};

// Reads and analyses one file.
TRunSummary AnalyseFile(const std::string& path, const TAnalysisSettings& settings);
// Every file, in parallel on threads threads (0: one per core); in the files' order.
std::vector<TRunSummary> AnalyseFiles(const std::vector<std::string>& files,
                                      const TAnalysisSettings& settings, int threads);

// The case the runs are held against and where it came from.
struct TCaseChoice {
    TCaseMode Mode = TCaseMode::First;
    std::optional<TCaseKey> Key;     // given (--case), or none to take the first usable run
    std::string From;                // the file that decides, once known
    bool IncludeIncomplete = false;  // incomplete runs count (else they are left out)
};

// Why a run is incomplete: "incomplete: 12 of 400 tracks cut by the end of the file or
// missing".
std::string IncompleteReason(const TRunSummary& run);

// Sets every run's Status and LeftOut against the case and the incomplete runs; with the First mode
// the first usable run decides (Key and From are filled in then).
void ApplyCase(std::vector<TRunSummary>& runs, TCaseChoice& choice);

// The statistics over the evacuation times of the used runs, in the order given.
struct TRunStatistics {
    std::size_t N = 0;
    double Min = 0;
    double Mean = 0;
    double Median = 0;
    double P95 = 0;
    std::size_t P95Rank = 0;  // m of the ranking rule
    double Max = 0;
    std::size_t BoundRank = 0;  // the upper 95 % confidence bound of the 95th percentile
    double Bound = 0;
    double BoundConfidence = 0;
    bool BoundReached = false;    // false below 59 runs: the largest run bounds it with less
    std::vector<double> Running;  // the p95 after each run
};
std::optional<TRunStatistics> OverRuns(const std::vector<TRunSummary>& runs);

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
