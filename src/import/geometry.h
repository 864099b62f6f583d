// Geometry files given with --geometry or beside the trajectories, as WKT polygons:
// the walkable area, the obstacles in it, and the exits and sources drawn coloured.
#pragma once

#include <string>
#include <vector>

namespace orlex::import {

struct TCellPlan;

struct TGeometry {
    std::vector<std::string> Walkable;   // their union
    std::vector<std::string> Obstacles;  // taken out of it, raised blocks
    std::vector<std::string> Exits;      // targets, exits: light green floor
    std::vector<std::string> Sources;    // where persons appear: light blue floor
    // Wall lines (WKT line strings): raised blocks where they run; the rooms they
    // close are walkable where no Walkable is given.
    std::vector<std::string> Walls;
    std::vector<std::string> ExitLines;  // doors to the outside: light green floor
    std::vector<std::string> Warnings;   // what was left out
};

// A WKT text file, a Vadere scenario (JSON), JuPedSim's geometry XML or a crowd:it
// floor (XML). Throws TImportError.
TGeometry ReadGeometryFile(const std::string& path);

// The walls on the plan, then the floor cells whose centre lies in an exit (light green) or a
// source (light blue), on every deck. Throws TImportError for broken WKT.
void ColourCells(TCellPlan& plan, const TGeometry& geometry, const std::string& source);

// A rectangle as WKT.
std::string RectangleWkt(double x, double y, double width, double height);

}  // namespace orlex::import
