// Measurement lines and areas that an analyst places on a deck, in metres, and the
// metre frame of a project's cells that places persons among them.
#pragma once

#include <string>
#include <vector>

#include "logfile.h"

namespace orlex {

// A point in metres: x east, y north.
struct TMetrePoint {
    double X = 0;
    double Y = 0;
    bool operator==(const TMetrePoint&) const = default;
};

// Counts the persons crossing the segment From-To on deck Deck (0-based).
struct TMeasureLine {
    std::string Name;
    int Deck = 0;
    TMetrePoint From;
    TMetrePoint To;
    bool operator==(const TMeasureLine&) const = default;
};

// Density and speed inside a simple polygon (a rectangle is four corners) on a deck.
struct TMeasureArea {
    std::string Name;
    int Deck = 0;
    std::vector<TMetrePoint> Polygon;
    bool operator==(const TMeasureArea&) const = default;
};

// The measurements of one project, as its FILE.measure.json holds them.
struct TMeasureSet {
    std::vector<TMeasureLine> Lines;
    std::vector<TMeasureArea> Areas;
    bool Empty() const { return Lines.empty() && Areas.empty(); }
    bool operator==(const TMeasureSet&) const = default;
};

// Where the cells of a project lie in metres: cell centres, x east, y north, with
// the origin at the deck's south-west corner (the outer corner of row Rows - 1,
// column 0), or at the source's own origin for imported projects.
struct TMetreFrame {
    double OriginX = 0;
    double OriginY = 0;
    double CellSize = 0.4;
    int Columns = 0;
    int Rows = 0;

    double X(double column) const { return OriginX + (column + 0.5) * CellSize; }
    double Y(double row) const { return OriginY + (Rows - row - 0.5) * CellSize; }
    // The cell holding a point (may lie outside the grid).
    double Column(double x) const { return (x - OriginX) / CellSize - 0.5; }
    double Row(double y) const { return Rows - 0.5 - (y - OriginY) / CellSize; }
};

// The frame of project at cellSize, the cell size in effect (see CellSizeInEffect):
// the source's origin when the project was imported, else 0, 0.
inline TMetreFrame MetreFrameOf(const TLogFile1& project, double cellSize) {
    TMetreFrame f;
    f.CellSize = cellSize > 0 ? cellSize : 0.4;
    f.Columns = project.XMax > 0 ? project.XMax : 0;
    f.Rows = project.YMax > 0 ? project.YMax : 0;
    if (project.Source.Known) {
        f.OriginX = project.Source.OriginX;
        f.OriginY = project.Source.OriginY;
    }
    return f;
}

}  // namespace orlex
