// crowd:it's floors: walls as lists of points, read through pugixml.
#include <cmath>
#include <cstdio>
#include <pugixml.hpp>

#include "crowdit.h"
#include "csvrow.h"
#include "xmlload.h"

namespace orlex::import {

TGeometry ParseCrowditFloor(std::string_view text, const std::string& name) {
    pugi::xml_document doc;
    LoadXml(doc, text, name);
    TGeometry geometry;
    int skipped = 0;
    for (const pugi::xpath_node& found : doc.select_nodes("//*")) {
        const pugi::xml_node wall = found.node();
        if (CsvLower(wall.name()) != "wall") continue;
        std::string wkt = "LINESTRING(";
        int points = 0;
        for (const pugi::xml_node point : wall.children()) {
            const pugi::xml_attribute x = point.attribute("x"), y = point.attribute("y");
            if (!x || !y) continue;
            double px, py;
            if (!CsvNumber(x.value(), px) || !CsvNumber(y.value(), py) || std::abs(px) > 1e7 ||
                std::abs(py) > 1e7)
                throw TImportError(name + ": a point of a wall is not a pair of numbers (\"" +
                                   std::string(x.value()) + "\", \"" + y.value() + "\")");
            char number[80];
            std::snprintf(number, sizeof number, "%s%.9g %.9g", points ? ", " : "", px, py);
            wkt += number;
            ++points;
        }
        if (points < 2) {
            ++skipped;
            continue;
        }
        geometry.Walls.push_back(wkt + ")");
    }
    if (geometry.Walls.empty())
        throw TImportError(name + ": no walls (elements \"wall\" with points x, y)");
    if (skipped > 0)
        geometry.Warnings.push_back(name + ": " + std::to_string(skipped) +
                                    " walls of fewer than two points are left out");
    return geometry;
}

}  // namespace orlex::import
