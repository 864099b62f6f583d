// Vadere: footsteps of postvis.traj in any order, and the scenario's topography as
// geometry with coloured targets and sources.
#include <gtest/gtest.h>

#include "convert.h"
#include "importsupport.h"
#include "tempfolder.h"
#include "vadere.h"

namespace orlex::import {
namespace {

const char* const kFootsteps =
    "#IDXCOL=2,DATACOL=6,SEP=' '\n"
    "pedestrianId simTime endTime-PID1 startX-PID1 startY-PID1 endX-PID1 endY-PID1 "
    "targetId-PID2\n"
    "2 0.8 1.6 2.0 3.0 2.6 3.0 1\n"
    "1 0.0 0.5 1.0 1.0 1.4 1.0 1\n"
    "1 0.5 1.0 1.4 1.0 1.8 1.2 1\n"
    "2 0.4 0.8 1.6 3.0 2.0 3.0 1\n";

TEST(VadereTraj, FootstepsInAnyOrderBecomeSamplesOfEachPerson) {
    const TTrajectorySet set = ParseVadereText(kFootsteps, "postvis.traj");
    EXPECT_DOUBLE_EQ(set.Fps, kVadereFps);
    ASSERT_EQ(set.Persons.size(), 2u);
    // Person 1: the end of one footstep is the start of the next, counted once.
    const std::vector<TSample>& one = set.Persons[0].Samples;
    ASSERT_EQ(one.size(), 3u);
    EXPECT_EQ(one[0].Frame, 0);
    EXPECT_EQ(one[1].Frame, 50);
    EXPECT_DOUBLE_EQ(one[1].X, 1.4);
    EXPECT_EQ(one[2].Frame, 100);
    EXPECT_DOUBLE_EQ(one[2].Y, 1.2);
    const std::vector<TSample>& two = set.Persons[1].Samples;
    ASSERT_EQ(two.size(), 3u);
    EXPECT_EQ(two[0].Frame, 40);
    EXPECT_DOUBLE_EQ(two[2].X, 2.6);

    // Positions "x y" and a separator of its own.
    const TTrajectorySet positions = ParseVadereText(
        "#IDXCOL=2,SEP=';'\npedestrianId;simTime;x-PID3;y-PID3\n5;0.25;1;2\n5;0;0;2\n", "p.traj");
    ASSERT_EQ(positions.Persons[0].Samples.size(), 2u);
    EXPECT_EQ(positions.Persons[0].Samples[1].Frame, 25);
    EXPECT_TRUE(LooksLikeVadere(kFootsteps));
    EXPECT_TRUE(LooksLikeVadere("pedestrianId simTime x y\n"));
    EXPECT_FALSE(LooksLikeVadere("# framerate 25\n1 0 0 0\n"));
}

TEST(VadereTraj, BadInputIsRefusedNamingFileAndLine) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "t.traj: no header row"},
        {"pedestrianId simTime startX-PID1 startY-PID1\n", "line 1: the header needs"},
        {"pedestrianId simTime x y\n1 0.0 a 1\n", "line 2: x is not a number (\"a\")"},
        {"pedestrianId simTime x y\n1.5 0.0 1 1\n", "line 2: pedestrianId is not a whole"},
        {"pedestrianId simTime x y\n1 0.0 1\n", "line 2: 3 fields where the header has 4"},
        {"pedestrianId simTime x y\n1 1e12 1 1\n", "line 2: a time is out of range"},
        {"pedestrianId simTime x y\n1 inf 1 1\n", "line 2: simTime is not a number"},
        {"pedestrianId simTime x y\n", "t.traj: no footstep rows"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        try {
            ParseVadereText(text, "t.traj");
            ADD_FAILURE() << "accepted";
        } catch (const TImportError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

// A 6 m x 4 m room in bounds with walls 0.4 m thick, a pillar, a target at the
// east wall, a source at the west.
const char* const kScenario = R"({
  "name": "room",
  "scenario": { "topography": {
    "attributes": { "bounds": { "x": 0, "y": 0, "width": 6.8, "height": 4.8 },
                    "boundingBoxWidth": 0.4 },
    "obstacles": [
      { "id": 1, "shape": { "type": "RECTANGLE", "x": 2.8, "y": 2.0, "width": 0.8, "height": 0.8 } },
      { "id": 2, "shape": { "type": "POLYGON", "points": [ { "x": 4.4, "y": 0.4 },
        { "x": 5.2, "y": 0.4 }, { "x": 4.8, "y": 1.2 } ] } },
      { "id": 3, "shape": { "type": "CIRCLE", "radius": 0.3, "center": { "x": 1.6, "y": 3.6 } } }
    ],
    "targets": [ { "id": 1, "shape": { "type": "RECTANGLE", "x": 6.0, "y": 2.0, "width": 0.4, "height": 0.8 } } ],
    "sources": [ { "id": 1, "shape": { "type": "RECTANGLE", "x": 0.4, "y": 2.0, "width": 0.8, "height": 0.8 } } ],
    "stairs": [ { "id": 9 } ]
  } }
})";

class VadereScenario : public test::TTempFolderTest {};

TEST_F(VadereScenario, ObstaclesTargetsAndSourcesOnTheGrid) {
    test::WriteText(Path("postvis.traj"), kFootsteps);
    test::WriteText(Path("room.scenario"), kScenario);
    EXPECT_EQ(SniffFormat(Path("postvis.traj")), TFormat::Vadere);
    TImportOptions options;
    options.GeometryPath = Path("room.scenario");
    const TConversion c = ImportFile(Path("postvis.traj"), options);
    const TCellPlan& plan = c.Plan;
    const auto at = [&](double x, double y) {
        int column, row;
        EXPECT_TRUE(plan.CellOf(x, y, column, row));
        return plan.Decks[0].Cells[static_cast<std::size_t>(row) * plan.Columns + column];
    };
    EXPECT_EQ(at(1.0, 1.0), '0');  // floor
    EXPECT_EQ(at(3.0, 2.2), '1');  // the rectangle pillar
    EXPECT_EQ(at(4.8, 0.6), '1');  // the triangle
    EXPECT_EQ(at(1.6, 3.6), '1');  // the circle
    EXPECT_EQ(at(6.2, 2.2), '4');  // the target: light green
    EXPECT_EQ(at(0.6, 2.2), '2');  // the source: light blue
    EXPECT_EQ(at(0.2, 0.2), '1');  // the bounding box's wall
    bool stairs = false;
    for (const std::string& w : c.Warnings)
        stairs |= w.find("the stairs are left out") != std::string::npos;
    EXPECT_TRUE(stairs);
}

TEST(VadereScenarioText, BrokenOrForeignJsonIsRefused) {
    const std::pair<const char*, const char*> cases[] = {
        {"{ \"scenario\": ", "s.scenario: broken JSON"},
        {"{ \"name\": \"x\" }", "s.scenario: no \"topography\""},
        {"{ \"topography\": { \"attributes\": {} } }", "s.scenario: not a Vadere scenario"},
        {"{ \"topography\": { \"attributes\": { \"bounds\": { \"x\": 0, \"y\": 0, \"width\": "
         "\"ten\", \"height\": 1 } } } }",
         "s.scenario: not a Vadere scenario"},
        {"{ \"topography\": { \"attributes\": { \"bounds\": { \"x\": 0, \"y\": 0, \"width\": 0, "
         "\"height\": 1 } } } }",
         "s.scenario: the bounds hold no area"},
        {"{ \"topography\": { \"attributes\": { \"bounds\": { \"x\": 0, \"y\": 0, \"width\": 1, "
         "\"height\": 1 } }, \"obstacles\": [ { \"shape\": { \"type\": \"POLYGON\", \"points\": [] "
         "} } ] } }",
         "needs three points"},
        {"{ \"topography\": { \"attributes\": { \"bounds\": { \"x\": 1e300, \"y\": 0, \"width\": "
         "1, \"height\": 1 } } } }",
         "out of range"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        try {
            ParseVadereScenario(text, "s.scenario");
            ADD_FAILURE() << "accepted";
        } catch (const TImportError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace orlex::import
