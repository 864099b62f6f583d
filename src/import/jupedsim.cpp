#include "jupedsim.h"

#include <sqlite3.h>

#include <cmath>
#include <cstring>
#include <set>

namespace orlex::import {

namespace {

class TDatabase {
public:
    explicit TDatabase(const std::string& path) : Path_(path) {
        if (sqlite3_open_v2(path.c_str(), &Db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            const std::string reason = Db_ ? sqlite3_errmsg(Db_) : "out of memory";
            sqlite3_close(Db_);
            throw TImportError(path + ": cannot open the database (" + reason + ")");
        }
    }
    ~TDatabase() { sqlite3_close(Db_); }
    TDatabase(const TDatabase&) = delete;
    TDatabase& operator=(const TDatabase&) = delete;

    [[noreturn]] void Fail(const std::string& what) const {
        std::string text = Path_ + ": " + what;
        if (Db_ && sqlite3_errcode(Db_) != SQLITE_OK) {
            const int code = sqlite3_errcode(Db_);
            if (code == SQLITE_NOTADB)
                text += " (not an SQLite database, or an encrypted one)";
            else if (code == SQLITE_CORRUPT)
                text += " (the database is corrupt)";
            else
                text += std::string(" (") + sqlite3_errmsg(Db_) + ")";
        }
        throw TImportError(text);
    }

    // The statement of sql; fails with what.
    sqlite3_stmt* Prepare(const std::string& sql, const std::string& what) const {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(Db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) Fail(what);
        return statement;
    }

    std::set<std::string> Columns(const std::string& table) const {
        std::set<std::string> names;
        sqlite3_stmt* st =
            Prepare("PRAGMA table_info(\"" + table + "\")", "cannot read the table " + table);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const unsigned char* name = sqlite3_column_text(st, 1);
            if (name) names.insert(reinterpret_cast<const char*>(name));
        }
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) Fail("cannot read the table " + table);
        return names;
    }

    void Require(const std::string& table, const std::vector<std::string>& columns) const {
        const std::set<std::string> have = Columns(table);
        if (have.empty()) Fail("the table " + table + " is missing");
        for (const std::string& c : columns)
            if (!have.count(c)) Fail("the table " + table + " has no column " + c);
    }

    const std::string& Path() const { return Path_; }

private:
    std::string Path_;
    sqlite3* Db_ = nullptr;
};

struct TStatement {
    sqlite3_stmt* S;
    ~TStatement() { sqlite3_finalize(S); }
};

}  // namespace

bool LooksLikeSqlite(const char* data, std::size_t size) {
    static const char kMagic[] = "SQLite format 3";  // with its terminating zero: 16 bytes
    return size >= sizeof kMagic && std::memcmp(data, kMagic, sizeof kMagic) == 0;
}

TTrajectorySet ReadJuPedSimFile(const std::string& path) {
    TDatabase db(path);
    TTrajectorySet set;
    set.Source = path;

    db.Require("metadata", {"key", "value"});
    int version = 0;
    bool haveFps = false;
    {
        TStatement st{db.Prepare("SELECT key, value FROM metadata", "cannot read the metadata")};
        int rc;
        while ((rc = sqlite3_step(st.S)) == SQLITE_ROW) {
            const unsigned char* key = sqlite3_column_text(st.S, 0);
            if (!key) continue;
            const std::string k = reinterpret_cast<const char*>(key);
            if (k == "version") {
                version = sqlite3_column_int(st.S, 1);
            } else if (k == "fps") {
                set.Fps = sqlite3_column_double(st.S, 1);
                haveFps = true;
            }
        }
        if (rc != SQLITE_DONE) db.Fail("cannot read the metadata");
    }
    if (version < 1 || version > 3)
        throw TImportError(path + ": metadata version " + std::to_string(version) +
                           " is not one of the versions read (1, 2 and 3)");
    if (!haveFps) throw TImportError(path + ": the metadata give no fps");
    if (!(set.Fps > 0) || !std::isfinite(set.Fps))
        throw TImportError(path + ": the frame rate (fps) must be above 0");

    db.Require("trajectory_data", {"frame", "id", "pos_x", "pos_y"});
    {
        TStatement st{
            db.Prepare("SELECT id, frame, pos_x, pos_y FROM trajectory_data "
                       "ORDER BY id, frame",
                       "cannot read the trajectories")};
        int rc;
        int64_t row = 0;
        TPersonTrack* current = nullptr;
        while ((rc = sqlite3_step(st.S)) == SQLITE_ROW) {
            ++row;
            for (int c = 0; c < 4; ++c) {
                const int type = sqlite3_column_type(st.S, c);
                if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) {
                    static const char* const kNames[4] = {"id", "frame", "pos_x", "pos_y"};
                    throw TImportError(path + ", trajectory row " + std::to_string(row) +
                                       " (in id and frame order): " + kNames[c] +
                                       " is not a number");
                }
            }
            const int64_t id = sqlite3_column_int64(st.S, 0);
            const int64_t frame = sqlite3_column_int64(st.S, 1);
            const double x = sqlite3_column_double(st.S, 2);
            const double y = sqlite3_column_double(st.S, 3);
            if (!std::isfinite(x) || !std::isfinite(y))
                throw TImportError(path + ": person " + std::to_string(id) + " at frame " +
                                   std::to_string(frame) + " has a position that is not finite");
            if (!current || current->Id != id) {
                set.Persons.push_back({id, {}});
                current = &set.Persons.back();
            } else if (current->Samples.back().Frame == frame) {
                throw TImportError(path + ": person " + std::to_string(id) + " has frame " +
                                   std::to_string(frame) + " twice");
            }
            current->Samples.push_back({frame, x, y, 0});
        }
        if (rc != SQLITE_DONE) db.Fail("cannot read the trajectories");
    }
    if (set.Persons.empty()) throw TImportError(path + ": the table trajectory_data is empty");

    db.Require("geometry", {"wkt"});
    {
        TStatement st{db.Prepare("SELECT wkt FROM geometry", "cannot read the geometry")};
        int rc;
        while ((rc = sqlite3_step(st.S)) == SQLITE_ROW) {
            const unsigned char* wkt = sqlite3_column_text(st.S, 0);
            if (wkt) set.WalkableWkt.emplace_back(reinterpret_cast<const char*>(wkt));
        }
        if (rc != SQLITE_DONE) db.Fail("cannot read the geometry");
    }
    if (set.WalkableWkt.empty())
        set.Warnings.push_back(path +
                               ": the geometry table is empty; the cells the persons "
                               "visit are taken for the floor");
    return set;
}

}  // namespace orlex::import
