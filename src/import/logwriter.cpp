#include "logwriter.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace orlex::import {

namespace {

void PutRow(std::ostream& out, const char* cells, int columns) {
    for (int i = 0; i < columns;) {
        int j = i + 1;
        while (j < columns && cells[j] == cells[i]) ++j;
        if (j - i >= 3)
            out << 'P' << (j - i) << 'x' << cells[i];
        else
            out.write(cells + i, j - i);
        i = j;
    }
    out << '\n';
}

}  // namespace

void WriteLogFile(const TConversion& conversion, std::ostream& out) {
    const TCellPlan& plan = conversion.Plan;
    out << "<header>\nversion 1\npmax " << conversion.Persons.size() << "\nxmax " << plan.Columns
        << "\nymax " << plan.Rows << "\nzmax " << plan.Decks.size() << "\nvmax "
        << conversion.StepRate << "\ntoff 0\n</header>\n";
    char number[96];
    std::snprintf(number, sizeof number, "origin %.6f %.6f\ncellsize %.6g\n", plan.OriginX,
                  plan.OriginY, plan.CellSize);
    out << "<import>\n" << number;
    for (std::size_t i = 0; i < conversion.Persons.size(); ++i)
        if (conversion.Persons[i].EntryStep > 0)
            out << "entry " << i << ' ' << conversion.Persons[i].EntryStep << '\n';
    out << "</import>\n";
    for (std::size_t z = 0; z < plan.Decks.size(); ++z) {
        const TPlanDeck& deck = plan.Decks[z];
        out << "<deck>\nlevel " << z << "\ncaption " << deck.Caption << "\n(celldata)\n";
        for (int r = 0; r < plan.Rows; ++r)
            PutRow(out, deck.Cells.data() + static_cast<std::size_t>(r) * plan.Columns,
                   plan.Columns);
        out << "</deck>\n";
    }
    out << "<persons>\n<startpositions>\n";
    for (std::size_t i = 0; i < conversion.Persons.size(); ++i) {
        const TConvertedPerson& p = conversion.Persons[i];
        // The tag keeps the source's id where it fits.
        const int64_t tag = p.Id >= INT_MIN && p.Id <= INT_MAX ? p.Id : static_cast<int64_t>(i);
        out << p.StartColumn << ' ' << p.StartRow << ' ' << p.StartLevel << ' ' << p.Heading << ' '
            << tag << '\n';
    }
    out << "(movement)\n";
    for (const TConvertedPerson& p : conversion.Persons) out << p.Track << "S\n";
    out << "</persons>\n";
}

}  // namespace orlex::import
