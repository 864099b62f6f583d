// What makes runs one case: the grid's size, the steps a second, the persons and the
// decks' cells (kept as a hash, not the grids).
#pragma once

#include <cstdint>
#include <string>

namespace orlex {
class TLogFile1;
}

namespace orlex::stats {

struct TCaseKey {
    int XMax = 0;
    int YMax = 0;
    int ZMax = 0;
    int VMax = 0;
    int PMax = 0;
    uint64_t Cells = 0;  // FNV-1a over every deck's grid size and cell codes
    friend bool operator==(const TCaseKey&, const TCaseKey&) = default;
};

TCaseKey CaseKeyOf(const TLogFile1& project);

// The cells' hash as 16 hexadecimal digits, and back (false for other text).
std::string CellsText(uint64_t cells);
bool ParseCellsText(const std::string& text, uint64_t& cells);

// "XMax 40, YMax 30, ZMax 3, VMax 4, PMax 300, deck cells 0123456789abcdef".
std::string CaseText(const TCaseKey& key);
// How other differs from the case, naming the first value that differs
// ("PMax 75 instead of 300"); empty when they agree.
std::string CaseDifference(const TCaseKey& other, const TCaseKey& thecase);

}  // namespace orlex::stats
