// The evacuation analysis of a loaded project: saved and occupancy curves, exit
// times, and the local density maps of every deck. Reads the persons' tracks with
// its own cursors and never their playback state, so it may run on a worker thread
// while the project stays loaded and unchanged.
#pragma once

#include <atomic>
#include <memory>

#include "logfile.h"
#include "measure.h"
#include "result.h"
#include "settings.h"

namespace orlex {

namespace analysis {
struct TOccupancyEvent;
}

// Receives the progress of a run, 0 to 100, never decreasing, always on the thread
// that called Run.
class IAnalysisProgress {
public:
    virtual ~IAnalysisProgress() = default;
    virtual void SetPosition(int percent) = 0;
};

struct TAnalysisOptions {
    bool Density = true;  // false: the curves and exit times only
    int Threads = 0;      // 0: one per core
    // The density maps are kept in tiles of 64 x 16 cells made where persons' windows reach (about
    // 16 bytes a cell while they are made, 12 after) plus 100 bytes for every tile of the grid;
    // projects with more cells than this (all decks together) get the curves and exit times only.
    int64_t MaxDensityCells = int64_t{1} << 26;
    // The exits, the time each deck is clear, and the lines and areas of Measures
    // (when given: it must stay unchanged while Run runs) in one more walk over the tracks.
    bool Measurements = true;
    const TMeasureSet* Measures = nullptr;
};

class TEvacuationAnalysis {
public:
    TEvacuationAnalysis(const TLogFile1& project, const TAnalysisSettings& settings,
                        TAnalysisOptions options = {});

    // Computes everything. Null when the run was cancelled or the settings are out of
    // range (see ValidateAnalysisSettings). Call once at a time.
    std::unique_ptr<TAnalysisResult> Run(IAnalysisProgress* progress = nullptr);

    // Asks a running (or the next) Run to stop soon; safe from any thread. A cancelled
    // analysis stays cancelled: start a new one for a new run.
    void Cancel() { Cancelled_.store(true, std::memory_order_relaxed); }
    bool IsCancelled() const { return Cancelled_.load(std::memory_order_relaxed); }

private:
    using TEvents = std::vector<std::vector<analysis::TOccupancyEvent>>;
    // The curves and exit times alone.
    bool Curves(TAnalysisResult& result, IAnalysisProgress* progress);
    // The occupancy changes of the persons, per deck; false when cancelled.
    bool CollectOccupancy(const TAnalysisResult& result, TEvents& events);
    void MakeOccupancy(TAnalysisResult& result, TEvents& events);
    void SavedAndExitTimes(TAnalysisResult& result);
    // The exits, clear times, lines and areas, reporting progress from `from` up.
    bool Measure(TAnalysisResult& result, IAnalysisProgress* progress, int& last, int from);

    const TLogFile1& Project_;
    TAnalysisSettings Settings_;
    TAnalysisOptions Options_;
    std::atomic<bool> Cancelled_{false};
};

// The number of threads Run uses for a request of threads (0: one per core).
int AnalysisThreads(int threads);

}  // namespace orlex
