// orlex-stats on real files: good runs, a bad one, the formats and usage errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "projects.h"
#include "rooms.h"
#include "stats.h"

namespace {

namespace fs = std::filesystem;
using orlex::stats::Main;

class OrlexStats : public testing::Test {
protected:
    void SetUp() override {
        Dir = fs::temp_directory_path() /
              ("orlex-stats-" +
               std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(Dir);
        // Three runs of the same case: evacuation times 3, 5 and 4 s (1 step a second).
        const char* tracks[] = {"33", "3333", "333"};
        for (int i = 0; i < 3; ++i) {
            Good.push_back(Write("run" + std::to_string(i + 1) + ".3dl",
                                 orlex::test::RoomText(6, 4, 1, 1, {{1, 1, 0, tracks[i]}})));
        }
        Bad = Write("broken.3dl", "this is no project\n");
    }
    void TearDown() override { fs::remove_all(Dir); }

    std::string Write(const std::string& name, const std::string& text) {
        const fs::path path = Dir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    int Run(std::vector<std::string> args) {
        Out.clear();
        Err.clear();
        return Main(args, Out, Err);
    }

    fs::path Dir;
    std::vector<std::string> Good;
    std::string Bad;
    std::string Out, Err;
};

TEST_F(OrlexStats, ThreeGoodFilesAndOneBad) {
    EXPECT_EQ(Run({"--json", Good[0], Bad, Good[1], Good[2]}), 1);
    EXPECT_NE(Err.find(Bad + ": cannot be used: holds no persons"), std::string::npos) << Err;
    EXPECT_NE(Out.find("{\"file\":\"" + Bad + "\",\"ok\":false,\"error\":\"holds no persons\""),
              std::string::npos)
        << Out;
    EXPECT_NE(Out.find("{\"file\":\"" + Good[1] +
                       "\",\"ok\":true,\"persons\":1,\"evacuationTime\":5,\"p95ExitTime\":5,"
                       "\"congestedCells\":0"),
              std::string::npos)
        << Out;
    // 3, 4, 5: p50 and p95 by the ranking rule are both the largest of three.
    EXPECT_NE(Out.find("\"runs\":{\"n\":3,\"failed\":1,\"evacuationTime\":{\"min\":3,\"mean\":4,"
                       "\"p50\":5,\"p95\":5,\"max\":5}}"),
              std::string::npos)
        << Out;
}

TEST_F(OrlexStats, MissingFileIsNamed) {
    const std::string missing = (Dir / "missing.3dl").string();
    EXPECT_EQ(Run({Good[0], missing}), 1);
    EXPECT_NE(Err.find(missing + ": cannot be used: Cannot open file: " + missing),
              std::string::npos)
        << Err;
    EXPECT_NE(Out.find("Runs: 1 of 2 files (1 could not be used)"), std::string::npos) << Out;
}

TEST_F(OrlexStats, TextAndCsv) {
    EXPECT_EQ(Run(Good), 0);
    EXPECT_TRUE(Err.empty()) << Err;
    EXPECT_NE(Out.find("N 3, min 3, mean 4, p50 5, p95 5, max 5"), std::string::npos) << Out;
    EXPECT_EQ(Run({"--csv", "--threads", "2", Good[2], Bad}), 1);
    EXPECT_EQ(Out, "file,status,persons,evacuationTime,p95ExitTime,congestedCells,error\n" +
                       Good[2] + ",ok,1,4,4,0,\n" + Bad +
                       ",failed,,,,,holds no persons\n\nstatistic,evacuationTime\nN,1\nmin,4\n"
                       "mean,4\np50,4\np95,4\nmax,4\n");
}

TEST_F(OrlexStats, UsageErrorsNameTheOption) {
    struct {
        std::vector<std::string> Args;
        const char* Named;
    } const rows[] = {
        {{}, "no FILE given"},
        {{"--window", "4", "a.3dl"}, "--window: "},
        {{"--cell-size=9", "a.3dl"}, "--cell-size: "},
        {{"--density-limit"}, "--density-limit: a value is missing"},
        {{"--congestion-share", "x", "a.3dl"}, "--congestion-share: "},
        {{"--threads", "0", "a.3dl"}, "--threads: "},
        {{"--bogus", "a.3dl"}, "--bogus: unknown option"},
        {{"--csv", "--json", "a.3dl"}, "--csv and --json"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Named);
        EXPECT_EQ(Run(row.Args), 2);
        EXPECT_EQ(Err.rfind(std::string("orlex-stats: ") + row.Named, 0), 0u) << Err;
        EXPECT_TRUE(Out.empty());
    }
    EXPECT_EQ(Run({"--help"}), 0);
    EXPECT_NE(Out.find("Usage: orlex-stats"), std::string::npos);
}

}  // namespace
