#include "rooms.h"

namespace orlex::test {

std::string RoomText(int columns, int rows, int decks, int vmax,
                     const std::vector<TRoomPerson>& persons,
                     const std::vector<std::string>& cellRows) {
    std::string text = "<header>\nversion 1\npmax " + std::to_string(persons.size()) + "\nxmax " +
                       std::to_string(columns) + "\nymax " + std::to_string(rows) + "\nzmax " +
                       std::to_string(decks) + "\nvmax " + std::to_string(vmax) +
                       "\ntoff 0\n</header>\n";
    for (int z = 0; z < decks; ++z) {
        text += "<deck>\nlevel " + std::to_string(z) + "\ncaption Deck " + std::to_string(z) +
                "\n(celldata)\n";
        for (int r = 0; r < rows; ++r) {
            text += cellRows.empty() ? "P" + std::to_string(columns) + "x0"
                                     : cellRows[static_cast<std::size_t>(r)];
            text += "\n";
        }
        text += "</deck>\n";
    }
    text += "<persons>\n<startpositions>\n";
    for (const TRoomPerson& p : persons) {
        text += std::to_string(p.Column) + " " + std::to_string(p.Row) + " " +
                std::to_string(p.Level) + " 3 0\n";
    }
    text += "(movement)\n";
    for (const TRoomPerson& p : persons) text += p.Track + "S\n";
    text += "</persons>\n";
    return text;
}

}  // namespace orlex::test
