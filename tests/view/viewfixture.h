// The projects the rendering tests draw, and a view showing a loaded project
// the way the main window hands it over.
#pragma once

#include <QByteArray>
#include <QString>

#include "cellview3d.h"
#include "logfile.h"
#include "viewtestutil.h"

namespace viewtest {

// Two 20 x 20 decks: 0 all white, 1 all grey. Persons: A heading east and B
// heading west on deck 0, C on deck 1, D on deck 0 with the bad heading 9.
inline const char* const kTwoDecks = R"(<header>
version 1
pmax 4
xmax 20
ymax 20
zmax 2
vmax 1
toff 0
</header>
<deck>
level 0
caption Lower
(celldata)
P20x0 P20x0 P20x0 P20x0 P20x0 P20x0 P20x0 P20x0 P20x0 P20x0
P20x0 P20x0 P20x0 P20x0 P20x0 P20x0 P20x0 P20x0 P20x0 P20x0
</deck>
<deck>
level 1
caption Upper
(celldata)
P20x3 P20x3 P20x3 P20x3 P20x3 P20x3 P20x3 P20x3 P20x3 P20x3
P20x3 P20x3 P20x3 P20x3 P20x3 P20x3 P20x3 P20x3 P20x3 P20x3
</deck>
<persons>
<startpositions>
5 10 0 3 0
14 10 0 7 1
10 5 1 1 2
10 15 0 9 3
(movement)
S S S S
</persons>
)";

// A 600 x 600 deck with 3000 persons in all headings: seen whole, a cell is
// smaller than a pixel.
inline QByteArray CrowdFile() {
    QByteArray text =
        "<header>\nversion 1\npmax 3000\nxmax 600\nymax 600\nzmax 1\n</header>\n"
        "<deck>\nlevel 0\n(celldata)\n";
    for (int r = 0; r < 600; ++r) text += (r % 50 == 0) ? "P600x1\n" : "P600x0\n";
    text += "</deck>\n<persons>\n<startpositions>\n";
    unsigned state = 12345;
    for (int i = 0; i < 3000; ++i) {
        state = state * 1103515245u + 12345u;
        const int column = static_cast<int>((state >> 8) % 600);
        state = state * 1103515245u + 12345u;
        const int row = static_cast<int>((state >> 8) % 600);
        text += QByteArray::number(column) + " " + QByteArray::number(row) + " 0 " +
                QByteArray::number(i % 8 + 1) + " 0\n";
    }
    text += "(movement)\n" + QByteArray("S ").repeated(3000) + "\n</persons>\n";
    return text;
}

struct TPoint2 {
    double X, Y;
};
constexpr TPoint2 kPersonA{-4.5, -0.5};
constexpr TPoint2 kPersonB{4.5, -0.5};
constexpr TPoint2 kPersonC{0.5, 4.5};
constexpr TPoint2 kPersonD{0.5, -5.5};
constexpr double kGlyphTop = 6.0;

// A view showing a loaded project, the way the main window hands it over.
struct TFixture {
    TRecordingMessages Messages;
    orlex::TNullProgress Progress;
    orlex::TLogFile1 Project{"Deck"};
    orlex::TCellView3D View;

    bool Load(const QString& path) {
        View.SetMessages(&Messages);
        if (!ShowAndWait(View)) return false;
        orlex::TNullMessages quiet;
        if (!Project.LoadFromFile(path.toStdString(), Progress, quiet)) return false;
        View.InitView(Project.XMax, Project.YMax, Project.DeckCount(), Project.PersonCount());
        View.SetDecks(Project.DeckData());
        View.SetPersons(Project.PersonData());
        View.SetCurrentDeck(0);
        return true;
    }
    // Camera straight above scene point (x, y) at distance d.
    void LookDownAt(double x, double y, double d) {
        View.PanX = -x;
        View.PanY = -y;
        View.SetDistance(d);
    }
    QImage Frame() { return View.grabFramebuffer(); }
};

}  // namespace viewtest
