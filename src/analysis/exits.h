// Exits found where saved persons' tracks end, and when each deck is clear.
#pragma once

#include <string>
#include <vector>

#include "measure.h"
#include "measurement.h"
#include "result.h"

namespace orlex::analysis {

// Groups the track ends (sorted by deck, row, column) into exits of 8-neighbouring
// cells per deck, named with the decks' captions (by deck; "Deck z" for none), with
// their widths in frame and their flows in a sliding window of window seconds.
std::vector<TExitResult> MakeExits(const std::vector<TExitEnd>& ends, const TMetreFrame& frame,
                                   const std::vector<std::string>& captions, double window);

// The width of a group of cells across direction (column, row steps; any length):
// the extent of the cell centres on the perpendicular, plus one cell, in metres. With
// no direction, the larger of the extents along the two axes.
double ExitWidth(const std::vector<TCellPlace>& cells, double column, double row, double cellSize);

// Per deck, the last step counter at which the occupancy curve is above 0; -1 for
// a deck that never holds a person.
std::vector<int64_t> LastOccupiedSteps(const std::vector<TStepCurve>& occupancy);

}  // namespace orlex::analysis
