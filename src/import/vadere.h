// Vadere: the footsteps of postvis.traj, and the geometry of a .scenario file.
#pragma once

#include <string>
#include <string_view>

#include "geometry.h"
#include "trajectories.h"

namespace orlex::import {

// Frames of Vadere's times: its footsteps come at any time, so they are put on a
// grid of this many frames a second (finer than any step rate).
inline constexpr double kVadereFps = 100;

// postvis.traj: an optional "#IDXCOL=..." line, then a header such as
// "pedestrianId simTime endTime-PID1 startX-PID1 startY-PID1 endX-PID1 endY-PID1
// targetId-PID2" (names matched before the "-"; "x y" rows of positions are read
// too), then rows in any order, seconds and metres. Throws TImportError naming the
// line.
TTrajectorySet ParseVadereText(std::string_view text, const std::string& name);
TTrajectorySet ReadVadereFile(const std::string& path);
// Whether the text starts like postvis.traj.
bool LooksLikeVadere(std::string_view head);

// The scenario's topography: the bounds (less the bounding box's walls) walkable,
// obstacles (RECTANGLE, POLYGON, CIRCLE) taken out, targets as exits, sources.
// Throws TImportError for broken JSON or a missing topography.
TGeometry ParseVadereScenario(std::string_view text, const std::string& name);
TGeometry ReadVadereScenario(const std::string& path);

}  // namespace orlex::import
