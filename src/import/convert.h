// One import: the format found or given, the reader, the geometry and the cells.
#pragma once

#include <optional>
#include <string>

#include "cells.h"
#include "petrack.h"

namespace orlex::import {

enum class TFormat { Auto, PeTrack, JuPedSim, Pathfinder, Vadere, Crowdit };

struct TImportOptions {
    TFormat Format = TFormat::Auto;
    std::string GeometryPath;  // WKT text or a 3D log file; empty for none
    std::optional<double> CellSize;
    int StepRate = 0;  // 0 chooses it
    TTextOptions Text;
    // Decks from the persons' z values (floors where they cluster).
    bool FloorsFromZ = false;
    TCellOptions Cells;  // limits; CellSize and StepRate are set from the above
};

// The format of a name as --format gives it; Auto for "auto", nullopt for none.
std::optional<TFormat> FormatOfName(const std::string& name);
// The format of a file by its first bytes; Auto when it is none of those read.
TFormat SniffFormat(const std::string& path);
// "petrack", "jupedsim", "pathfinder", "vadere", "crowdit".
const char* FormatName(TFormat format);

// Reads path and turns it into cells. Throws TImportError.
TConversion ImportFile(const std::string& path, const TImportOptions& options);

}  // namespace orlex::import
