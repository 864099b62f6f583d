// Writes a project's runs as PeTrack/PedPy text, for the field's analysis tools.
#pragma once

#include <ostream>

namespace orlex {
class TLogFile1;
}

namespace orlex::import {

struct TExportOptions {
    double CellSize = 0.4;    // used when the project does not remember its own
    double DeckHeight = 3.0;  // z of a person is its level times this
};

// Rows "id frame x y z" in metres, one frame a step (the frame rate is the project's
// steps a second), from each person's entry step to the end of its track. The ids
// are the persons' tags when they are unique, else their numbers from 1.
void WritePeTrack(const TLogFile1& project, std::ostream& out, const TExportOptions& options);

}  // namespace orlex::import
