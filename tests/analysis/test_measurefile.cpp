// The measurement file: what is read, what is refused with which message, and a
// write that is whole or nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "measurefile.h"
#include "tempfolder.h"

namespace orlex {
namespace {

constexpr const char* kFile = "ship.3dl.measure.json";

std::string Joined(const std::vector<std::string>& problems) {
    std::string s;
    for (const auto& p : problems) s += p + "\n";
    return s;
}

TEST(MeasureFile, ReadsTheExampleOfTheReadme) {
    const std::string text =
        R"({"lines": [{"name": "Door A", "deck": 0, "from": [12.0, 3.2], "to": [13.6, 3.2]}],
 "areas": [{"name": "Before the door", "deck": 0,
            "polygon": [[10.0, 1.0], [16.0, 1.0], [16.0, 3.0], [10.0, 3.0]]}]})";
    TMeasureSet set;
    std::vector<std::string> problems;
    ASSERT_TRUE(ParseMeasureText(text, kFile, set, problems));
    EXPECT_TRUE(problems.empty()) << Joined(problems);
    ASSERT_EQ(set.Lines.size(), 1u);
    EXPECT_EQ(set.Lines[0], (TMeasureLine{"Door A", 0, {12.0, 3.2}, {13.6, 3.2}}));
    ASSERT_EQ(set.Areas.size(), 1u);
    EXPECT_EQ(set.Areas[0].Name, "Before the door");
    EXPECT_EQ(set.Areas[0].Polygon.size(), 4u);
}

// Each bad entry is left out with a message naming the file and the entry; the good
// entry beside it is still read.
struct TBadEntry {
    const char* Entry;  // one entry of "lines" or "areas"
    bool Area;
    const char* Message;
};

class MeasureFileBadEntry : public ::testing::TestWithParam<TBadEntry> {};

TEST_P(MeasureFileBadEntry, IsLeftOutWithAMessage) {
    const TBadEntry& c = GetParam();
    const std::string good =
        c.Area ? R"({"name": "Good", "deck": 0, "polygon": [[0, 0], [1, 0], [1, 1]]})"
               : R"({"name": "Good", "deck": 0, "from": [0, 0], "to": [1, 0]})";
    const std::string text =
        std::string("{\"") + (c.Area ? "areas" : "lines") + "\": [" + good + ", " + c.Entry + "]}";
    TMeasureSet set;
    std::vector<std::string> problems;
    ASSERT_TRUE(ParseMeasureText(text, kFile, set, problems));
    ASSERT_EQ(problems.size(), 1u) << Joined(problems);
    EXPECT_EQ(problems[0], c.Message);
    EXPECT_EQ((c.Area ? set.Areas.size() : set.Lines.size()), 1u);
    EXPECT_EQ((c.Area ? set.Lines.size() : set.Areas.size()), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, MeasureFileBadEntry,
    ::testing::Values(
        TBadEntry{R"({"name": "Door A", "deck": 0, "from": [1, 2], "to": [1, 2]})", false,
                  "ship.3dl.measure.json: line 2 (\"Door A\"): the line has zero length"},
        TBadEntry{R"({"name": "Door A", "deck": 0, "from": [1, 2], "to": [3, 2], "width": 1})",
                  false, "ship.3dl.measure.json: line 2 (\"Door A\"): unknown field \"width\""},
        TBadEntry{R"({"name": "Door A", "deck": 0, "from": [1, 2]})", false,
                  "ship.3dl.measure.json: line 2 (\"Door A\"): lacks the field \"to\""},
        TBadEntry{R"({"name": "Door A", "deck": 0.5, "from": [1, 2], "to": [3, 2]})", false,
                  "ship.3dl.measure.json: line 2 (\"Door A\"): \"deck\" is not a deck index (0, "
                  "1, 2, ...)"},
        TBadEntry{R"({"name": "Door A", "deck": -1, "from": [1, 2], "to": [3, 2]})", false,
                  "ship.3dl.measure.json: line 2 (\"Door A\"): \"deck\" is not a deck index (0, "
                  "1, 2, ...)"},
        TBadEntry{R"({"name": "Door A", "deck": 0, "from": [1, "2"], "to": [3, 2]})", false,
                  "ship.3dl.measure.json: line 2 (\"Door A\"): \"from\" holds a value that is not "
                  "a finite number"},
        TBadEntry{R"({"name": "Door A", "deck": 0, "from": [1, 2, 3], "to": [3, 2]})", false,
                  "ship.3dl.measure.json: line 2 (\"Door A\"): \"from\" is not a pair of numbers "
                  "[x, y]"},
        TBadEntry{R"({"name": 7, "deck": 0, "from": [1, 2], "to": [3, 2]})", false,
                  "ship.3dl.measure.json: line 2: \"name\" is not a string"},
        TBadEntry{R"([1, 2])", false, "ship.3dl.measure.json: line 2: is not an object"},
        // A bow tie crosses itself.
        TBadEntry{R"({"name": "Landing", "deck": 1, "polygon": [[0, 0], [2, 2], [2, 0], [0, 2]]})",
                  true,
                  "ship.3dl.measure.json: area 2 (\"Landing\"): the polygon intersects itself"},
        // A corner touching an edge that is not its neighbour.
        TBadEntry{R"({"name": "Landing", "deck": 1,
                      "polygon": [[0, 0], [4, 0], [4, 4], [2, 0], [0, 4]]})",
                  true,
                  "ship.3dl.measure.json: area 2 (\"Landing\"): the polygon intersects itself"},
        // Neighbouring edges folding back over each other.
        TBadEntry{R"({"name": "Landing", "deck": 1, "polygon": [[0, 0], [4, 0], [2, 0], [2, 3]]})",
                  true,
                  "ship.3dl.measure.json: area 2 (\"Landing\"): the polygon intersects itself"},
        TBadEntry{R"({"name": "Landing", "deck": 1, "polygon": [[0, 0], [4, 0]]})", true,
                  "ship.3dl.measure.json: area 2 (\"Landing\"): the polygon has fewer than 3 "
                  "corners"},
        TBadEntry{R"({"name": "Landing", "deck": 1, "polygon": [[0, 0], [1, 1], [2, 2]]})", true,
                  "ship.3dl.measure.json: area 2 (\"Landing\"): the polygon has no area"},
        TBadEntry{R"({"name": "Landing", "deck": 1, "polygon": [[0, 0], [4, 0], [4, 0], [0, 4]]})",
                  true,
                  "ship.3dl.measure.json: area 2 (\"Landing\"): the polygon repeats corner 2"}));

// Texts that are not a measurement file at all: nothing is read.
TEST(MeasureFile, RefusesTextsThatAreNoMeasurementFile) {
    const struct {
        const char* Text;
        const char* Message;
    } cases[] = {
        {"", "ship.3dl.measure.json: not a valid JSON file"},
        {R"({"lines": [{"name": "A", "deck": 0, "from": [NaN, 0], "to": [1, 0]}]})",
         "ship.3dl.measure.json: not a valid JSON file"},
        {R"({"lines": [{"name": "A", "deck": 0, "from": [1e999, 0], "to": [1, 0]}]})",
         "ship.3dl.measure.json: not a valid JSON file"},
        {R"({"lines": [)", "ship.3dl.measure.json: not a valid JSON file"},
        {R"([1, 2])", "ship.3dl.measure.json: not an object of \"lines\" and \"areas\""},
        {R"({"lines": {"name": "A"}})", "ship.3dl.measure.json: \"lines\" is not a list"},
    };
    for (const auto& c : cases) {
        TMeasureSet set;
        set.Lines.push_back({"stale", 0, {0, 0}, {1, 1}});
        std::vector<std::string> problems;
        EXPECT_FALSE(ParseMeasureText(c.Text, kFile, set, problems)) << c.Text;
        EXPECT_TRUE(set.Empty()) << c.Text;
        ASSERT_EQ(problems.size(), 1u) << c.Text;
        EXPECT_EQ(problems[0], c.Message) << c.Text;
    }
}

TEST(MeasureFile, UnknownTopLevelFieldIsNamedAndTheRestRead) {
    TMeasureSet set;
    std::vector<std::string> problems;
    ASSERT_TRUE(ParseMeasureText(
        R"({"version": 2, "lines": [{"name": "A", "deck": 0, "from": [0, 0], "to": [1, 0]}]})",
        kFile, set, problems));
    EXPECT_EQ(set.Lines.size(), 1u);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], "ship.3dl.measure.json: unknown field \"version\" left out");
}

TEST(MeasureFile, AClosedRingLosesItsRepeatedCorner) {
    TMeasureSet set;
    std::vector<std::string> problems;
    ASSERT_TRUE(ParseMeasureText(
        R"({"areas": [{"name": "R", "deck": 0, "polygon": [[0, 0], [2, 0], [2, 1], [0, 1], [0, 0]]}]})",
        kFile, set, problems));
    ASSERT_EQ(set.Areas.size(), 1u);
    EXPECT_EQ(set.Areas[0].Polygon.size(), 4u);
}

// Entries off the project: decks that do not exist, points beyond the grid.
TEST(MeasureFile, ChecksTheEntriesAgainstTheProject) {
    TMetreFrame frame;  // 10 x 5 cells of 0.5 m: x 0 to 5 m, y 0 to 2.5 m
    frame.CellSize = 0.5;
    frame.Columns = 10;
    frame.Rows = 5;
    TMeasureSet set;
    set.Lines = {
        {"On", 1, {0, 0}, {5, 2.5}}, {"Deck 2", 2, {1, 1}, {2, 1}}, {"East", 0, {1, 1}, {5.2, 1}}};
    set.Areas = {{"In", 0, {{0, 0}, {1, 0}, {1, 1}}}, {"South", 1, {{0, 0}, {1, -0.1}, {1, 1}}}};
    std::vector<std::string> problems;
    CheckMeasuresOnProject(set, frame, 2, kFile, problems);
    ASSERT_EQ(set.Lines.size(), 1u);
    EXPECT_EQ(set.Lines[0].Name, "On");
    ASSERT_EQ(set.Areas.size(), 1u);
    EXPECT_EQ(set.Areas[0].Name, "In");
    ASSERT_EQ(problems.size(), 3u) << Joined(problems);
    EXPECT_EQ(problems[0],
              "ship.3dl.measure.json: line 2 (\"Deck 2\"): deck 2 does not exist (the project has "
              "2 decks)");
    EXPECT_EQ(problems[1],
              "ship.3dl.measure.json: line 3 (\"East\"): the point 5.2, 1 lies off the deck (x 0 "
              "to 5 m, y 0 to 2.5 m)");
    EXPECT_EQ(problems[2],
              "ship.3dl.measure.json: area 2 (\"South\"): the point 1, -0.1 lies off the deck (x 0 "
              "to 5 m, y 0 to 2.5 m)");
}

TEST(MeasureFile, PathBesideTheProject) {
    EXPECT_EQ(MeasureFilePathFor("runs/ship.3dl"), "runs/ship.3dl.measure.json");
}

class MeasureFileWrite : public test::TTempFolderTest {};

TEST_F(MeasureFileWrite, RoundTripsExactly) {
    TMeasureSet set;
    set.Lines = {{"Door \"A\"", 0, {12.0, 3.2}, {13.6, 3.2}},
                 {"Stair", 2, {0.1, 1e-3}, {-4, 7.25}}};
    set.Areas = {{"Before the door", 0, {{10.0, 1.0}, {16.0, 1.0}, {16.0, 3.0}, {10.0, 3.0}}},
                 {"Landing ü", 1, {{0.3, 0.7}, {1.1, 0.7}, {0.9, 2.0 / 3.0}}}};
    std::string error;
    const std::string path = Path("ship.3dl.measure.json");
    ASSERT_TRUE(WriteMeasureFile(path, set, error)) << error;
    TMeasureSet back;
    std::vector<std::string> problems;
    ASSERT_TRUE(ReadMeasureFile(path, back, problems));
    EXPECT_TRUE(problems.empty()) << Joined(problems);
    EXPECT_EQ(back, set);
    EXPECT_EQ(FilesLeft(), 1u);  // no temporary file stays behind

    // An empty set is a valid file too.
    ASSERT_TRUE(WriteMeasureFile(path, {}, error)) << error;
    ASSERT_TRUE(ReadMeasureFile(path, back, problems));
    EXPECT_TRUE(back.Empty());
}

TEST_F(MeasureFileWrite, FailureLeavesTheOldFileAndNoTemporary) {
    const std::string path = Path("ship.3dl.measure.json");
    {
        std::ofstream out(path);
        out << R"({"lines": [{"name": "Old", "deck": 0, "from": [0, 0], "to": [1, 0]}]})";
    }
    // A folder where the temporary file would go makes the write fail.
    std::filesystem::create_directory(path + ".tmp");
    TMeasureSet set;
    set.Lines = {{"New", 0, {0, 0}, {2, 0}}};
    std::string error;
    EXPECT_FALSE(WriteMeasureFile(path, set, error));
    EXPECT_NE(error.find(path), std::string::npos) << error;
    TMeasureSet back;
    std::vector<std::string> problems;
    ASSERT_TRUE(ReadMeasureFile(path, back, problems));
    ASSERT_EQ(back.Lines.size(), 1u);
    EXPECT_EQ(back.Lines[0].Name, "Old");

    // A missing folder: nothing is written anywhere.
    EXPECT_FALSE(WriteMeasureFile(Path("none/ship.3dl.measure.json"), set, error));
    EXPECT_EQ(FilesLeft(), 2u);
}

TEST_F(MeasureFileWrite, AMissingFileIsNamed) {
    TMeasureSet set;
    std::vector<std::string> problems;
    EXPECT_FALSE(ReadMeasureFile(Path("none.json"), set, problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], Path("none.json") + ": cannot be opened");
}

}  // namespace
}  // namespace orlex
