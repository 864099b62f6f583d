// JuPedSim's geometry XML (version 0.8) as the geometry of text trajectories:
// rooms closed by their doors, walls and obstacles as blocks, exits light green.
#include <gtest/gtest.h>

#include "convert.h"
#include "importsupport.h"
#include "jpsgeometry.h"
#include "tempfolder.h"

namespace orlex::import {
namespace {

// Two rooms of 4 m x 3 m side by side; a door between them at y 1..2, the exit on
// the east at y 1..2, a pillar in the west room.
std::string TwoRooms(const char* unit = "m", double scale = 1) {
    const auto v = [&](std::initializer_list<std::pair<double, double>> points) {
        std::string text;
        for (const auto& [x, y] : points)
            text += "<vertex px=\"" + std::to_string(x * scale) + "\" py=\"" +
                    std::to_string(y * scale) + "\"/>";
        return text;
    };
    return std::string("<?xml version=\"1.0\"?>\n<geometry version=\"0.8\" unit=\"") + unit +
           "\">\n<rooms>\n<room id=\"0\"><subroom id=\"0\">\n"
           "<polygon caption=\"wall\">" +
           v({{4, 1}, {4, 0}, {0, 0}, {0, 3}, {4, 3}, {4, 2}}) +
           "</polygon>\n<obstacle id=\"0\"><polygon>" +
           v({{1.6, 1.2}, {2.4, 1.2}, {2.4, 2.0}, {1.6, 2.0}, {1.6, 1.2}}) +
           "</polygon></obstacle>\n</subroom>\n"
           "<subroom id=\"1\"><polygon caption=\"wall\">" +
           v({{4, 0}, {8, 0}, {8, 1}}) + "</polygon><polygon caption=\"wall\">" +
           v({{8, 2}, {8, 3}, {4, 3}}) +
           "</polygon></subroom>\n"
           "<crossings><crossing id=\"0\" subroom1_id=\"0\" subroom2_id=\"1\">" +
           v({{4, 1}, {4, 2}}) +
           "</crossing></crossings>\n</room>\n</rooms>\n"
           "<transitions><transition id=\"0\" room1_id=\"0\" subroom1_id=\"1\" room2_id=\"-1\" "
           "subroom2_id=\"-1\">" +
           v({{8, 1}, {8, 2}}) + "</transition></transitions>\n</geometry>\n";
}

class JuPedSimGeometry : public test::TTempFolderTest {};

TEST_F(JuPedSimGeometry, RoomsWallsObstaclesAndTheExitOnTheGrid) {
    test::WriteText(Path("run.txt"), "# framerate: 2\n# x/m\n1 0 1.0 0.6\n1 4 5.0 1.4\n");
    for (const auto& [unit, scale] : {std::pair{"m", 1.0}, std::pair{"cm", 100.0}}) {
        SCOPED_TRACE(unit);
        test::WriteText(Path("rooms.xml"), TwoRooms(unit, scale));
        EXPECT_TRUE(IsJuPedSimGeometry(TwoRooms()));
        TImportOptions options;
        options.GeometryPath = Path("rooms.xml");
        const TConversion c = ImportFile(Path("run.txt"), options);
        const TCellPlan& plan = c.Plan;
        const auto at = [&](double x, double y) {
            int column, row;
            EXPECT_TRUE(plan.CellOf(x, y, column, row)) << x << " " << y;
            return plan.Decks[0].Cells[static_cast<std::size_t>(row) * plan.Columns + column];
        };
        EXPECT_EQ(at(1.0, 0.6), '0');  // west room
        EXPECT_EQ(at(6.2, 2.6), '0');  // east room
        EXPECT_EQ(at(2.0, 1.6), '1');  // the pillar
        EXPECT_EQ(at(4.1, 0.6), '1');  // the wall between the rooms
        EXPECT_EQ(at(4.1, 1.5), '0');  // its door
        EXPECT_EQ(at(7.9, 1.5), '4');  // the exit: light green
    }
}

TEST(JuPedSimGeometryText, BadGeometryIsRefusedNamingTheFile) {
    const std::pair<std::string, const char*> cases[] = {
        {"<geometry version=\"0.8\">\n<rooms>\n<room>\n</geometry>\n", "g.xml, line 4: broken XML"},
        {"<geometry version=\"0.8\"><rooms/></geometry>", "g.xml: no walls"},
        {"<geometry unit=\"ft\"/>", "g.xml: the unit \"ft\" is neither m nor cm"},
        {"<geometry><rooms><room><subroom><polygon><vertex px=\"a\" py=\"0\"/><vertex px=\"1\" "
         "py=\"0\"/></polygon></subroom></room></rooms></geometry>",
         "g.xml: a vertex has no number px (\"a\")"},
        {"<geometry><rooms><room><subroom><polygon><vertex py=\"0\"/><vertex px=\"1\" "
         "py=\"0\"/></polygon></subroom></room></rooms></geometry>",
         "g.xml: a vertex has no number px"},
        {"<floor/>", "g.xml: no <geometry> element"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text);
        try {
            ParseJuPedSimGeometry(text, "g.xml");
            ADD_FAILURE() << "accepted";
        } catch (const TImportError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

}  // namespace
}  // namespace orlex::import
