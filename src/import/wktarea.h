// The walkable area of WKT polygons (with holes), the union of all given, through
// GEOS.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cells.h"

namespace orlex::import {

class TWktArea final : public IWalkableArea {
public:
    // The union of wkt less the union of obstacles (which stay enclosed, as raised
    // blocks). Throws TImportError naming source for broken or non-polygonal WKT, or
    // an empty area.
    TWktArea(const std::vector<std::string>& wkt, const std::string& source,
             const std::vector<std::string>& obstacles = {});
    ~TWktArea() override;
    TWktArea(const TWktArea&) = delete;
    TWktArea& operator=(const TWktArea&) = delete;

    void Bounds(double& minX, double& minY, double& maxX, double& maxY) const override;
    bool Walkable(double x, double y) const override;
    bool Enclosed(double x, double y) const override;

private:
    struct TState;
    std::unique_ptr<TState> S_;
};

// The WKT of a text file: the whole file is one WKT geometry (polygon, multipolygon
// or a collection of them), or one geometry a line. Throws TImportError.
std::vector<std::string> ReadWktFile(const std::string& path);

}  // namespace orlex::import
