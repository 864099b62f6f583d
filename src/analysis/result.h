// What the evacuation analysis finds in a project: the saved and occupancy curves,
// the exit times and the density maps of every deck.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings.h"

namespace orlex {

// The most points of any curve handed out (tables, JSON, CSV, charts).
inline constexpr std::size_t kMaxCurvePoints = 100000;

// One corner of a curve drawn as a staircase.
struct TStairPoint {
    int64_t Step = 0;
    int Value = 0;
    friend bool operator==(const TStairPoint&, const TStairPoint&) = default;
};

// A count that changes at a few step counters and stays constant in between:
// Values[i] holds from Steps[i] up to Steps[i + 1] - 1, the last value for ever.
// Steps[0] is 0 and the steps rise strictly.
struct TStepCurve {
    std::vector<int64_t> Steps{0};
    std::vector<int> Values{0};

    int At(int64_t step) const;
    // The values at 0, every, 2 * every, ... for count points.
    std::vector<int> Sample(int64_t every, std::size_t count) const;
    // The corners of the staircase from step counter 0 to max(end, the last change),
    // at most maxPoints + 1 of them (maxPoints >= 8). Up to that every change gives two
    // corners; a curve with more changes is cut into maxPoints / 4 buckets of equal
    // length, each drawn as a vertical line at its start over the lowest and highest
    // value it holds, followed by its last value, so that no peak or dip is lost.
    std::vector<TStairPoint> Stairs(int64_t end, std::size_t maxPoints = kMaxCurvePoints) const;
};

// The curves at evenly spaced times: point i is at i * StepSeconds simulated seconds
// after step counter 0 and gives the value at that very time (the start of its
// bucket). StepSeconds is 1 while the run fits maxPoints points, otherwise the
// smallest whole number of seconds that makes it fit.
struct TCurveTable {
    int64_t StepSeconds = 1;
    std::vector<int64_t> Seconds;             // i * StepSeconds
    std::vector<int> Saved;                   // S at each point
    std::vector<std::vector<int>> Occupancy;  // per deck, O(z) at each point
    static constexpr const char* kRule = "value at the start of each bucket";
};

// The pX of sorted values by the ranking rule: x_m with m = min(N, ceil(X/100 * N) + 1)
// for X < 100 (1-based), the largest value for X >= 100. None for no values.
std::optional<double> RankPercentile(const std::vector<double>& sorted, double percent);
// The rank m (1-based) that the ranking rule picks among n >= 1 values.
std::size_t PercentileRank(std::size_t n, double percent);

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

// A map of 32-bit values over a grid of cells, kept in tiles of 64 x 16 cells that
// exist only where a value was set: its memory follows the cells in use, not the
// grid. Absent tiles and cells outside the grid read 0. Cell index i stands for row
// i / columns, column i % columns.
class TCellMap {
public:
    static constexpr int kColumnShift = 6;
    static constexpr int kRowShift = 4;
    static constexpr int kTileColumns = 1 << kColumnShift;
    static constexpr int kTileRows = 1 << kRowShift;
    static constexpr int kTileCells = kTileColumns * kTileRows;

    TCellMap() = default;
    TCellMap(int columns, int rows);

    int Columns() const { return Columns_; }
    int Rows() const { return Rows_; }
    std::size_t size() const { return static_cast<std::size_t>(Columns_) * Rows_; }
    bool empty() const { return size() == 0; }
    uint32_t At(int row, int column) const;
    uint32_t operator[](std::size_t i) const {
        const auto row = static_cast<int>(i / static_cast<std::size_t>(Columns_));
        return At(row, static_cast<int>(i - static_cast<std::size_t>(row) * Columns_));
    }
    // The tiles, row by row: the tile of a cell, a cell's place in its tile, the
    // first row and column of a tile.
    std::size_t TileCount() const { return Tiles_.size(); }
    std::size_t TileOf(int row, int column) const {
        return static_cast<std::size_t>(row >> kRowShift) * TileColumns_ +
               static_cast<std::size_t>(column >> kColumnShift);
    }
    static std::size_t InTile(int row, int column) {
        return (static_cast<std::size_t>(row & (kTileRows - 1)) << kColumnShift) +
               static_cast<std::size_t>(column & (kTileColumns - 1));
    }
    int TileRow(std::size_t tile) const {
        return static_cast<int>(tile / TileColumns_) << kRowShift;
    }
    int TileColumn(std::size_t tile) const {
        return static_cast<int>(tile % TileColumns_) << kColumnShift;
    }
    // A tile's cells (made, zero-filled, when absent).
    uint32_t* Tile(std::size_t tile);
    const uint32_t* TileIfMade(std::size_t tile) const {
        return Tiles_[tile].empty() ? nullptr : Tiles_[tile].data();
    }
    uint32_t& Cell(int row, int column) { return Tile(TileOf(row, column))[InTile(row, column)]; }
    std::size_t TilesMade() const;

    uint32_t Max() const;
    uint64_t Sum() const;
    // Calls f(row, column, value) for every cell of the grid with a value other than 0,
    // tile by tile.
    template <typename F>
    void ForEachSet(F&& f) const {
        for (std::size_t t = 0; t < Tiles_.size(); ++t) {
            if (Tiles_[t].empty()) continue;
            const int r0 = TileRow(t);
            const int c0 = TileColumn(t);
            const uint32_t* tile = Tiles_[t].data();
            for (int i = 0; i < kTileCells; ++i) {
                if (tile[i] != 0)
                    f(r0 + (i >> kColumnShift), c0 + (i & (kTileColumns - 1)), tile[i]);
            }
        }
    }
    friend bool operator==(const TCellMap& a, const TCellMap& b);

private:
    int Columns_ = 0;
    int Rows_ = 0;
    std::size_t TileColumns_ = 0;
    std::vector<std::vector<uint32_t>> Tiles_;  // row by row; empty: absent
};

// Person-steps of the cells of a deck: 32 bits a cell, with the rare sums that do not
// fit kept aside, so that a large ship's maps take a third less memory.
class TUsageMap {
public:
    TUsageMap() = default;
    // Takes over the sums below 2^32 - 1 and, sorted by cell index, those that do not
    // fit (their low entries hold kLarge).
    TUsageMap(TCellMap low, std::vector<std::pair<std::size_t, uint64_t>> large);
    static constexpr uint32_t kLarge = UINT32_MAX;

    std::size_t size() const { return Low_.size(); }
    bool empty() const { return Low_.empty(); }
    uint64_t operator[](std::size_t i) const {
        const uint32_t v = Low_[i];
        return v == kLarge ? LargeAt(i) : v;
    }
    uint64_t At(int row, int column) const {
        const uint32_t v = Low_.At(row, column);
        return v == kLarge ? LargeAt(static_cast<std::size_t>(row) * Low_.Columns() + column) : v;
    }
    uint64_t Sum() const;
    uint64_t Max() const;
    // Sets a cell to 0 (void cells).
    void Clear(int row, int column);
    friend bool operator==(const TUsageMap&, const TUsageMap&) = default;

private:
    uint64_t LargeAt(std::size_t i) const;
    TCellMap Low_;
    std::vector<std::pair<std::size_t, uint64_t>> Large_;
};

// The maps of one deck over its grid (index r * columns + c), tiled: cells that no
// person's window ever reached hold no memory. Void cells hold 0 everywhere.
struct TDeckMaps {
    TCellMap PeakCount;    // most persons ever in the cell's window
    TCellMap StepsAbove;   // step counters with the density above the limit
    TUsageMap UsageSteps;  // (person, step counter) pairs in the cell
};

// The largest specific flow of a door in the evacuation guidelines, persons/(m·s):
// an exit or line above it may be too optimistic a simulation.
inline constexpr double kMaxSpecificFlow = 1.33;

// The peak of the flow through a place: the most of times (ascending, seconds)
// within any window of window seconds, (t - window, t], divided by window; 0 for
// no times.
double PeakFlow(const std::vector<double>& times, double window);
// The flow at time t: the times in (t - window, t] divided by window.
double FlowAt(const std::vector<double>& times, double window, double t);

// An exit found where saved persons' tracks end: 8-neighbouring end cells of a deck.
struct TExitResult {
    std::string Name;  // "Exit at x 12.4 m, y 3.2 m, Deck 2 - Muster Stations"
    int Deck = 0;
    std::vector<TCellPlace> Cells;  // by row, then column
    double X = 0;                   // the centre of its cells, metres
    double Y = 0;
    double Width = 0;             // metres across the main direction of the persons entering
    std::vector<double> Times;    // exit times of its persons, ascending, seconds
    double PeakFlow = 0;          // persons/s
    double PeakSpecificFlow = 0;  // persons/(m·s)
    int Persons() const { return static_cast<int>(Times.size()); }
    bool AboveLimit() const { return PeakSpecificFlow > kMaxSpecificFlow; }
};

// The indices of the most exits with the most persons, in the exits' own order (all
// of them when there are no more than most): those a report lists or a view labels.
std::vector<std::size_t> BusiestExits(const std::vector<TExitResult>& exits, std::size_t most);
// The exits a report lists by name and labels on its plans; the others are summed up.
inline constexpr std::size_t kMaxLabelledExits = 30;
// The exits a chart draws or the view labels: more would hide one another.
inline constexpr std::size_t kMaxShownExits = 10;

// The persons crossing a measurement line.
struct TLineResult {
    std::string Name;
    int Deck = 0;
    double Length = 0;                  // metres
    std::vector<double> CrossingTimes;  // one per person, ascending, seconds
    double PeakFlow = 0;                // persons/s
    double PeakSpecificFlow = 0;        // persons/(m·s)
};

// Density and speed in a measurement area at evenly spaced step counters: point i
// is at step counter i * EveryStep (every step while the run fits the curve limit).
struct TAreaResult {
    std::string Name;
    int Deck = 0;
    double Area = 0;  // square metres
    int64_t EveryStep = 1;
    std::vector<int> Count;                    // persons inside
    std::vector<std::optional<double>> Speed;  // mean speed, m/s; none without persons
                                               // whose positions a second before and after
                                               // are known
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

    // Exits, measurement lines and areas; only when the analysis was asked for them.
    bool HasMeasurements = false;
    std::vector<TExitResult> Exits;  // by deck, then first cell
    std::vector<TLineResult> Lines;  // in the order of the measurement set
    std::vector<TAreaResult> Areas;
    // Per deck, the last step counter at which it holds a person (-1: never); the
    // deck is clear from the next one.
    std::vector<int64_t> LastOccupiedSteps;
    // When the deck is clear: the simulated time of the step counter after its last
    // occupied one; none for a deck that never holds a person.
    std::optional<double> ClearTime(int deck) const;

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

    // The saved and occupancy curves at evenly spaced times, at most maxPoints (>= 2)
    // points: S(0), S(w), S(2w), ... (w = StepSeconds simulated seconds) up to the
    // first point at which all persons are saved.
    TCurveTable Curves(std::size_t maxPoints = kMaxCurvePoints) const;

private:
    // The cell's deck maps; null outside the grids or without maps.
    const TDeckMaps* MapsOf(const TCellPlace& cell) const;
};

}  // namespace orlex
