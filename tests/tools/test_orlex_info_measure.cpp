// orlex-info --analysis with exits and measurements: the measurement file beside the
// project or named by --measure, the figures in the JSON and the text, and the
// messages for entries it cannot use.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>
#include <string>

#include "command.h"
#include "projects.h"
#include "tempfolder.h"

namespace {

namespace fs = std::filesystem;

struct TRun {
    int Code = -1;
    std::string Out;
};

TRun RunInfo(const std::string& args, bool withErrors = false) {
    const orlex::test::TCommandRun run =
        orlex::test::RunCommand(std::string("'") + ORLEX_INFO_EXE + "' " + args, withErrors);
    return {run.Code, run.Output};
}

// A room of 6 x 4 cells emptying through the cell at column 3, row 1: person i waits
// i seconds at column 1, then walks two cells east and is saved a second later.
class OrlexInfoMeasure : public orlex::test::TTempFolderTest {
protected:
    void SetUp() override {
        TTempFolderTest::SetUp();
        std::vector<std::string> tracks;
        for (int i = 0; i < 12; ++i)
            tracks.push_back((i > 0 ? "P" + std::to_string(i) + "x0" : "") + "33S");
        Project_ = Write("room.3dl", orlex::test::ProjectText({"Main deck"}, 1, tracks));
    }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    QJsonObject Analysis(const std::string& extra = "") {
        const TRun run = RunInfo("--json --analysis '" + Project_ + "' " + extra);
        EXPECT_EQ(run.Code, 0) << run.Out;
        return QJsonDocument::fromJson(QByteArray::fromStdString(run.Out))
            .object()["analysis"]
            .toObject();
    }

    std::string Project_;
};

// The door line at x = 1.2 m between columns 2 and 3 over the whole room, and the
// square of columns 1 and 2, rows 1 and 2 (0.64 m²).
constexpr const char* kMeasures =
    R"({"lines": [{"name": "Door", "deck": 0, "from": [1.2, 0.0], "to": [1.2, 1.6]}],
        "areas": [{"name": "Before the door", "deck": 0,
                   "polygon": [[0.4, 0.4], [1.2, 0.4], [1.2, 1.2], [0.4, 1.2]]}]})";

TEST_F(OrlexInfoMeasure, FileBesideTheProject) {
    Write("room.3dl.measure.json", kMeasures);
    const QJsonObject a = Analysis();
    EXPECT_EQ(a["flowWindow"].toDouble(), 10);

    const QJsonArray exits = a["exits"].toArray();
    ASSERT_EQ(exits.size(), 1);
    const QJsonObject exit = exits[0].toObject();
    EXPECT_EQ(exit["name"].toString(), "Exit at x 1.4 m, y 1.0 m, Main deck");
    EXPECT_EQ(exit["deck"].toInt(-1), 0);
    EXPECT_EQ(exit["cells"], (QJsonArray{QJsonArray{1, 3}}));
    EXPECT_DOUBLE_EQ(exit["width"].toDouble(), 0.4);
    EXPECT_EQ(exit["persons"].toInt(), 12);
    EXPECT_EQ(exit["first"].toDouble(), 3);
    EXPECT_EQ(exit["last"].toDouble(), 14);
    EXPECT_DOUBLE_EQ(exit["peakFlow"].toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(exit["peakSpecificFlow"].toDouble(), 2.5);
    EXPECT_EQ(exit["aboveLimit"], QJsonValue(true));

    const QJsonArray lines = a["lines"].toArray();
    ASSERT_EQ(lines.size(), 1);
    const QJsonObject door = lines[0].toObject();
    EXPECT_EQ(door["name"].toString(), "Door");
    EXPECT_EQ(door["crossingTimes"], (QJsonArray{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_DOUBLE_EQ(door["peakFlow"].toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(door["peakSpecificFlow"].toDouble(), 1.0 / 1.6);

    const QJsonArray areas = a["areas"].toArray();
    ASSERT_EQ(areas.size(), 1);
    const QJsonObject area = areas[0].toObject();
    EXPECT_NEAR(area["area"].toDouble(), 0.64, 1e-12);
    const QJsonArray series = area["series"].toArray();
    ASSERT_EQ(series.size(), 14);  // steps 0 to 13
    EXPECT_EQ(series[0].toObject()["t"].toDouble(), 0);
    EXPECT_NEAR(series[0].toObject()["density"].toDouble(), 12 / 0.64, 1e-9);
    EXPECT_TRUE(series[0].toObject()["speed"].isNull());
    // At step 1 all are still inside; over steps 0 to 2 the first walks two cells (0.4
    // m/s), the second one (0.2 m/s), the others stand.
    EXPECT_NEAR(series[1].toObject()["density"].toDouble(), 12 / 0.64, 1e-9);
    EXPECT_NEAR(series[1].toObject()["speed"].toDouble(), (0.4 + 0.2) / 12, 1e-12);
    EXPECT_NEAR(series[1].toObject()["flow"].toDouble(), 12 / 0.64 * (0.4 + 0.2) / 12, 1e-12);
    EXPECT_TRUE(series[0].toObject()["flow"].isNull());

    const QJsonArray clear = a["clearTimes"].toArray();
    ASSERT_EQ(clear.size(), 1);
    EXPECT_EQ(clear[0].toObject()["time"].toDouble(), 14);
    EXPECT_EQ(clear[0].toObject()["lastStep"].toInt(), 13);
}

TEST_F(OrlexInfoMeasure, MeasureOptionNamesAnotherFile) {
    Write("room.3dl.measure.json", kMeasures);
    const std::string other =
        Write("other.json",
              R"({"lines": [{"name": "West", "deck": 0, "from": [0.8, 0], "to": [0.8, 1.6]}]})");
    const QJsonObject a = Analysis("--measure '" + other + "'");
    ASSERT_EQ(a["lines"].toArray().size(), 1);
    EXPECT_EQ(a["lines"].toArray()[0].toObject()["name"].toString(), "West");
    EXPECT_EQ(a["areas"].toArray().size(), 0);
    // Without a measurement file: the exits and clear times, no lines or areas.
    fs::remove(Path("room.3dl.measure.json"));
    const QJsonObject plain = Analysis();
    EXPECT_EQ(plain["exits"].toArray().size(), 1);
    EXPECT_EQ(plain["lines"].toArray().size(), 0);
}

TEST_F(OrlexInfoMeasure, BadEntriesAreNamedAndTheRestIsUsed) {
    const std::string file =
        Write("room.3dl.measure.json",
              R"({"lines": [{"name": "Zero", "deck": 0, "from": [1, 1], "to": [1, 1]},
                      {"name": "Upstairs", "deck": 3, "from": [1, 0], "to": [1, 1]},
                      {"name": "Door", "deck": 0, "from": [1.2, 0.0], "to": [1.2, 1.6]}]})");
    const TRun run = RunInfo("--analysis '" + Project_ + "'", true);
    EXPECT_EQ(run.Code, 0);
    EXPECT_NE(run.Out.find(file + ": line 1 (\"Zero\"): the line has zero length"),
              std::string::npos)
        << run.Out;
    EXPECT_NE(run.Out.find(file + ": line 2 (\"Upstairs\"): deck 3 does not exist (the project "
                                  "has 1 deck)"),
              std::string::npos)
        << run.Out;
    EXPECT_NE(run.Out.find("Line:      Door (Main deck): 12 persons crossing, peak flow 1.00 "
                           "persons/s, 0.62 persons/(m·s)"),
              std::string::npos)
        << run.Out;
    EXPECT_NE(run.Out.find("  * Exit at x 1.4 m, y 1.0 m, Main deck: width 0.40 m, 12 persons "
                           "from 3 to 14 s, peak flow 1.00 persons/s, 2.50 persons/(m·s)"),
              std::string::npos)
        << run.Out;
    EXPECT_NE(run.Out.find("Clear:     Main deck at 14 s\n"), std::string::npos) << run.Out;
}

TEST_F(OrlexInfoMeasure, FilesThatCannotBeRead) {
    // Not JSON beside the project: named, and the analysis goes on without it.
    const std::string beside = Write("room.3dl.measure.json", R"({"lines": [NaN]})");
    TRun run = RunInfo("--analysis '" + Project_ + "'", true);
    EXPECT_EQ(run.Code, 0);
    EXPECT_NE(run.Out.find(beside + ": not a valid JSON file"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("Exits:     1"), std::string::npos) << run.Out;
    // A named file that is missing is an error.
    const std::string missing = Path("none.json");
    run = RunInfo("--analysis '" + Project_ + "' --measure '" + missing + "'", true);
    EXPECT_EQ(run.Code, 1);
    EXPECT_NE(run.Out.find(missing + ": cannot be opened"), std::string::npos) << run.Out;
    // The flow window is checked as the other settings.
    run = RunInfo("--analysis '" + Project_ + "' --flow-window 0", true);
    EXPECT_EQ(run.Code, 2);
    EXPECT_NE(run.Out.find("--flow-window: The flow window must be a number from 1 to 600"),
              std::string::npos)
        << run.Out;
    run = RunInfo("--help");
    EXPECT_NE(run.Out.find("--measure <FILE>"), std::string::npos);
    EXPECT_NE(run.Out.find("--flow-window <seconds>"), std::string::npos);
}

}  // namespace
