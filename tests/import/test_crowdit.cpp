// crowd:it: CSV rows plain and gzip, its .floor walls as geometry, and bad input.
#include <gtest/gtest.h>
#include <zlib.h>

#include "convert.h"
#include "crowdit.h"
#include "importsupport.h"
#include "tempfolder.h"

namespace orlex::import {
namespace {

const char* const kRows =
    "time,pedID,posX,posY,speed\n"
    "0.0,1,1.0,1.0,0.0\n"
    "0.0,2,2.0,1.0,0.0\n"
    "0.2,1,1.2,1.0,1.0\n"
    "0.2,2,2.0,1.2,1.0\n"
    "0.4,1,1.4,1.0,1.0\n";

void WriteGzip(const std::string& path, const std::string& text) {
    gzFile out = gzopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(gzwrite(out, text.data(), static_cast<unsigned>(text.size())),
              static_cast<int>(text.size()));
    gzclose(out);
}

TEST(CrowditCsv, RowsByNameTimesToFrames) {
    const TTrajectorySet set = ParseCrowditText(kRows, "run.csv");
    EXPECT_DOUBLE_EQ(set.Fps, 5);
    ASSERT_EQ(set.Persons.size(), 2u);
    ASSERT_EQ(set.Persons[0].Samples.size(), 3u);
    EXPECT_EQ(set.Persons[0].Samples[2].Frame, 2);
    EXPECT_DOUBLE_EQ(set.Persons[0].Samples[2].X, 1.4);
    EXPECT_DOUBLE_EQ(set.Persons[1].Samples[1].Y, 1.2);
    EXPECT_TRUE(LooksLikeCrowdit(kRows));
    EXPECT_FALSE(LooksLikeCrowdit("1 0 0 0\n"));
}

TEST(CrowditCsv, BadRowsAreRefusedNamingFileAndRow) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "run.csv, row 1: no header row"},
        {"time,pedID,posX\n", "row 1: the header has no column \"posY\""},
        {"time,pedID,posX,posY\n0,1,a,1\n", "row 2: posX is not a number (\"a\")"},
        {"time,pedID,posX,posY\n0,1,1\n", "row 2: 3 fields where the header has 4"},
        {"time,pedID,posX,posY\n0,1.5,1,1\n", "row 2: pedID is not a whole number"},
        {"time,pedID,posX,posY\n1e20,1,1,1\n", "row 2: the time is out of range"},
        {"time,pedID,posX,posY\n", "run.csv: no trajectory rows"},
        {"time,pedID,posX,posY\n0,1,1,1\n0,1,2,2\n", "twice"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        try {
            ParseCrowditText(text, "run.csv");
            ADD_FAILURE() << "accepted";
        } catch (const TImportError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

class CrowditFile : public test::TTempFolderTest {};

TEST_F(CrowditFile, GzipReadsAsPlainAndBrokenGzipIsNamed) {
    test::WriteText(Path("run.csv"), kRows);
    WriteGzip(Path("run.csv.gz"), kRows);
    EXPECT_EQ(SniffFormat(Path("run.csv")), TFormat::Crowdit);
    EXPECT_EQ(SniffFormat(Path("run.csv.gz")), TFormat::Crowdit);
    EXPECT_EQ(test::LogText(ImportFile(Path("run.csv.gz"), {})),
              test::LogText(ImportFile(Path("run.csv"), {})));

    const std::string packed = test::ReadText(Path("run.csv.gz"));
    test::WriteText(Path("cut.gz"), packed.substr(0, packed.size() / 2));
    test::WriteText(Path("noise.gz"), packed.substr(0, 10) + std::string(40, 'x'));
    const std::pair<const char*, const char*> cases[] = {
        {"cut.gz", "cut.gz: the gzip data is cut off"},
        {"noise.gz", "noise.gz: broken gzip data"},
    };
    for (const auto& [file, message] : cases) {
        SCOPED_TRACE(file);
        try {
            ReadCrowditFile(Path(file));
            ADD_FAILURE() << "accepted";
        } catch (const TImportError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

TEST_F(CrowditFile, FloorWallsCloseTheRoomAndStandAsBlocks) {
    // A 4 m x 2.4 m room of four walls, one wall half across it.
    test::WriteText(Path("run.csv"), kRows);
    test::WriteText(Path("room.floor"),
                    "<?xml version=\"1.0\"?>\n<floor name=\"deck\">\n <layer>\n"
                    "  <wall><point x=\"0\" y=\"0\"/><point x=\"4\" y=\"0\"/>"
                    "<point x=\"4\" y=\"2.4\"/></wall>\n"
                    "  <Wall><point x=\"4\" y=\"2.4\"/><point x=\"0\" y=\"2.4\"/>"
                    "<point x=\"0\" y=\"0\"/></Wall>\n"
                    "  <wall><point x=\"3\" y=\"0\"/><point x=\"3\" y=\"1.2\"/></wall>\n"
                    "  <wall><point x=\"1\" y=\"1\"/></wall>\n </layer>\n</floor>\n");
    TImportOptions options;
    options.GeometryPath = Path("room.floor");
    const TConversion c = ImportFile(Path("run.csv"), options);
    const TCellPlan& plan = c.Plan;
    const auto at = [&](double x, double y) {
        int column, row;
        EXPECT_TRUE(plan.CellOf(x, y, column, row)) << x << " " << y;
        return plan.Decks[0].Cells[static_cast<std::size_t>(row) * plan.Columns + column];
    };
    EXPECT_EQ(at(1.0, 1.4), '0');   // inside
    EXPECT_EQ(at(3.0, 0.6), '1');   // the wall half across
    EXPECT_EQ(at(3.0, 2.0), '0');   // beyond its end
    EXPECT_EQ(at(0.1, 1.0), '1');   // the west wall
    EXPECT_EQ(at(-0.3, 1.0), '1');  // the cells along it, outside
    bool dropped = false;
    for (const std::string& w : c.Warnings)
        dropped |= w.find("1 walls of fewer") != std::string::npos;
    EXPECT_TRUE(dropped);

    const std::pair<const char*, const char*> cases[] = {
        {"<floor>\n<wall><point x=\"0\" y=\"0\"/>\n</floor>\n", "bad.floor, line 3: broken XML"},
        {"<floor><layer/></floor>", "bad.floor: no walls"},
        {"<floor><wall><point x=\"a\" y=\"0\"/><point x=\"1\" y=\"0\"/></wall></floor>",
         "bad.floor: a point of a wall is not a pair of numbers"},
        {"<floor><wall><point x=\"0\" y=\"0\"/><point x=\"0\" y=\"0\"/></wall></floor>",
         "bad.floor: the walls enclose no area"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        test::WriteText(Path("bad.floor"), text);
        options.GeometryPath = Path("bad.floor");
        try {
            ImportFile(Path("run.csv"), options);
            ADD_FAILURE() << "accepted";
        } catch (const TImportError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace orlex::import
