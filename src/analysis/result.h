// What the evacuation analysis finds in a project: the saved and occupancy curves,
// the exit times and the density maps of every deck.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "settings.h"

namespace orlex {

// A count that changes at a few step counters and stays constant in between:
// Values[i] holds from Steps[i] up to Steps[i + 1] - 1, the last value for ever.
// Steps[0] is 0 and the steps rise strictly.
struct TStepCurve {
    std::vector<int64_t> Steps{0};
    std::vector<int> Values{0};

    int At(int64_t step) const;
    // The values at 0, every, 2 * every, ... for count points.
    std::vector<int> Sample(int64_t every, std::size_t count) const;
};

// The pX of sorted values by the ranking rule: x_m with m = min(N, ceil(X/100 * N) + 1)
// for X < 100 (1-based), the largest value for X >= 100. None for no values.
std::optional<double> RankPercentile(const std::vector<double>& sorted, double percent);
// The rank m (1-based) that the ranking rule picks among n >= 1 values.
std::size_t PercentileRank(std::size_t n, double percent);

// The longest per-second lists handed out (194 days of simulated time).
inline constexpr int64_t kMaxSecondsListed = int64_t{1} << 24;

struct TExitStatistics {
    double Min = 0;
    double Mean = 0;
    double P50 = 0;
    double P95 = 0;
    double Max = 0;
};

// Statistics of a set of values (any order); none when it is empty.
std::optional<TExitStatistics> ExitStatistics(std::vector<double> values);

// The lower limits, in persons/m², of the walkway levels of service B to F (Fruin).
inline constexpr double kLevelOfServiceLimits[5] = {0.31, 0.43, 0.72, 1.08, 2.17};

// The walkway level of service of a density in persons/m²: 'A' below 0.31, 'B' from
// 0.31 to below 0.43, 'C' to below 0.72, 'D' to below 1.08, 'E' to below 2.17, 'F'
// from 2.17.
char LevelOfService(double density);

// One cell of the project's grids.
struct TCellPlace {
    int Deck = 0;
    int Row = 0;
    int Column = 0;
    friend bool operator==(const TCellPlace&, const TCellPlace&) = default;
};

struct TDensityPeak {
    TCellPlace Cell;
    int64_t Step = 0;  // the first step counter at which it is reached
    int Count = 0;     // persons in the window
    double Value = 0;  // persons per square metre
};

struct TCongestedCell {
    TCellPlace Cell;
    double SecondsAbove = 0;
};

// Person-steps of the cells of a deck: 32 bits a cell, with the rare sums that do not
// fit kept aside, so that a large ship's maps take a third less memory.
class TUsageMap {
public:
    TUsageMap() = default;
    // Takes over the sums below 2^32 - 1 and, sorted by cell, those that do not fit
    // (their low entries hold kLarge).
    TUsageMap(std::vector<uint32_t> low, std::vector<std::pair<std::size_t, uint64_t>> large);
    static constexpr uint32_t kLarge = UINT32_MAX;

    std::size_t size() const { return Low_.size(); }
    bool empty() const { return Low_.empty(); }
    uint64_t operator[](std::size_t i) const {
        const uint32_t v = Low_[i];
        return v == kLarge ? LargeAt(i) : v;
    }
    uint64_t Sum() const;
    uint64_t Max() const;
    // Sets cell i to 0 (void cells).
    void Clear(std::size_t i);
    friend bool operator==(const TUsageMap&, const TUsageMap&) = default;

private:
    uint64_t LargeAt(std::size_t i) const;
    std::vector<uint32_t> Low_;
    std::vector<std::pair<std::size_t, uint64_t>> Large_;
};

// The maps of one deck, row by row like the deck's cells (index r * columns + c).
// Void cells hold 0 everywhere.
struct TDeckMaps {
    std::vector<uint32_t> PeakCount;   // most persons ever in the cell's window
    std::vector<uint32_t> StepsAbove;  // step counters with the density above the limit
    TUsageMap UsageSteps;              // (person, step counter) pairs in the cell
};

class TAnalysisResult {
public:
    TAnalysisSettings Settings;
    int StepsPerSecond = 1;  // VMax, 1 when the project gives 0 or less
    int TimeOffset = 0;      // TOff
    int Persons = 0;         // persons of the project (PMax)
    int Columns = 0;
    int Rows = 0;
    int Decks = 0;
    int64_t LastStep = -1;  // the largest step count; -1 without persons

    // Persons whose tracks were cut (by the end of the file, a movement list shorter
    // than pmax, no movement data): the run is incomplete then. Their tracks are the
    // last ones of the file.
    int CutTracks = 0;
    bool Complete() const { return CutTracks == 0; }

    // Per person, in seconds; NaN for a person whose track was cut: its exit time is
    // unknown (playback still shows it saved where its track ends).
    std::vector<double> ExitTimes;
    // Unknown (none) when the run is incomplete.
    std::optional<double> EvacuationTime;
    std::optional<double> Duration;
    // Over the persons with complete tracks only.
    std::optional<TExitStatistics> ExitStats;

    TStepCurve Saved;                   // S(k)
    std::vector<TStepCurve> Occupancy;  // O(z, k), one per deck

    // The density part; empty when the analysis was asked for the curves only.
    bool HasDensity = false;
    bool DensityTooLarge = false;  // asked for, but the grids were too large for the maps
    std::vector<TDeckMaps> Maps;
    std::optional<TDensityPeak> Peak;       // none when no window ever holds a person
    std::vector<TCongestedCell> Congested;  // sorted by deck, row, column
    std::vector<int> CongestedPerDeck;
    std::vector<double> UsagePerDeck;  // person-seconds over the deck's non-void cells

    // The window's area in square metres, and a count of persons in it as a density.
    double WindowArea() const;
    double DensityOf(uint32_t count) const { return count / WindowArea(); }
    // Seconds of a number of step counters.
    double Seconds(double steps) const { return steps / StepsPerSecond; }
    // The simulated time of a step counter, offset included.
    double TimeOfStep(int64_t step) const {
        return Seconds(static_cast<double>(step)) + TimeOffset;
    }

    // Per-cell values (0 for void cells, cells outside the grid or without maps).
    double PeakDensity(const TCellPlace& cell) const;
    double SecondsAbove(const TCellPlace& cell) const;
    double Usage(const TCellPlace& cell) const;  // person-seconds
    bool IsCongested(const TCellPlace& cell) const;

    // The curves once a simulated second (at most kMaxSecondsListed + 1 values), S(0), S(V), S(2V),
    // ... up to the first value equal to the number of persons; the occupancy lists have the same
    // length.
    std::vector<int> SavedPerSecond() const;
    std::vector<std::vector<int>> OccupancyPerSecond() const;

private:
    // Index of a cell in its deck's maps; -1 outside.
    int64_t MapIndex(const TCellPlace& cell) const;
};

}  // namespace orlex
