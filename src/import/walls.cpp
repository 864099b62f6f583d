#include "walls.h"

#include <geos_c.h>

#include "cells.h"
#include "geometry.h"

namespace orlex::import {

namespace {

void OnError(const char* message, void* userdata) {
    static_cast<std::string*>(userdata)->assign(message ? message : "");
}

// A GEOS context with the union of the wall lines.
class TWallLines {
public:
    TWallLines(const std::vector<std::string>& walls, const std::string& source) {
        H_ = GEOS_init_r();
        if (!H_) throw TImportError(source + ": the geometry library cannot start");
        GEOSContext_setErrorMessageHandler_r(H_, OnError, &Error_);
        GEOSContext_setNoticeMessageHandler_r(H_, nullptr, nullptr);
        if (walls.empty()) throw TImportError(source + ": no walls");
        std::vector<GEOSGeometry*> lines;
        GEOSWKTReader* reader = GEOSWKTReader_create_r(H_);
        for (const std::string& wkt : walls) {
            GEOSGeometry* g = GEOSWKTReader_read_r(H_, reader, wkt.c_str());
            if (!g) {
                for (GEOSGeometry* l : lines) GEOSGeom_destroy_r(H_, l);
                GEOSWKTReader_destroy_r(H_, reader);
                throw TImportError(source + ": a wall cannot be read (" + Error_ + ")");
            }
            lines.push_back(g);
        }
        GEOSWKTReader_destroy_r(H_, reader);
        GEOSGeometry* all = GEOSGeom_createCollection_r(H_, GEOS_GEOMETRYCOLLECTION, lines.data(),
                                                        static_cast<unsigned>(lines.size()));
        if (!all) {
            for (GEOSGeometry* l : lines) GEOSGeom_destroy_r(H_, l);
            throw TImportError(source + ": the walls cannot be joined");
        }
        Union_ = GEOSUnaryUnion_r(H_, all);  // noded where walls cross
        GEOSGeom_destroy_r(H_, all);
        if (!Union_) throw TImportError(source + ": the walls cannot be joined (" + Error_ + ")");
    }
    ~TWallLines() {
        if (Union_) GEOSGeom_destroy_r(H_, Union_);
        if (H_) GEOS_finish_r(H_);
    }
    TWallLines(const TWallLines&) = delete;
    TWallLines& operator=(const TWallLines&) = delete;

    GEOSContextHandle_t H() const { return H_; }
    const GEOSGeometry* Union() const { return Union_; }

private:
    GEOSContextHandle_t H_ = nullptr;
    GEOSGeometry* Union_ = nullptr;
    std::string Error_;
};

}  // namespace

std::vector<std::string> RoomsOfWalls(const std::vector<std::string>& walls,
                                      const std::string& source) {
    const TWallLines lines(walls, source);
    GEOSContextHandle_t h = lines.H();
    std::vector<std::string> rooms;
    const GEOSGeometry* input[1] = {lines.Union()};
    GEOSGeometry* polygons = GEOSPolygonize_r(h, input, 1);
    if (polygons && GEOSisEmpty_r(h, polygons) == 0) {
        GEOSWKTWriter* writer = GEOSWKTWriter_create_r(h);
        char* text = GEOSWKTWriter_write_r(h, writer, polygons);
        if (text) {
            rooms.emplace_back(text);
            GEOSFree_r(h, text);
        }
        GEOSWKTWriter_destroy_r(h, writer);
    }
    if (polygons) GEOSGeom_destroy_r(h, polygons);
    if (rooms.empty()) {
        double minX = 0, minY = 0, maxX = 0, maxY = 0;
        GEOSGeom_getXMin_r(h, lines.Union(), &minX);
        GEOSGeom_getYMin_r(h, lines.Union(), &minY);
        GEOSGeom_getXMax_r(h, lines.Union(), &maxX);
        GEOSGeom_getYMax_r(h, lines.Union(), &maxY);
        if (!(maxX > minX && maxY > minY))
            throw TImportError(source + ": the walls enclose no area");
        rooms.push_back(RectangleWkt(minX, minY, maxX - minX, maxY - minY));
    }
    return rooms;
}

void PaintLines(TCellPlan& plan, const std::vector<std::string>& walls, const std::string& source,
                char letter, bool floorOnly) {
    if (walls.empty()) return;
    const TWallLines lines(walls, source);
    GEOSContextHandle_t h = lines.H();
    const GEOSPreparedGeometry* prepared = GEOSPrepare_r(h, lines.Union());
    if (!prepared) throw TImportError(source + ": the walls cannot be prepared");
    // A wall along a cell border blocks the cells on both sides: no gap to pass.
    const double reach = plan.CellSize * (0.5 + 1e-9);
    for (int r = 0; r < plan.Rows; ++r)
        for (int c = 0; c < plan.Columns; ++c) {
            GEOSGeometry* point = GEOSGeom_createPointFromXY_r(h, plan.CentreX(c), plan.CentreY(r));
            if (!point) continue;
            const bool near = GEOSPreparedDistanceWithin_r(h, prepared, point, reach) == 1;
            GEOSGeom_destroy_r(h, point);
            if (!near) continue;
            for (TPlanDeck& deck : plan.Decks) {
                char& cell = deck.Cells[static_cast<std::size_t>(r) * plan.Columns + c];
                if (!floorOnly || cell == '0') cell = letter;
            }
        }
    GEOSPreparedGeom_destroy_r(h, prepared);
}

}  // namespace orlex::import
