// JuPedSim's SQLite trajectory files, output versions 1, 2 and 3.
#pragma once

#include <string>

#include "trajectories.h"

namespace orlex::import {

// Reads trajectory_data (frame, id, pos_x, pos_y; the orientation is left out),
// metadata (version, fps) and the geometry rows as WKT. Throws TImportError.
TTrajectorySet ReadJuPedSimFile(const std::string& path);

// Whether data starts like an SQLite database.
bool LooksLikeSqlite(const char* data, std::size_t size);

}  // namespace orlex::import
