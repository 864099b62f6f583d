#include <cmath>
#include <string>

#include "logfile.h"

namespace orlex {

// trunc(100 - quads * 100 / cells); a deck without cells has no reduction to show.
std::string ReductionText(int cells, int quads) {
    if (cells == 0) return "n/a";
    const double value = 100.0 - static_cast<double>(quads) * 100.0 / cells;
    return std::to_string(static_cast<long long>(std::trunc(value))) + "%";
}

void TLogFile1::ReportTo(IReport& report) const {
    report.Clear();
    report.AddLine(" ");
    report.SetBold(true);
    report.AddLine("Project Size:");
    report.SetBold(false);
    report.AddLine("\tLenght [cells]:\t\t\t" + std::to_string(XMax));
    report.AddLine("\tWidth [cells]:\t\t\t" + std::to_string(YMax));
    report.AddLine("\t" + LevelName + "s:\t\t\t\t" + std::to_string(ZMax));
    report.AddLine("\tAgents:\t\t\t\t" + std::to_string(PMax));
    report.AddLine("");
    report.SetBold(true);
    report.AddLine("3D-Statistics:");
    report.SetBold(false);
    const int decks = DeckCount();
    for (int i = 0; i < decks; ++i) {
        const TDeck& deck = Decks[static_cast<std::size_t>(i)];
        report.AddLine("\t" + LevelName + " " + std::to_string(i) +
                       " [cells, polygons, reduction]:\t" + std::to_string(deck.CellCount) + ",\t" +
                       std::to_string(deck.QuadCount()) + ",\t" +
                       ReductionText(deck.CellCount, deck.QuadCount()));
    }
}

}  // namespace orlex
