#include "geometry.h"

#include <cctype>
#include <cstdio>
#include <fstream>

#include "cells.h"
#include "crowdit.h"
#include "jpsgeometry.h"
#include "mappedfile.h"
#include "osfile.h"
#include "vadere.h"
#include "walls.h"
#include "wktarea.h"

namespace orlex::import {

namespace {

// The first character of the file that is not blank.
char FirstCharacter(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) throw TImportError(path + ": cannot open the file");
    char c = 0;
    while (in.get(c))
        if (!std::isspace(static_cast<unsigned char>(c)) && c != '\xEF' && c != '\xBB' &&
            c != '\xBF')
            return c;
    return 0;
}

void Paint(TCellPlan& plan, const std::vector<std::string>& wkt, const std::string& source,
           char letter) {
    if (wkt.empty()) return;
    const TWktArea area(wkt, source);
    for (TPlanDeck& deck : plan.Decks)
        for (int r = 0; r < plan.Rows; ++r)
            for (int c = 0; c < plan.Columns; ++c) {
                char& cell = deck.Cells[static_cast<std::size_t>(r) * plan.Columns + c];
                if (cell == '0' && area.Walkable(plan.CentreX(c), plan.CentreY(r))) cell = letter;
            }
}

}  // namespace

TGeometry ReadGeometryFile(const std::string& path) {
    const char first = FirstCharacter(path);
    if (first == '{') return ReadVadereScenario(path);
    if (first == '<') {
        const TMappedFile file(path);
        if (IsJuPedSimGeometry(file.View())) return ParseJuPedSimGeometry(file.View(), path);
        TGeometry geometry = ParseCrowditFloor(file.View(), path);
        geometry.Walkable = RoomsOfWalls(geometry.Walls, path);
        return geometry;
    }
    TGeometry geometry;
    geometry.Walkable = ReadWktFile(path);
    return geometry;
}

void ColourCells(TCellPlan& plan, const TGeometry& geometry, const std::string& source) {
    PaintLines(plan, geometry.Walls, source, '1', false);
    PaintLines(plan, geometry.ExitLines, source, '4', true);
    Paint(plan, geometry.Exits, source, '4');
    Paint(plan, geometry.Sources, source, '2');
}

std::string RectangleWkt(double x, double y, double width, double height) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "POLYGON((%.9g %.9g, %.9g %.9g, %.9g %.9g, %.9g %.9g, %.9g %.9g))", x, y,
                  x + width, y, x + width, y + height, x, y + height, x, y);
    return text;
}

}  // namespace orlex::import
