// The density pass of the evacuation analysis (internal to the analysis library).
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

#include "logfile.h"
#include "result.h"

namespace orlex::analysis {

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

// Fills result's maps and peak for the decks in group (every thread its own group)
// and publishes its step counter in *position as it goes. False when cancelled.
// poll, when set, is called now and then on the calling thread.
bool RunDensityGroup(const TDensityJob& job, const std::vector<int>& group, TAnalysisResult& result,
                     std::optional<TDensityPeak>& peak, std::atomic<int64_t>& position,
                     const std::function<void()>& poll);

// The largest window count whose density does not exceed the limit, as the density
// d = count / area is compared with it.
uint32_t CountLimit(double limit, double area);

}  // namespace orlex::analysis
