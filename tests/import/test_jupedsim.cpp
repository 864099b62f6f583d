// JuPedSim SQLite files of versions 1, 2 and 3, made here through SQLite's C API,
// and broken ones.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "importsupport.h"
#include "jupedsim.h"
#include "tempfolder.h"
#include "wktarea.h"

namespace orlex::import {
namespace {

// Runs sql on a new database at path.
void MakeDatabase(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

const char* const kRoom = "'POLYGON((0 0,6 0,6 4,0 4,0 0),(2 1.5,3 1.5,3 2.5,2 2.5,2 1.5))'";

std::string Version(int version, const std::string& trajectoryColumns, const std::string& rows) {
    std::string sql =
        "CREATE TABLE metadata(key TEXT NOT NULL, value TEXT NOT NULL);"
        "INSERT INTO metadata VALUES('version', '" +
        std::to_string(version) + "'), ('fps', '10');";
    sql += "CREATE TABLE trajectory_data(" + trajectoryColumns + ");";
    sql += rows;
    if (version == 1) {
        sql += "CREATE TABLE geometry(wkt TEXT NOT NULL);";
        sql += std::string("INSERT INTO geometry VALUES(") + kRoom + ");";
    } else {
        sql += "CREATE TABLE geometry(hash INTEGER NOT NULL, wkt TEXT NOT NULL);";
        sql += std::string("INSERT INTO geometry VALUES(1, ") + kRoom + ");";
        sql += "INSERT INTO geometry VALUES(2, 'POLYGON((6 1,8 1,8 3,6 3,6 1))');";
        sql += "CREATE TABLE frame_data(frame INTEGER NOT NULL, geometry_hash INTEGER NOT NULL);";
    }
    return sql;
}

// The geometry is checked when the cells are made; do it here as well.
void TWktAreaCheck(const TTrajectorySet& set) {
    if (!set.WalkableWkt.empty()) TWktArea area(set.WalkableWkt, set.Source);
}

class JuPedSim : public test::TTempFolderTest {};

TEST_F(JuPedSim, VersionsOneToThreeWithColumnsInAnyOrder) {
    struct TCase {
        int Version;
        const char* Columns;
        const char* Rows;
    } cases[] = {
        {1, "frame INTEGER, id INTEGER, pos_x REAL, pos_y REAL, ori_x REAL, ori_y REAL",
         "INSERT INTO trajectory_data VALUES(1, 4, 1.0, 1.0, 1, 0), (0, 4, 0.9, 1.0, 1, 0),"
         "(0, 2, 3.5, 3.0, 0, 1);"},
        {2, "id INTEGER, pos_y REAL, ori_x REAL, ori_y REAL, pos_x REAL, frame INTEGER",
         "INSERT INTO trajectory_data VALUES(4, 1.0, 1, 0, 1.0, 1), (4, 1.0, 1, 0, 0.9, 0),"
         "(2, 3.0, 0, 1, 3.5, 0);"},
        {3, "frame INTEGER, id INTEGER, pos_x REAL, pos_y REAL",
         "INSERT INTO trajectory_data VALUES(1, 4, 1.0, 1.0), (0, 4, 0.9, 1.0),"
         "(0, 2, 3.5, 3.0);"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Version);
        const std::string path = Path("v" + std::to_string(c.Version) + ".sqlite");
        MakeDatabase(path, Version(c.Version, c.Columns, c.Rows));
        const TTrajectorySet set = ReadJuPedSimFile(path);
        EXPECT_DOUBLE_EQ(set.Fps, 10);
        ASSERT_EQ(set.Persons.size(), 2u);
        EXPECT_EQ(set.Persons[0].Id, 2);
        ASSERT_EQ(set.Persons[1].Samples.size(), 2u);
        EXPECT_EQ(set.Persons[1].Samples[0].Frame, 0);
        EXPECT_DOUBLE_EQ(set.Persons[1].Samples[0].X, 0.9);
        EXPECT_DOUBLE_EQ(set.Persons[1].Samples[1].X, 1.0);
        EXPECT_EQ(set.WalkableWkt.size(), c.Version == 1 ? 1u : 2u);
    }
}

TEST_F(JuPedSim, BadDatabasesAreRefusedNamingTheFile) {
    const std::string good = "frame INTEGER, id INTEGER, pos_x REAL, pos_y REAL";
    const std::string row = "INSERT INTO trajectory_data VALUES(0, 1, 1.0, 1.0);";
    struct TCase {
        const char* Name;
        std::string Sql;
        const char* Message;
    } cases[] = {
        {"missing column", Version(2, "frame INTEGER, id INTEGER, pos_x REAL", ""),
         "the table trajectory_data has no column pos_y"},
        {"empty table", Version(2, good, ""), "the table trajectory_data is empty"},
        {"version 4", Version(4, good, row), "metadata version 4 is not one of"},
        {"fps 0", Version(2, good, row) + "UPDATE metadata SET value = '0' WHERE key = 'fps';",
         "the frame rate (fps) must be above 0"},
        {"text position", Version(2, good, "INSERT INTO trajectory_data VALUES(0, 1, 'a', 1);"),
         "trajectory row 1 (in id and frame order): pos_x is not a number"},
        {"duplicate row", Version(2, good, row + row), "person 1 has frame 0 twice"},
        {"no metadata", "CREATE TABLE trajectory_data(" + good + ");",
         "the table metadata is missing"},
        {"broken WKT", Version(2, good, row) + "INSERT INTO geometry VALUES(3, 'POLYGON((1');",
         "broken WKT"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = Path(std::string(c.Name) + ".sqlite");
        MakeDatabase(path, c.Sql);
        try {
            const TTrajectorySet set = ReadJuPedSimFile(path);
            TWktAreaCheck(set);
            ADD_FAILURE() << "accepted";
        } catch (const TImportError& e) {
            const std::string text = e.what();
            EXPECT_EQ(text.rfind(path, 0), 0u) << text;
            EXPECT_NE(text.find(c.Message), std::string::npos) << text;
        }
    }
}

TEST_F(JuPedSim, CorruptAndForeignFilesAreRefused) {
    const std::string corrupt = Path("corrupt.sqlite");
    MakeDatabase(corrupt, Version(3, "frame INTEGER, id INTEGER, pos_x REAL, pos_y REAL",
                                  "INSERT INTO trajectory_data VALUES(0, 1, 1.0, 1.0);"));
    std::string bytes = test::ReadText(corrupt);
    for (std::size_t i = 100; i < bytes.size(); i += 7) bytes[i] = static_cast<char>(0xA5);
    test::WriteText(corrupt, bytes);
    const std::string foreign = Path("foreign.sqlite");
    test::WriteText(foreign, std::string("SQLite format 3") + '\0' + std::string(200, 'x'));
    for (const std::string& path : {corrupt, foreign, Path("missing.sqlite")}) {
        SCOPED_TRACE(path);
        try {
            ReadJuPedSimFile(path);
            ADD_FAILURE() << "accepted";
        } catch (const TImportError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(path, 0), 0u) << e.what();
        }
    }
}

}  // namespace
}  // namespace orlex::import
