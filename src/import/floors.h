// Floors found from the persons' z values: they cluster at floor heights, and a z
// between two floors means the stairs.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace orlex::import {

struct TFloors {
    std::vector<double> Heights;  // ascending, metres
    std::vector<int> Levels;      // the deck of each floor, 0 upwards

    bool Empty() const { return Heights.empty(); }
    // The deck of a person at height z: the nearest floor, where a person on the
    // stairs belongs to the floor below until it passes half-way. 0 without floors.
    int LevelOf(double z) const;
    // The number of decks the floors need.
    int DeckCount() const { return Levels.empty() ? 1 : Levels.back() + 1; }
};

// Gathers the time the persons spend at each height, then finds the floors.
class TFloorFinder {
public:
    // Bins of this height (m) and floors at least this far apart.
    static constexpr double kBin = 0.1;
    static constexpr double kMinSpacing = 1.8;

    // A person stayed seconds at height z. Throws TImportError (naming source) when
    // the heights spread absurdly.
    void Add(double z, double seconds, const std::string& source);
    // The floors: heights where the persons spend clearly more time than on the
    // heights around them; at least one where any time was added.
    TFloors Find() const;

private:
    struct TBin {
        double Seconds = 0;
        double HeightSeconds = 0;  // z times seconds, for the mean height
    };
    std::map<int64_t, TBin> Time_;
};

// Decks for floors where a geometry brings its own: the floors are mapped to decks
// as they are where the counts agree, else by their spacing (the floors of a ship
// with empty decks between). Throws TImportError naming source when they cannot fit.
void FitFloorsToDecks(TFloors& floors, int decks, const std::string& source);

}  // namespace orlex::import
