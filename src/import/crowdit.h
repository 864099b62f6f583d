// crowd:it: trajectories as CSV "time,pedID,posX,posY" (plain or gzip), and its
// .floor XML whose walls are lists of points.
#pragma once

#include <string>
#include <string_view>

#include "geometry.h"
#include "trajectories.h"

namespace orlex::import {

// Rows by the header's names (time in seconds, positions in metres; further columns
// left out), in any order. Throws TImportError naming the row.
TTrajectorySet ParseCrowditText(std::string_view text, const std::string& name);
// A file, unpacked first where it is gzip.
TTrajectorySet ReadCrowditFile(const std::string& path);
// Whether text (unpacked) starts with crowd:it's header.
bool LooksLikeCrowdit(std::string_view head);

// The walls of a floor: every element "wall" (any case) with child elements that
// carry "x" and "y" attributes, as WKT line strings. Throws TImportError naming
// the line for broken XML.
TGeometry ParseCrowditFloor(std::string_view text, const std::string& name);

}  // namespace orlex::import
