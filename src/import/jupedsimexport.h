// Writes a project's run as a JuPedSim SQLite file (output version 2), for
// JuPedSim's and PedPy's users.
#pragma once

#include <string>

namespace orlex {
class TLogFile1;
}

namespace orlex::import {

struct TJuPedSimExportOptions {
    double CellSize = 0.4;  // used when the project does not remember its own
    int Deck = 0;           // the deck written: its floor and the persons on it
};

// The walkable area of one deck as WKT: its floor cells (white and coloured)
// merged into polygons, raised blocks and void inside them as holes. Throws
// TImportError when the deck has no floor.
std::string WalkableWktOfDeck(const TLogFile1& project, const TJuPedSimExportOptions& options);

// Writes the database at path (which must not exist): metadata version 2 and fps
// (the project's steps a second), the walkable area as one geometry row, one
// frame_data row a frame, and a trajectory row for every person and step spent on
// the deck, orientation from its last move. Throws TImportError.
void WriteJuPedSim(const TLogFile1& project, const std::string& path,
                   const TJuPedSimExportOptions& options);

}  // namespace orlex::import
