// Pathfinder's occupant CSV: columns by name, units, floors from the elevation,
// times to frames, and bad rows.
#include <gtest/gtest.h>

#include "convert.h"
#include "importsupport.h"
#include "pathfinder.h"
#include "tempfolder.h"

namespace orlex::import {
namespace {

const char* const kHeader =
    "\"t\",\"id\",\"name\",\"x\",\"y\",\"z\",\"speed\",\"location\"\n"
    "\"s\",\"\",\"\",\"m\",\"m\",\"m\",\"m/s\",\"\"\n";

TEST(PathfinderCsv, ColumnsByNameTimesToFramesAndUnits) {
    const std::string text = std::string(kHeader) +
                             "0.0,1,\"Crew, deck 2\",1.0,2.0,0.0,0.0,\"Room 1\"\n"
                             "0.0,0,\"Passenger \"\"A\"\"\",3.0,2.0,0.0,1.2,\"Room 2\"\n"
                             "0.5,1,\"Crew, deck 2\",1.5,2.0,0.0,1.0,\"Room 1\"\n"
                             "1.0,0,\"Passenger \"\"A\"\"\",3.5,2.5,3.5,1.1,\"Stair\"\n";
    const TTrajectorySet set = ParsePathfinderText(text, "occ.csv");
    EXPECT_DOUBLE_EQ(set.Fps, 2);
    ASSERT_EQ(set.Persons.size(), 2u);
    EXPECT_EQ(set.Persons[0].Id, 0);
    ASSERT_EQ(set.Persons[0].Samples.size(), 2u);
    EXPECT_EQ(set.Persons[0].Samples[1].Frame, 2);
    EXPECT_DOUBLE_EQ(set.Persons[0].Samples[1].Z, 3.5);
    EXPECT_EQ(set.Persons[1].Samples[1].Frame, 1);

    const std::string feet =
        "\"id\",\"t\",\"z\",\"y\",\"x\"\n\"\",\"s\",\"ft\",\"ft\",\"ft\"\n4,2.0,10,1,0\n";
    const TTrajectorySet moved = ParsePathfinderText(feet, "ft.csv");
    EXPECT_DOUBLE_EQ(moved.Persons[0].Samples[0].Y, 0.3048);
    EXPECT_DOUBLE_EQ(moved.Persons[0].Samples[0].Z, 3.048);
    EXPECT_TRUE(LooksLikePathfinder(kHeader));
    EXPECT_FALSE(LooksLikePathfinder("1 0 0 0\n"));
}

TEST(PathfinderCsv, BadInputIsRefusedNamingFileAndRow) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "occ.csv, row 1: no header row"},
        {"\"t\",\"id\",\"x\",\"y\"\n\"s\",\"\",\"m\",\"m\"\n",
         "row 1: the header has no column \"z\""},
        {"\"t\",\"id\",\"x\",\"y\",\"z\"\n", "row 2: the units row is missing"},
        {"\"t\",\"id\",\"x\",\"y\",\"z\"\n\"s\",\"\",\"yd\",\"m\",\"m\"\n",
         "row 2: the unit \"yd\""},
        {std::string(kHeader) + "0,1,\"a\",x,0,0,0,\"\"\n", "row 3: x is not a number (\"x\")"},
        {std::string(kHeader) + "0,1,\"a\",nan,0,0,0,\"\"\n", "row 3: x is not a number"},
        {std::string(kHeader) + "0,1.5,\"a\",0,0,0,0,\"\"\n", "row 3: id is not a whole number"},
        {std::string(kHeader) + "0,1,\"a,0,0,0,0,\"\"\n", "row 3: a quoted field is not closed"},
        {std::string(kHeader) + "0,1,\"a\",0,0\n", "row 3: 5 fields where the header has 8"},
        {std::string(kHeader) + "1e300,1,\"a\",0,0,0,0,\"\"\n", "row 3: t is out of range"},
        {std::string(kHeader), "occ.csv: no occupant rows"},
        {std::string(kHeader) + "0,1,\"a\",0,0,0,0,\"\"\n0,1,\"a\",1,0,0,0,\"\"\n", "twice"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        try {
            ParsePathfinderText(text, "occ.csv");
            ADD_FAILURE() << "accepted";
        } catch (const TImportError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

class PathfinderFile : public test::TTempFolderTest {};

TEST_F(PathfinderFile, TwoFloorsFromTheElevation) {
    // Two occupants on the upper floor (z 3.5) walk down the stairs to the lower one.
    std::string text = kHeader;
    for (int k = 0; k <= 40; ++k) {
        const double t = k * 0.25, x = 0.2 + 0.3 * t;
        const double z = t < 4 ? 3.5 : t < 6 ? 3.5 - (t - 4) * 1.75 : 0;
        for (int id = 1; id <= 2; ++id)
            text += std::to_string(t) + "," + std::to_string(id) + ",\"p\"," + std::to_string(x) +
                    "," + std::to_string(id * 1.0) + "," + std::to_string(z) + ",1.2,\"\"\n";
    }
    test::WriteText(Path("occ.csv"), text);
    EXPECT_EQ(SniffFormat(Path("occ.csv")), TFormat::Pathfinder);
    const TConversion c = ImportFile(Path("occ.csv"), {});
    ASSERT_EQ(c.Floors.Heights.size(), 2u);
    EXPECT_NEAR(c.Floors.Heights[1], 3.5, 1e-9);
    ASSERT_EQ(c.Plan.Decks.size(), 2u);
    EXPECT_EQ(c.Plan.Decks[1].Caption, "Level 1, z 3.50 m");
    ASSERT_EQ(c.Persons.size(), 2u);
    EXPECT_EQ(c.Persons[0].StartLevel, 1);
    EXPECT_NE(c.Persons[0].Track.find('D'), std::string::npos) << c.Persons[0].Track;
    const auto loaded = test::LoadText(test::LogText(c));
    EXPECT_TRUE(loaded.Recorder.Messages.empty());
    EXPECT_EQ(loaded.Project->ZMax, 2);
}

}  // namespace
}  // namespace orlex::import
