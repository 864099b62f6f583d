// The density pass of the evacuation analysis (internal to the analysis library).
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

#include "logfile.h"
#include "result.h"

namespace orlex::analysis {

// A change of a deck's occupancy at a step counter.
struct TOccupancyEvent {
    int64_t Step;
    int Delta;
};
using TOccupancyEvents = std::vector<std::vector<TOccupancyEvent>>;  // per deck

struct TDensityJob {
    const TLogFile1* Project = nullptr;
    int Columns = 0;
    int Rows = 0;
    int Decks = 0;
    int64_t LastStep = -1;
    int Window = 5;
    uint32_t CountLimit = 0;  // a window is above the limit with more persons than this
    const std::atomic<bool>* Cancelled = nullptr;
};

// Fills result's maps (sized here) and returns the peak, on threads threads: the
// calling thread and threads - 1 more. The pass goes through the steps in blocks;
// in each, every thread follows a share of the persons, then the threads take the
// decks one by one and apply the block's moves to their window counts. The changes
// of the decks' occupancy go to occupancy (one list per deck, in no order). progress,
// when set, is called on the calling thread with the share done (0 to 1). False
// when cancelled.
bool RunDensity(const TDensityJob& job, int threads, TAnalysisResult& result,
                std::optional<TDensityPeak>& peak, TOccupancyEvents& occupancy,
                const std::function<void(double)>& progress);

// The largest window count whose density does not exceed the limit, as the density
// d = count / area is compared with it.
uint32_t CountLimit(double limit, double area);

}  // namespace orlex::analysis
