#include "petrackexport.h"

#include <cstdio>

#include "logfile.h"
#include "positions.h"

namespace orlex::import {

void WritePeTrack(const TLogFile1& project, std::ostream& out, const TExportOptions& options) {
    const TGridMetres grid = GridMetresOf(project, options.CellSize);
    out << "# framerate: " << project.VMax << " fps\n";
    out << "# cell size " << grid.CellSize << " m, deck height " << options.DeckHeight << " m\n";
    out << "# id frame x/m y/m z/m\n";
    char line[128];
    ForEachPosition(project, grid, [&](const TPosition& at) {
        const int n = std::snprintf(line, sizeof line, "%lld %lld %.4f %.4f %.4f\n", at.Id,
                                    static_cast<long long>(at.Step), at.X, at.Y,
                                    at.Level * options.DeckHeight);
        out.write(line, n);
    });
}

}  // namespace orlex::import
