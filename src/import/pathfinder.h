// Pathfinder's occupant CSV: a quoted header row ("t","id",...,"x","y","z",...), a
// row of units, then one row per occupant and time.
#pragma once

#include <string>
#include <string_view>

#include "trajectories.h"

namespace orlex::import {

// Reads text already in memory; name is used in messages. The columns t, id, x,
// y and z are found by name; the others (names, speeds, distances...) are left
// out. Throws TImportError naming the row.
TTrajectorySet ParsePathfinderText(std::string_view text, const std::string& name);
TTrajectorySet ReadPathfinderFile(const std::string& path);

// Whether the text starts with Pathfinder's quoted header row.
bool LooksLikePathfinder(std::string_view head);

}  // namespace orlex::import
