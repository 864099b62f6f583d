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

// Cells whose centre lies within half a cell of a wall (the cells it runs through)
// become raised blocks, on every deck. Throws TImportError naming source.
void PaintWalls(TCellPlan& plan, const std::vector<std::string>& walls, const std::string& source);

}  // namespace orlex::import
