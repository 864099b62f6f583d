// Hand-made rooms for the analysis tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "logfile.h"

namespace orlex::test {

struct TRoomPerson {
    int Column, Row, Level;
    std::string Track;  // movement items, without the closing "S"
};

// decks decks of columns x rows white floor (or the given cell rows, one string
// per row, the same for every deck), vmax steps a second, the persons as given.
std::string RoomText(int columns, int rows, int decks, int vmax,
                     const std::vector<TRoomPerson>& persons,
                     const std::vector<std::string>& cellRows = {});

// A project of orlex-gen's classic model (persons share cells) on decks of 24 x 10
// cells.
std::unique_ptr<TLogFile1> Generated(int decks, int persons, int steps, uint64_t seed);

// Tracks of every kind: runs, stays, level changes, odd directions, starts off the
// grid and on missing levels, over void and floor cells (10 x 6 cells, 2 decks).
std::string WildText(uint64_t seed);

}  // namespace orlex::test
