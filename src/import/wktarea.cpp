#include "wktarea.h"

#include <geos_c.h>

#include <cctype>
#include <fstream>
#include <sstream>

#include "osfile.h"

namespace orlex::import {

struct TWktArea::TState {
    GEOSContextHandle_t H = nullptr;
    GEOSGeometry* Area = nullptr;
    GEOSGeometry* Shells = nullptr;
    const GEOSPreparedGeometry* PreparedArea = nullptr;
    const GEOSPreparedGeometry* PreparedShells = nullptr;
    std::string LastError;

    ~TState() {
        if (PreparedArea) GEOSPreparedGeom_destroy_r(H, PreparedArea);
        if (PreparedShells) GEOSPreparedGeom_destroy_r(H, PreparedShells);
        if (Area) GEOSGeom_destroy_r(H, Area);
        if (Shells) GEOSGeom_destroy_r(H, Shells);
        if (H) GEOS_finish_r(H);
    }

    bool Contains(const GEOSPreparedGeometry* g, double x, double y) const {
        GEOSGeometry* point = GEOSGeom_createPointFromXY_r(H, x, y);
        if (!point) return false;
        const char inside = GEOSPreparedContains_r(H, g, point);
        GEOSGeom_destroy_r(H, point);
        return inside == 1;
    }
};

namespace {

void OnError(const char* message, void* userdata) {
    static_cast<std::string*>(userdata)->assign(message ? message : "");
}

bool IsPolygonal(GEOSContextHandle_t h, const GEOSGeometry* g) {
    const int type = GEOSGeomTypeId_r(h, g);
    if (type == GEOS_POLYGON || type == GEOS_MULTIPOLYGON) return true;
    if (type != GEOS_GEOMETRYCOLLECTION) return false;
    const int n = GEOSGetNumGeometries_r(h, g);
    for (int i = 0; i < n; ++i)
        if (!IsPolygonal(h, GEOSGetGeometryN_r(h, g, i))) return false;
    return true;
}

// The polygons of g with their holes filled, appended to out.
void AddShells(GEOSContextHandle_t h, const GEOSGeometry* g, std::vector<GEOSGeometry*>& out) {
    const int type = GEOSGeomTypeId_r(h, g);
    if (type == GEOS_POLYGON) {
        const GEOSGeometry* ring = GEOSGetExteriorRing_r(h, g);
        if (!ring) return;
        GEOSGeometry* shell = GEOSGeom_clone_r(h, ring);
        if (!shell) return;
        GEOSGeometry* polygon = GEOSGeom_createPolygon_r(h, shell, nullptr, 0);
        if (polygon) out.push_back(polygon);
        return;
    }
    // Lines and points (left by repairing a polygon) enclose nothing.
    if (type != GEOS_MULTIPOLYGON && type != GEOS_GEOMETRYCOLLECTION) return;
    const int n = GEOSGetNumGeometries_r(h, g);
    for (int i = 0; i < n; ++i) AddShells(h, GEOSGetGeometryN_r(h, g, i), out);
}

}  // namespace

namespace {

// Every WKT read and checked (repaired where invalid); what names the list in
// messages. Throws TImportError, leaving nothing allocated.
std::vector<GEOSGeometry*> ReadParts(GEOSContextHandle_t h, std::string& lastError,
                                     const std::vector<std::string>& wkt, const std::string& source,
                                     const char* what) {
    std::vector<GEOSGeometry*> parts;
    GEOSWKTReader* reader = GEOSWKTReader_create_r(h);
    for (std::size_t i = 0; i < wkt.size(); ++i) {
        lastError.clear();
        GEOSGeometry* g = GEOSWKTReader_read_r(h, reader, wkt[i].c_str());
        std::string problem;
        if (!g) {
            problem = "broken WKT (" + lastError + ")";
        } else if (!IsPolygonal(h, g)) {
            problem = "the WKT is not a polygon or multipolygon";
        } else if (GEOSisValid_r(h, g) != 1) {
            GEOSGeometry* valid = GEOSMakeValid_r(h, g);
            GEOSGeom_destroy_r(h, g);
            g = valid;
            if (!g) problem = "the polygon is invalid and cannot be repaired";
        }
        if (!problem.empty()) {
            if (g) GEOSGeom_destroy_r(h, g);
            GEOSWKTReader_destroy_r(h, reader);
            for (GEOSGeometry* part : parts) GEOSGeom_destroy_r(h, part);
            const std::string where = wkt.size() > 1
                                          ? ", " + std::string(what) + " " + std::to_string(i + 1)
                                          : std::string();
            throw TImportError(source + where + ": " + problem);
        }
        parts.push_back(g);
    }
    GEOSWKTReader_destroy_r(h, reader);
    return parts;
}

// The union of parts, which it takes over; null on failure.
GEOSGeometry* UnionOf(GEOSContextHandle_t h, std::vector<GEOSGeometry*>& parts) {
    GEOSGeometry* all = GEOSGeom_createCollection_r(h, GEOS_GEOMETRYCOLLECTION, parts.data(),
                                                    static_cast<unsigned>(parts.size()));
    if (!all) {
        for (GEOSGeometry* g : parts) GEOSGeom_destroy_r(h, g);
        parts.clear();
        return nullptr;
    }
    parts.clear();  // owned by the collection now
    GEOSGeometry* joined = GEOSUnaryUnion_r(h, all);
    GEOSGeom_destroy_r(h, all);
    return joined;
}

}  // namespace

TWktArea::TWktArea(const std::vector<std::string>& wkt, const std::string& source,
                   const std::vector<std::string>& obstacles)
    : S_(std::make_unique<TState>()) {
    TState& s = *S_;
    s.H = GEOS_init_r();
    if (!s.H) throw TImportError(source + ": the geometry library cannot start");
    GEOSContext_setErrorMessageHandler_r(s.H, OnError, &s.LastError);
    GEOSContext_setNoticeMessageHandler_r(s.H, nullptr, nullptr);
    if (wkt.empty()) throw TImportError(source + ": the geometry is empty");

    std::vector<GEOSGeometry*> parts = ReadParts(s.H, s.LastError, wkt, source, "geometry");
    std::vector<GEOSGeometry*> shells;
    for (GEOSGeometry* g : parts) AddShells(s.H, g, shells);
    s.Area = UnionOf(s.H, parts);
    s.Shells = UnionOf(s.H, shells);
    if (!s.Area || !s.Shells)
        throw TImportError(source + ": the polygons cannot be joined (" + s.LastError + ")");
    if (!obstacles.empty()) {
        std::vector<GEOSGeometry*> blocks =
            ReadParts(s.H, s.LastError, obstacles, source, "obstacle");
        GEOSGeometry* blocked = UnionOf(s.H, blocks);
        GEOSGeometry* rest = blocked ? GEOSDifference_r(s.H, s.Area, blocked) : nullptr;
        if (blocked) GEOSGeom_destroy_r(s.H, blocked);
        if (!rest)
            throw TImportError(source + ": the obstacles cannot be taken out (" + s.LastError +
                               ")");
        GEOSGeom_destroy_r(s.H, s.Area);
        s.Area = rest;
    }
    double area = 0;
    if (GEOSisEmpty_r(s.H, s.Area) != 0 || GEOSArea_r(s.H, s.Area, &area) != 1 || !(area > 0))
        throw TImportError(source + ": the walkable area is empty");
    s.PreparedArea = GEOSPrepare_r(s.H, s.Area);
    s.PreparedShells = GEOSPrepare_r(s.H, s.Shells);
    if (!s.PreparedArea || !s.PreparedShells)
        throw TImportError(source + ": the geometry cannot be prepared");
}

TWktArea::~TWktArea() = default;

void TWktArea::Bounds(double& minX, double& minY, double& maxX, double& maxY) const {
    GEOSGeom_getXMin_r(S_->H, S_->Area, &minX);
    GEOSGeom_getYMin_r(S_->H, S_->Area, &minY);
    GEOSGeom_getXMax_r(S_->H, S_->Area, &maxX);
    GEOSGeom_getYMax_r(S_->H, S_->Area, &maxY);
}

bool TWktArea::Walkable(double x, double y) const {
    return S_->Contains(S_->PreparedArea, x, y);
}

bool TWktArea::Enclosed(double x, double y) const {
    return S_->Contains(S_->PreparedShells, x, y);
}

std::vector<std::string> ReadWktFile(const std::string& path) {
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) throw TImportError(path + ": cannot open the file");
    std::ostringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    if (all.size() > (std::size_t{256} << 20)) throw TImportError(path + ": the file is too large");
    // One geometry per non-empty line when every line starts a geometry, else the whole.
    std::vector<std::string> lines;
    std::istringstream split(all);
    bool perLine = true;
    for (std::string line; std::getline(split, line);) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos) continue;
        if (!std::isalpha(static_cast<unsigned char>(line[first]))) perLine = false;
        lines.push_back(line);
    }
    if (lines.empty()) throw TImportError(path + ": the file holds no geometry");
    if (perLine) return lines;
    return {all};
}

}  // namespace orlex::import
