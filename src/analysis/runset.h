// Many runs (3D log files) of one evacuation case: reading and analysing them in
// parallel, holding them against the case, the reasons a run is left out, and the
// statistics of the evacuation times over the runs. Plain C++, no toolkit.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "interfaces.h"
#include "logfile.h"
#include "result.h"
#include "runcase.h"
#include "settings.h"

namespace orlex::stats {

// Which runs count as one case.
enum class TCaseMode {
    First,  // the first usable file decides
    File,   // --case FILE decides
    Any,    // --any-case: every usable file
};

enum class TRunStatus { Used, Failed, OtherCase, Incomplete };

// A deck of a run as a report names it.
struct TRunDeck {
    std::string Caption;
    int Cells = 0;  // cells the deck defines
};

// An exit of a run: where its persons' tracks end, how many, and when the last left.
struct TRunExit {
    std::string Name;
    int Deck = 0;
    std::vector<TCellPlace> Cells;
    int Persons = 0;
    double Last = 0;  // seconds
};

// One run (file): its figures, or why it could not be used.
struct TRunSummary {
    std::string File;
    bool Ok = false;                    // read and analysed
    std::string Error;                  // why not, when !Ok
    std::vector<std::string> Warnings;  // what the reader reported about a usable file
    TCaseKey Case;                      // when Ok
    int Persons = 0;
    int Saved = 0;  // persons with a known exit time
    // Tracks cut by the end of the file or missing: the run is incomplete. Its
    // evacuation time is then the largest known exit time.
    int CutTracks = 0;
    std::optional<double> EvacuationTime;
    std::optional<double> P95;  // of the exit times
    int CongestedCells = 0;
    std::vector<TRunExit> Exits;
    // The project as read: the decks and the steps a second (for a report of the case).
    std::vector<TRunDeck> Decks;
    int Columns = 0;
    int Rows = 0;
    int StepsPerSecond = 1;
    double CellSize = 0;  // the cell size in effect for its analysis (metres)
    // Set by ApplyCase: whether the run counts, and why not.
    TRunStatus Status = TRunStatus::Failed;
    std::string LeftOut;
};

// Watches and stops AnalyseFiles from another thread.
struct TRunSetControl {
    std::atomic<bool> Cancel{false};   // set to stop: no further file is started
    std::atomic<std::size_t> Done{0};  // files analysed so far
};

// How the runs are opened. The analysis knows 3D log files only; a tool that also
// reads the trajectories of other tools passes its opener in (the import lies above
// the analysis, which does not depend on it).
using TProjectOpener = std::function<bool(const std::string& path, TLogFile1& project,
                                          IProgress& progress, IMessages& messages)>;
struct TRunOpening {
    TProjectOpener Open;  // empty: the 3D log file reader
    // The settings' cell size was given on the command line; else a converted run's
    // own cell size is used for it.
    bool CellSizeGiven = false;
};

// The cell size in effect: given (on the command line), else the project's own (an
// imported or converted file's), else the setting's.
double CellSizeInEffect(const std::optional<double>& given, const TLogFile1& project,
                        double setting);

// Reads and analyses one file.
TRunSummary AnalyseFile(const std::string& path, const TAnalysisSettings& settings,
                        const TRunOpening& opening = {});
// Every file, in parallel on threads threads (0: one per core); in the files' order.
// With control, the files not started before a cancel keep Error "cancelled".
std::vector<TRunSummary> AnalyseFiles(const std::vector<std::string>& files,
                                      const TAnalysisSettings& settings, int threads,
                                      TRunSetControl* control = nullptr,
                                      const TRunOpening& opening = {});

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

// What a reader is told about a run beside its name, empty for a plain used run:
// "cannot be used: ...", "left out: ..." or, for an incomplete run that counts,
// "incomplete: ...; counted with its largest known exit time".
std::string RunNote(const TRunSummary& run);

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

// An exit over the used runs: exits of different runs are one exit when their cells
// overlap on the same deck (and so are all exits that overlap one of them).
struct TExitOverRuns {
    std::string Name;  // of its first appearance
    int Deck = 0;
    std::size_t Cells = 0;  // cells of all its appearances
    std::size_t Runs = 0;   // used runs in which persons leave through it
    double MeanShare = 0;   // of the persons of a run, over all used runs (0 where unused)
    double MaxShare = 0;
    std::optional<double> P95Last;  // p95 of its last exit time over the runs using it
};
// In the order of their first appearance.
std::vector<TExitOverRuns> ExitsOverRuns(const std::vector<TRunSummary>& runs);

// Takes the case from the file caseFile (--case): false with why ("cannot be used:
// is not a 3D log file ...") when that file gives no usable run. Sets Key and From;
// reference receives the file's run.
bool ChooseCaseFile(TCaseChoice& choice, const std::string& caseFile,
                    const TAnalysisSettings& settings, TRunSummary& reference, std::string& why,
                    const TRunOpening& opening = {});

// What a report over runs asks for, and what it gets.
struct TRunSetRequest {
    std::vector<std::string> Files;
    TAnalysisSettings Settings;
    TCaseMode Mode = TCaseMode::First;
    std::string CaseFile;  // with the File mode
    bool IncludeIncomplete = false;
    int Threads = 0;  // 0: one per core
    TRunOpening Opening;
};
struct TRunSet {
    std::vector<TRunSummary> Runs;  // in the files' order, held against the case
    TCaseChoice Choice;
    // The run that describes the case (decks, persons, steps a second): the --case
    // file, the first usable file, or with any case the first used run; !Ok for none.
    TRunSummary CaseRun;
    std::string CaseError;  // why the --case file cannot be used; nothing else is read then
    std::optional<TRunStatistics> Statistics;
    bool Cancelled = false;
};
// Reads the files (in parallel), holds them against the case and computes the
// statistics over the used runs.
TRunSet AnalyseRunSet(const TRunSetRequest& request, TRunSetControl* control = nullptr);

// "1st", "2nd", "3rd", "4th", "11th", "48th".
std::string Ordinal(std::size_t n);
// A share as a percentage cut (not rounded) to one decimal, so that 94.99 % never reads
// 95.0 % ("92.3 %").
std::string PercentCut(double share);
// A relative change as a signed percentage with two decimals ("+0.13 %", "0.00 %"),
// "-" for none.
std::string ChangeText(const std::optional<double>& change);

}  // namespace orlex::stats
