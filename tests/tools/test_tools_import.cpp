// orlex-info, orlex-stats, orlex-render and orlex-report open the trajectories of
// other tools directly, with the import's options, as users run them.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "command.h"
#include "tempfolder.h"

namespace {

struct TRun {
    int Code = -1;
    std::string Out;  // standard output and error
};

TRun RunTool(const std::string& exe, const std::string& args) {
    const orlex::test::TCommandRun run = orlex::test::RunCommand("'" + exe + "' " + args);
    return {run.Code, run.Output};
}

// Two persons walking 3 m along a corridor in 3 s, 10 frames a second.
std::string PeTrackRows(bool withRate) {
    std::string text = withRate ? "# framerate: 10 fps\n# id frame x/m y/m\n" : "";
    for (int id = 1; id <= 2; ++id)
        for (int frame = 0; frame <= 30; frame += 5)
            text += std::to_string(id) + " " + std::to_string(frame) + " " +
                    std::to_string(1.0 + frame / 10.0) + " " + std::to_string(id * 0.8) + "\n";
    return text;
}

class ToolsImport : public orlex::test::TTempFolderTest {
protected:
    void SetUp() override {
        TTempFolderTest::SetUp();
        std::ofstream(Path("walk.txt")) << PeTrackRows(true);
        std::ofstream(Path("again.txt")) << PeTrackRows(true);
        std::ofstream(Path("norate.txt")) << PeTrackRows(false);
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(Path("walk.sqlite").c_str(), &db), SQLITE_OK);
        std::string sql =
            "CREATE TABLE metadata(key TEXT NOT NULL, value TEXT NOT NULL);"
            "INSERT INTO metadata VALUES('version', '3'), ('fps', '10');"
            "CREATE TABLE trajectory_data(frame INTEGER, id INTEGER, pos_x REAL, pos_y REAL);"
            "CREATE TABLE geometry(hash INTEGER NOT NULL, wkt TEXT NOT NULL);"
            "INSERT INTO geometry VALUES(1, 'POLYGON((0 0,5 0,5 2.4,0 2.4,0 0))');"
            "CREATE TABLE frame_data(frame INTEGER NOT NULL, geometry_hash INTEGER NOT NULL);";
        for (int id = 1; id <= 2; ++id)
            for (int frame = 0; frame <= 30; frame += 5)
                sql += "INSERT INTO trajectory_data VALUES(" + std::to_string(frame) + ", " +
                       std::to_string(id) + ", " + std::to_string(1.0 + frame / 10.0) + ", " +
                       std::to_string(id * 0.8) + ");";
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
            << (error ? error : "");
        sqlite3_free(error);
        sqlite3_close(db);
    }

    struct TCase {
        const char* Name;
        std::string Args;
        int Code;
        const char* Says;  // part of what the tool prints
    };
    void Check(const std::string& exe, const std::vector<TCase>& cases) {
        for (const TCase& c : cases) {
            SCOPED_TRACE(c.Name);
            const TRun run = RunTool(exe, c.Args);
            EXPECT_EQ(run.Code, c.Code) << run.Out;
            EXPECT_NE(run.Out.find(c.Says), std::string::npos) << run.Out;
        }
    }
    std::string Q(const std::string& name) const { return "'" + Path(name) + "'"; }
};

TEST_F(ToolsImport, Info) {
    Check(ORLEX_INFO_EXE,
          {
              {"PeTrack text", Q("walk.txt"), 0, "2"},
              {"JuPedSim SQLite", Q("walk.sqlite"), 0, "2"},
              {"frame rate given", Q("norate.txt") + " --fps 10 --unit m", 0, "2"},
              {"frame rate missing", Q("norate.txt"), 1, "norate.txt"},
              {"wrong format named", Q("walk.txt") + " --format jupedsim", 1, "walk.txt"},
              {"bad value", Q("walk.txt") + " --unit ft", 2, "--unit takes m or cm"},
              {"cell size given", Q("walk.sqlite") + " --json --analysis --cell-size 0.5", 0,
               "\"cellSize\": 0.5"},
          });
}

TEST_F(ToolsImport, Stats) {
    Check(ORLEX_STATS_EXE,
          {
              {"PeTrack text", Q("walk.txt"), 0, "walk.txt"},
              {"JuPedSim SQLite", Q("walk.sqlite") + " --json", 0, "\"persons\":2"},
              {"frame rate given", Q("norate.txt") + " --fps=10 --unit m", 0, "norate.txt"},
              {"frame rate missing", Q("norate.txt"), 1, "norate.txt"},
              {"bad value", Q("walk.txt") + " --step-rate 0", 2, "--step-rate takes"},
          });
}

TEST_F(ToolsImport, Render) {
    Check(ORLEX_RENDER_EXE,
          {
              {"PeTrack text", Q("walk.txt") + " --plan -o " + Q("walk.png"), 0, ""},
              {"JuPedSim SQLite", Q("walk.sqlite") + " -o " + Q("sqlite.png"), 0, ""},
              {"source frame rate", Q("norate.txt") + " --source-fps 10 --unit m -o " + Q("n.png"),
               0, ""},
              {"frame rate missing", Q("norate.txt") + " -o " + Q("m.png"), 1, "norate.txt"},
          });
    for (const char* picture : {"walk.png", "sqlite.png", "n.png"})
        EXPECT_GT(std::filesystem::file_size(Path(picture)), 1000u) << picture;
    EXPECT_FALSE(std::filesystem::exists(Path("m.png")));
}

TEST_F(ToolsImport, Report) {
    Check(ORLEX_REPORT_EXE,
          {
              {"PeTrack text", Q("walk.txt") + " -o " + Q("walk.pdf"), 0, ""},
              {"JuPedSim SQLite", Q("walk.sqlite") + " -o " + Q("sqlite.pdf"), 0, ""},
              {"runs", Q("walk.txt") + " " + Q("again.txt") + " -o " + Q("runs.pdf"), 0, ""},
              {"bad value", Q("walk.txt") + " --format csv -o " + Q("x.pdf"), 2, "--format"},
          });
    for (const char* report : {"walk.pdf", "sqlite.pdf", "runs.pdf"})
        EXPECT_TRUE(std::filesystem::exists(Path(report))) << report;
}

}  // namespace
