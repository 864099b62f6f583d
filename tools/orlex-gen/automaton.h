// The evacuation model of orlex-gen: a cellular automaton on the decks' cells with
// one person a cell, a static floor field towards the muster areas, and persons
// with their own response time and walking speed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "generator.h"

namespace orlex::gen {

struct TStart {
    int Column = 0;
    int Row = 0;
    int Level = 0;
    int Heading = 1;
    int Tag = 0;
};

// Costs of the floor field, in hundredths of a cell.
inline constexpr int32_t kStraightCost = 100;
inline constexpr int32_t kDiagonalCost = 141;
// One flight of stairs between two decks, walked as this many cells.
inline constexpr int kFlightCells = 8;
inline constexpr int32_t kFlightCost = kFlightCells * kStraightCost;
// On stair cells persons walk at this share of their speed.
inline constexpr double kStairSpeedShare = 0.5;

// The walking distance from every cell of every deck to the nearest muster area
// ("4"), across decks by the stairs: eight directions with diagonals weighted
// about sqrt(2), round blocks and void, and a flight between two stair cells ("3")
// at the same place of neighbouring decks. A node is deck * cells + cell.
class TFloorField {
public:
    explicit TFloorField(const TShip& ship);

    uint32_t CellsPerDeck() const { return CellsPerDeck_; }
    // Distance in hundredths of a cell; -1 where no muster area can be reached.
    int32_t At(uint32_t node) const { return Dist_[node]; }

private:
    uint32_t CellsPerDeck_;
    std::vector<int32_t> Dist_;
};

// One run of the automaton: the persons' start records and their tracks as the
// file writes them (each ending in "S"), or why the case cannot be run.
struct TAutomatonRun {
    bool Ok = false;
    std::string Error;
    std::vector<TStart> Starts;
    std::vector<std::string> Tracks;
    int64_t LastStep = 0;  // the longest track
};

// The case (start cells, headings, tags) comes from options.Seed; the run's response
// times, speeds and the resolution of conflicts from options.Seed and options.Run.
TAutomatonRun RunAutomaton(const TShip& ship, const TGenOptions& options);

}  // namespace orlex::gen
