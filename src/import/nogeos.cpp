// Walkable areas of polygons in a build without GEOS: geometry files are refused;
// projects without one convert as usual.
#include "unavailable.h"
#include "walls.h"
#include "wktarea.h"

namespace orlex::import {

struct TWktArea::TState {};

TWktArea::TWktArea(const std::vector<std::string>&, const std::string& source,
                   const std::vector<std::string>&) {
    NotInThisBuild(source, "walkable areas of polygons", "GEOS");
}

TWktArea::~TWktArea() = default;

void TWktArea::Bounds(double& minX, double& minY, double& maxX, double& maxY) const {
    minX = minY = maxX = maxY = 0;
}

bool TWktArea::Walkable(double, double) const {
    return false;
}

bool TWktArea::Enclosed(double, double) const {
    return false;
}

std::vector<std::string> ReadWktFile(const std::string& path) {
    NotInThisBuild(path, "WKT geometry files", "GEOS");
}

std::vector<std::string> RoomsOfWalls(const std::vector<std::string>&, const std::string& source) {
    NotInThisBuild(source, "rooms closed by walls", "GEOS");
}

void PaintLines(TCellPlan&, const std::vector<std::string>& lines, const std::string& source, char,
                bool) {
    if (!lines.empty()) NotInThisBuild(source, "walls and exits given as lines", "GEOS");
}

}  // namespace orlex::import
