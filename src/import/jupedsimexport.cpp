#include "jupedsimexport.h"

#include <geos_c.h>
#include <sqlite3.h>

#include <cmath>
#include <vector>

#include "logfile.h"
#include "positions.h"
#include "trajectories.h"

namespace orlex::import {

namespace {

bool IsFloor(int code) {
    return code == 0 || code == 64 || code == 32 || code == 8 || code == 16;
}

void OnError(const char* message, void* userdata) {
    static_cast<std::string*>(userdata)->assign(message ? message : "");
}

GEOSGeometry* Rectangle(GEOSContextHandle_t h, double x0, double y0, double x1, double y1) {
    GEOSCoordSequence* ring = GEOSCoordSeq_create_r(h, 5, 2);
    if (!ring) return nullptr;
    const double xs[5] = {x0, x1, x1, x0, x0}, ys[5] = {y0, y0, y1, y1, y0};
    for (unsigned k = 0; k < 5; ++k) GEOSCoordSeq_setXY_r(h, ring, k, xs[k], ys[k]);
    GEOSGeometry* shell = GEOSGeom_createLinearRing_r(h, ring);
    return shell ? GEOSGeom_createPolygon_r(h, shell, nullptr, 0) : nullptr;
}

class TSqlite {
public:
    explicit TSqlite(const std::string& path) : Path_(path) {
        if (sqlite3_open_v2(path.c_str(), &Db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK)
            Fail("cannot be written");
    }
    ~TSqlite() { sqlite3_close(Db_); }
    TSqlite(const TSqlite&) = delete;
    TSqlite& operator=(const TSqlite&) = delete;
    [[noreturn]] void Fail(const std::string& what) const {
        throw TImportError(Path_ + ": " + what + " (" +
                           (Db_ ? sqlite3_errmsg(Db_) : "out of memory") + ")");
    }
    void Exec(const char* sql) {
        if (sqlite3_exec(Db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            Fail("cannot be written");
    }
    sqlite3_stmt* Prepare(const char* sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(Db_, sql, -1, &st, nullptr) != SQLITE_OK) Fail("cannot be written");
        return st;
    }
    void Step(sqlite3_stmt* st) {
        if (sqlite3_step(st) != SQLITE_DONE) {
            sqlite3_finalize(st);
            Fail("cannot be written");
        }
        sqlite3_reset(st);
    }

private:
    std::string Path_;
    sqlite3* Db_ = nullptr;
};

}  // namespace

std::string WalkableWktOfDeck(const TLogFile1& project, const TJuPedSimExportOptions& options) {
    const TGridMetres grid = GridMetresOf(project, options.CellSize);
    const TDeck& deck = project.Decks[static_cast<std::size_t>(options.Deck)];
    std::string error;
    GEOSContextHandle_t h = GEOS_init_r();
    if (!h) throw TImportError(project.FileName + ": the geometry library cannot start");
    GEOSContext_setErrorMessageHandler_r(h, OnError, &error);
    // The runs of floor of every row, one rectangle each, then their union.
    std::vector<GEOSGeometry*> runs;
    const int columns = project.XMax, rows = project.YMax;
    for (int r = 0; r < rows; ++r) {
        const double y0 = grid.OriginY + (rows - r - 1) * grid.CellSize;
        for (int c = 0; c < columns;) {
            if (!IsFloor(deck.Cells[static_cast<std::size_t>(r) * columns + c].Code)) {
                ++c;
                continue;
            }
            int end = c + 1;
            while (end < columns &&
                   IsFloor(deck.Cells[static_cast<std::size_t>(r) * columns + end].Code))
                ++end;
            if (GEOSGeometry* g = Rectangle(h, grid.OriginX + c * grid.CellSize, y0,
                                            grid.OriginX + end * grid.CellSize, y0 + grid.CellSize))
                runs.push_back(g);
            c = end;
        }
    }
    std::string wkt;
    if (!runs.empty()) {
        GEOSGeometry* all = GEOSGeom_createCollection_r(h, GEOS_GEOMETRYCOLLECTION, runs.data(),
                                                        static_cast<unsigned>(runs.size()));
        GEOSGeometry* joined = all ? GEOSUnaryUnion_r(h, all) : nullptr;
        if (all) GEOSGeom_destroy_r(h, all);
        if (!all)
            for (GEOSGeometry* g : runs) GEOSGeom_destroy_r(h, g);
        if (joined) {
            GEOSWKTWriter* writer = GEOSWKTWriter_create_r(h);
            GEOSWKTWriter_setTrim_r(h, writer, 1);
            GEOSWKTWriter_setRoundingPrecision_r(h, writer, 6);
            if (char* text = GEOSWKTWriter_write_r(h, writer, joined)) {
                wkt = text;
                GEOSFree_r(h, text);
            }
            GEOSWKTWriter_destroy_r(h, writer);
            GEOSGeom_destroy_r(h, joined);
        }
    }
    GEOS_finish_r(h);
    if (runs.empty())
        throw TImportError(project.FileName + ": deck " + std::to_string(options.Deck) +
                           " has no floor");
    if (wkt.empty())
        throw TImportError(project.FileName + ": the floor cannot be merged (" + error + ")");
    return wkt;
}

void WriteJuPedSim(const TLogFile1& project, const std::string& path,
                   const TJuPedSimExportOptions& options) {
    const std::string wkt = WalkableWktOfDeck(project, options);
    TSqlite db(path);
    db.Exec(
        "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;"
        "CREATE TABLE metadata(key TEXT NOT NULL UNIQUE PRIMARY KEY, value TEXT NOT NULL);"
        "CREATE TABLE trajectory_data(frame INTEGER NOT NULL, id INTEGER NOT NULL, "
        "pos_x REAL NOT NULL, pos_y REAL NOT NULL, ori_x REAL NOT NULL, ori_y REAL NOT NULL);"
        "CREATE TABLE geometry(hash INTEGER NOT NULL, wkt TEXT NOT NULL);"
        "CREATE TABLE frame_data(frame INTEGER NOT NULL, geometry_hash INTEGER NOT NULL);"
        "CREATE INDEX frame_index ON trajectory_data(frame);");
    sqlite3_stmt* meta = db.Prepare("INSERT INTO metadata VALUES(?, ?)");
    const std::string fps = std::to_string(project.VMax);
    for (const auto& [key, value] :
         {std::pair<const char*, std::string>{"version", "2"}, {"fps", fps}}) {
        sqlite3_bind_text(meta, 1, key, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(meta, 2, value.c_str(), -1, SQLITE_TRANSIENT);
        db.Step(meta);
    }
    sqlite3_finalize(meta);
    sqlite3_stmt* geometry = db.Prepare("INSERT INTO geometry VALUES(0, ?)");
    sqlite3_bind_text(geometry, 1, wkt.c_str(), -1, SQLITE_TRANSIENT);
    db.Step(geometry);
    sqlite3_finalize(geometry);

    static const double kDiagonal = std::sqrt(0.5);
    static const double kOriX[9] = {1, 0, kDiagonal, 1, kDiagonal, 0, -kDiagonal, -1, -kDiagonal};
    static const double kOriY[9] = {0, 1, kDiagonal, 0, -kDiagonal, -1, -kDiagonal, 0, kDiagonal};
    sqlite3_stmt* row = db.Prepare("INSERT INTO trajectory_data VALUES(?, ?, ?, ?, ?, ?)");
    int64_t lastFrame = -1;
    std::size_t rows = 0;
    ForEachPosition(project, GridMetresOf(project, options.CellSize), [&](const TPosition& at) {
        if (at.Level != options.Deck) return;
        sqlite3_bind_int64(row, 1, at.Step);
        sqlite3_bind_int64(row, 2, at.Id);
        sqlite3_bind_double(row, 3, at.X);
        sqlite3_bind_double(row, 4, at.Y);
        sqlite3_bind_double(row, 5, kOriX[at.Heading]);
        sqlite3_bind_double(row, 6, kOriY[at.Heading]);
        db.Step(row);
        lastFrame = std::max(lastFrame, at.Step);
        ++rows;
    });
    sqlite3_finalize(row);
    if (rows == 0)
        throw TImportError(project.FileName + ": nobody is ever on deck " +
                           std::to_string(options.Deck));
    sqlite3_stmt* frame = db.Prepare("INSERT INTO frame_data VALUES(?, 0)");
    for (int64_t f = 0; f <= lastFrame; ++f) {
        sqlite3_bind_int64(frame, 1, f);
        db.Step(frame);
    }
    sqlite3_finalize(frame);
    db.Exec("COMMIT;");
}

}  // namespace orlex::import
