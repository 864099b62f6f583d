// The pass of the analysis that follows every person step by step for the exits,
// the measurement lines and the measurement areas: one walk over the tracks for
// all of them, on several threads, cancellable.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "logfile.h"
#include "measure.h"
#include "result.h"

namespace orlex::analysis {

// Where a saved person's track ends, and how it got there.
struct TExitEnd {
    int Deck = 0;
    int Row = 0;
    int Column = 0;
    int MoveColumn = 0;  // the person's last move (0, 0: none after it entered)
    int MoveRow = 0;
    double Time = 0;  // exit time, seconds
};

struct TMeasureJob {
    const TLogFile1* Project = nullptr;
    const TMeasureSet* Set = nullptr;  // null: exits only
    TMetreFrame Frame;
    int Decks = 0;
    int64_t LastStep = -1;
    int StepsPerSecond = 1;
    int TimeOffset = 0;
    std::size_t MaxPoints = kMaxCurvePoints;  // of each area's series
    const std::atomic<bool>* Cancelled = nullptr;
};

// The result of the pass before the exits are grouped.
struct TMeasureOutput {
    std::vector<TExitEnd> Ends;  // sorted by deck, row, column, time
    std::vector<TLineResult> Lines;
    std::vector<TAreaResult> Areas;
};

// Walks the persons on threads threads; false when cancelled. progress gets the
// share done, 0 to 1, on the calling thread.
bool RunMeasurePass(const TMeasureJob& job, int threads, TMeasureOutput& out,
                    const std::function<void(double)>& progress = {});

}  // namespace orlex::analysis
