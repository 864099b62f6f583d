// Column and row changes of the direction codes of the movement data (row 0 is the
// top row of the file; a lower row number is north). Codes outside 1..8 do not move.
#pragma once

namespace orlex {

inline constexpr int kDirectionColumn[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
inline constexpr int kDirectionRow[9] = {0, -1, -1, 0, 1, 1, 1, 0, -1};

// True for the codes that move a person by one cell.
constexpr bool IsMoveDirection(int direction) {
    return direction >= 1 && direction <= 8;
}

}  // namespace orlex
