// Decks for the deck drawing tests, made from rows of cell characters ("0" to
// "5" as in a 3D log file, "." void) and reduced to their quad lists.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "deck.h"
#include "interfaces.h"

namespace orlex::test {

inline TDeck DeckOf(const std::vector<std::string>& rows, int mergeLimit = 10,
                    float blockHeight = 3.0f) {
    TDeck deck;
    const int columns = rows.empty() ? 0 : static_cast<int>(rows.front().size());
    const int count = static_cast<int>(rows.size());
    deck.CreateGrid(columns, count);
    deck.MergeLimit = mergeLimit;
    deck.BlockHeight = blockHeight;
    for (int r = 0; r < count; ++r)
        for (int c = 0; c < columns && c < static_cast<int>(rows[r].size()); ++c)
            deck.CellAt(r, c)->Code = CellCodeOf(rows[r][c]);
    TNullProgress progress;
    deck.BuildQuadList(columns, count, progress);
    deck.PlaceDefaultLights(columns, count);
    return deck;
}

// A deck of rooms as the generator lays them out: walls of blocks with doors,
// pillars, grey and coloured floor patches; the same for the same seed.
inline std::vector<std::string> RoomRows(int columns, int rows, std::uint32_t seed) {
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    std::vector<std::string> grid(static_cast<std::size_t>(rows), std::string(columns, '0'));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            char& cell = grid[r][c];
            const bool wall = r == 0 || c == 0 || r == rows - 1 || c == columns - 1 ||
                              (r % 9 == 0 && c % 13 != 5) || (c % 13 == 0 && r % 9 != 4) ||
                              (r % 9 == 1 && c % 13 < 3);  // a thicker wall piece
            const unsigned roll = next() % 100;
            if (wall)
                cell = '1';
            else if (roll < 4)
                cell = '1';  // pillars and furniture
            else if (roll < 10)
                cell = '3';
            else if (roll < 13)
                cell = static_cast<char>('2' + next() % 4);  // blue, grey, green, red
            else if (roll < 14)
                cell = '.';
        }
    }
    return grid;
}

}  // namespace orlex::test
