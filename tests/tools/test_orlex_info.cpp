// orlex-info as a user runs it: the summary, the JSON, --play and the exit codes.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "command.h"

namespace {

const std::string kExample = ORLEX_SOURCE_DIR "/samples/example.3dl";

struct TRun {
    int Code = -1;
    std::string Out;  // standard output; standard error too when asked for
};

// Runs orlex-info with args (already quoted for the shell).
TRun RunInfo(const std::string& args, bool withErrors = false) {
    const orlex::test::TCommandRun run =
        orlex::test::RunCommand(std::string("'") + ORLEX_INFO_EXE + "' " + args, withErrors);
    return {run.Code, run.Output};
}

QJsonObject Json(const std::string& args) {
    const TRun run = RunInfo("--json " + args);
    EXPECT_EQ(run.Code, 0) << args;
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.Out)).object();
}

TEST(OrlexInfo, Summary) {
    const TRun run = RunInfo("'" + kExample + "'");
    EXPECT_EQ(run.Code, 0);
    EXPECT_EQ(run.Out, "File:      " + kExample +
                           "\n"
                           "Header:    PMax 2, XMax 6, YMax 4, ZMax 1, VMax 2, TOff 30\n"
                           "Deck 0:    \"Main deck\", 24 cells, 27 polygons, reduction -12%, 1 "
                           "light\n"
                           "Persons:   2, 7 steps in all\n"
                           "All saved: at step 5, Time: 0:32 min\n");
}

TEST(OrlexInfo, JsonOfTheExample) {
    const QJsonObject root = Json("--persons '" + kExample + "'");
    const QJsonObject header = root["header"].toObject();
    EXPECT_EQ(header["PMax"].toInt(), 2);
    EXPECT_EQ(header["VMax"].toInt(), 2);
    EXPECT_EQ(header["TOff"].toInt(), 30);
    EXPECT_TRUE(root["messages"].toArray().isEmpty());
    const QJsonArray decks = root["decks"].toArray();
    ASSERT_EQ(decks.size(), 1);
    EXPECT_EQ(decks[0]["caption"].toString(), "Main deck");
    EXPECT_EQ(decks[0]["cellCount"].toInt(), 24);
    EXPECT_EQ(decks[0]["quadCount"].toInt(), 27);
    const QJsonArray persons = root["persons"].toArray();
    ASSERT_EQ(persons.size(), 2);
    EXPECT_EQ(persons[1]["stepCount"].toInt(), 3);
    EXPECT_EQ(persons[0]["startY"].toInt(), 1);
    const QJsonObject playback = root["playback"].toObject();
    EXPECT_EQ(playback["stepCounter"].toInt(), 0);
    EXPECT_EQ(playback["timeText"].toString(), "Time: 0:00 min");
    EXPECT_FALSE(playback["animating"].toBool());
    const QJsonArray report = root["report"].toArray();
    ASSERT_FALSE(report.isEmpty());
    EXPECT_EQ(report.last()["text"].toString(),
              "\tDeck 0 [cells, polygons, reduction]:\t24,\t27,\t-12%");
}

// The example plays 2 steps a second from 0:30; everybody is saved at step 5.
TEST(OrlexInfo, PlayItemsActAsTheViewersCommands) {
    struct Case {
        const char* Play;
        int Counter;
        int Saved;
        const char* Time;
        bool Animating;
    } cases[] = {
        {"@3", 3, 0, "Time: 0:31 min", false},
        {"@4", 4, 1, "Time: 0:32 min", false},
        {"@99", 99, 2, "Time: 1:19 min", false},
        {"+3,@0", 0, 0, "Time: 0:30 min", false},
        {"@4,-1,+2", 5, 2, "Time: 0:32 min", false},
        {"+3,r", 0, 0, "Time: 0:00 min", false},
        {"+1,b", 0, 0, "Time: 0:30 min", false},
        {"+3,b", 2, 0, "Time: 0:31 min", false},
        // The second is completed by a timer step, which finds everybody saved and
        // goes back to the start; then there is nothing to go back.
        {"+5,b", 0, 0, "Time: 0:00 min", false},
        {"@5,b", 0, 0, "Time: 0:00 min", false},
        {"p", 0, 0, "Time: 0:00 min", true},
        {"+1,p", 1, 0, "Time: 0:30 min", true},
        {"+1,p,p", 2, 0, "Time: 0:31 min", false},
        {"p,+3,b", 2, 0, "Time: 0:31 min", false},
        {"p,t,@1,f,-1,r", 0, 0, "Time: 0:00 min", true},
        {"f,f", 4, 1, "Time: 0:32 min", false},
    };
    for (const Case& c : cases) {
        const QJsonObject playback =
            Json(std::string("--play '") + c.Play + "' '" + kExample + "'")["playback"].toObject();
        EXPECT_EQ(playback["stepCounter"].toInt(), c.Counter) << c.Play;
        EXPECT_EQ(playback["savedCount"].toInt(), c.Saved) << c.Play;
        EXPECT_EQ(playback["timeText"].toString().toStdString(), c.Time) << c.Play;
        EXPECT_EQ(playback["animating"].toBool(), c.Animating) << c.Play;
    }
}

TEST(OrlexInfo, SeekPutsThePersonsWhereStepsDo) {
    for (int k = 0; k <= 6; ++k) {
        const std::string file = " '" + kExample + "'";
        const QJsonValue sought = Json("--persons --play @" + std::to_string(k) + file)["persons"];
        const QJsonValue stepped =
            Json("--persons --play r,+" + std::to_string(k) + file)["persons"];
        EXPECT_EQ(sought, stepped) << "step counter " << k;
    }
}

TEST(OrlexInfo, ExitCodes) {
    struct Case {
        std::string Args;
        int Code;
        const char* Says;  // part of what is written
    } cases[] = {
        {"'" + kExample + "'", 0, "All saved"},
        {"--play @2,p,b '" + kExample + "'", 0, "All saved"},
        {"'" + kExample + ".missing'", 1, "Cannot open file"},
        {"/dev/null", 1, "/dev/null is not a 3D log file: no <header> found"},
        {"--analysis /dev/null", 1, "is not a 3D log file"},
        {"", 2, "exactly one file expected"},
        {"'" + kExample + "' '" + kExample + "'", 2, "exactly one file expected"},
        {"--bogus '" + kExample + "'", 2, "Unknown option 'bogus'"},
        {"--play '" + kExample + "'", 2, "exactly one file expected"},
        {"--play x '" + kExample + "'", 2, "malformed --play sequence: x"},
        {"--play @ '" + kExample + "'", 2, "malformed"},
        {"--play @-1 '" + kExample + "'", 2, "malformed"},
        {"--play @1x '" + kExample + "'", 2, "malformed"},
        {"--play +99999999999 '" + kExample + "'", 2, "malformed"},
    };
    for (const Case& c : cases) {
        const TRun run = RunInfo(c.Args, true);
        EXPECT_EQ(run.Code, c.Code) << c.Args;
        EXPECT_NE(run.Out.find(c.Says), std::string::npos) << c.Args << "\n" << run.Out;
    }
}

// The example cut inside its second track: the analysis calls the run incomplete,
// gives no evacuation time and the exit times of the first person only.
// Values after '=' or a space mean the same; the usage errors name the option and
// exit with 2; --help and --version go to standard output.
TEST(OrlexInfo, OptionSyntax) {
    const std::string file = " '" + kExample + "'";
    const TRun spaced = RunInfo("--json --analysis --window 3 --play +2" + file);
    const TRun joined = RunInfo("--json --analysis --window=3 --play=+2" + file);
    EXPECT_EQ(spaced.Code, 0);
    EXPECT_EQ(joined.Out, spaced.Out);
    EXPECT_NE(joined.Out.find("\"stepCounter\": 2,"), std::string::npos) << joined.Out;

    struct Case {
        std::string Args;
        int Code;
        const char* Says;
    } cases[] = {
        {"--analysis" + file + " --window", 2, "orlex-info: Missing value after '--window'.\n"},
        {"--json=1" + file, 2, "orlex-info: Unexpected value after '--json'.\n"},
        {"--bogus --other=1" + file, 2, "orlex-info: Unknown options: bogus, other.\n"},
        {"--window=4 --analysis" + file, 2, "orlex-info: --window: "},
        {"--version", 0, "orlex-info 1."},
        {"-h", 0,
         "\n  --play <sequence>             Apply playback commands after loading, as the\n"},
        {"-- --json", 1, "Cannot open file"},
    };
    for (const Case& c : cases) {
        const TRun run = RunInfo(c.Args, true);
        EXPECT_EQ(run.Code, c.Code) << c.Args;
        EXPECT_NE(run.Out.find(c.Says), std::string::npos) << c.Args << "\n" << run.Out;
    }
    EXPECT_EQ(RunInfo("--help").Out.rfind("Usage: ", 0), 0u);  // on standard output
}

TEST(OrlexInfo, AnalysisOfACutFile) {
    std::ifstream in(kExample, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    text.resize(text.rfind("P3x3S") + 3);
    const std::string path =
        (std::filesystem::path(testing::TempDir()) / "orlex_info_cut.3dl").string();
    std::ofstream(path, std::ios::binary) << text;

    const TRun run = RunInfo("--analysis '" + path + "'");
    EXPECT_EQ(run.Code, 0);
    EXPECT_NE(run.Out.find("Analysis:  run incomplete (1 of 2 tracks cut by the end of the file "
                           "or missing; exit times of the other 1); evacuation time unknown "
                           "(duration 2.5 s); exit times min 32.5, mean 32.5, p50 32.5, p95 "
                           "32.5, max 32.5 s\n"),
              std::string::npos)
        << run.Out;

    const QJsonObject analysis = Json("--analysis '" + path + "'")["analysis"].toObject();
    EXPECT_EQ(analysis["complete"], QJsonValue(false));
    EXPECT_EQ(analysis["cutTracks"].toInt(), 1);
    EXPECT_TRUE(analysis["evacuationTime"].isNull());
    EXPECT_EQ(analysis["exitTimes"].toObject()["max"].toDouble(), 32.5);
    EXPECT_EQ(analysis["exitTimePerPerson"], (QJsonArray{32.5, QJsonValue::Null}));

    const QJsonObject whole = Json("--analysis '" + kExample + "'")["analysis"].toObject();
    EXPECT_EQ(whole["complete"], QJsonValue(true));
    EXPECT_EQ(whole["cutTracks"].toInt(), 0);
    EXPECT_EQ(whole["evacuationTime"].toDouble(), 32.5);
    std::filesystem::remove(path);
}

// The analysis names decks by their captions ("Deck 0" for a deck without one); the
// JSON gives deck numbers from 0 with the caption beside them, the file, and every
// person's exit time.
TEST(OrlexInfo, AnalysisNamesDecksByCaption) {
    std::ifstream in(kExample, std::ios::binary);
    const std::string example((std::istreambuf_iterator<char>(in)), {});
    const struct {
        const char* name;
        const char* caption;  // replaces "Main deck"
        const char* label;    // in the text
    } cases[] = {
        {"plain", "Main deck", "Main deck"},
        {"comma and quotes", "Deck 2 - \"Muster\", aft", "Deck 2 - \"Muster\", aft"},
        {"no caption", "", "Deck 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = example;
        text.replace(text.find("Main deck"), 9, c.caption);
        const std::string path =
            (std::filesystem::path(testing::TempDir()) / "orlex info decks.3dl").string();
        std::ofstream(path, std::ios::binary) << text;

        const TRun run = RunInfo("--analysis '" + path + "'");
        EXPECT_EQ(run.Code, 0);
        const std::string label = c.label;
        EXPECT_NE(run.Out.find("Density:   peak 0.5 persons/m² on " + label +
                               ", row 0, column 0, at 30 s\n"),
                  std::string::npos)
            << run.Out;
        EXPECT_NE(run.Out.find("for more than 10 % of the time (" + label + ": 0)\n"),
                  std::string::npos)
            << run.Out;

        const QJsonObject analysis = Json("--analysis '" + path + "'")["analysis"].toObject();
        EXPECT_EQ(analysis["file"].toString().toStdString(), path);
        EXPECT_EQ(analysis["fileName"].toString(), "orlex info decks.3dl");
        EXPECT_EQ(analysis["deckCaptions"], QJsonArray{QString::fromUtf8(c.caption)});
        EXPECT_EQ(analysis["exitTimePerPerson"], (QJsonArray{32.5, 32}));
        const QJsonObject peak = analysis["density"].toObject()["peak"].toObject();
        EXPECT_EQ(peak["deck"].toInt(-1), 0);
        EXPECT_EQ(peak["deckCaption"].toString(), QString::fromUtf8(c.caption));
        std::filesystem::remove(path);
    }
}

}  // namespace
