// Hand-made rooms for the analysis tests.
#pragma once

#include <string>
#include <vector>

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

}  // namespace orlex::test
