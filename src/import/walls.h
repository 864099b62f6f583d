// Walls given as lines (crowd:it's floors): the rooms they enclose, and the cells
// they run through.
#pragma once

#include <string>
#include <vector>

namespace orlex::import {

struct TCellPlan;

// The polygons the wall lines (WKT line strings) close, as WKT; where they close
// none, the rectangle around them. Throws TImportError naming source.
std::vector<std::string> RoomsOfWalls(const std::vector<std::string>& walls,
                                      const std::string& source);

// Cells whose centre lies within half a cell of a line (the cells it runs through)
// get letter, on every deck: all of them, or (floorOnly) the floor cells. Walls
// are raised blocks ('1'), exits light green floor ('4'). Throws TImportError
// naming source.
void PaintLines(TCellPlan& plan, const std::vector<std::string>& lines, const std::string& source,
                char letter, bool floorOnly);

}  // namespace orlex::import
