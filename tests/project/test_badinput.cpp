// Malformed files: every one is read to the end without a crash, with a clear
// message, and the project stays usable.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "../../fuzz/fuzzdriver.h"
#include "projects.h"

using namespace orlex::test;

namespace orlex {
namespace {

constexpr const char* kIncomplete = "File is incomplete, which might lead to errors.";

int CountText(const TRecorder& r, const std::string& text) {
    int n = 0;
    for (const TMessage& m : r.Messages) n += m.Text == text ? 1 : 0;
    return n;
}

// Playing a project must work whatever the loader made of the file.
void Exercise(TLogFile1& project) {
    TPlayback pb;
    TRecorder rec;
    pb.SetProject(&project);
    pb.SetMessages(&rec);
    for (int i = 0; i < 6; ++i) pb.TimerTick();
    pb.BackwardSecond();
    pb.ResetToStart();
    project.ReportTo(rec);
}

// The example cut after every byte: inside every section and every record.
TEST(BadInput, TruncatedAnywhere) {
    const std::string full = kExampleFile;
    const std::size_t headerEnd = full.find("</header>") + 9;
    const std::size_t deckBody = full.find("<deck>") + 6;
    const std::size_t personsAt = full.find("<persons>");
    for (std::size_t n = 0; n < full.size(); ++n) {
        TLoaded l = LoadText(full.substr(0, n));
        const int incomplete = CountText(l.Recorder, kIncomplete);
        EXPECT_LE(incomplete, 1) << "cut at " << n;
        if ((n >= 8 && n < headerEnd) || (n >= deckBody && n < personsAt - 1)) {
            // Inside the header or the deck section: the loss is reported.
            EXPECT_EQ(incomplete, 1) << "cut at " << n;
        }
        Exercise(*l.Project);
    }
}

TEST(BadInput, TruncatedSectionsKeepWhatWasRead) {
    struct Case {
        const char* name;
        std::string text;
    } cases[] = {
        {"deck",
         "<header> pmax 1 xmax 2 ymax 2 zmax 1 vmax 1 </header> <deck> level 0 caption A\n"},
        {"cells",
         "<header> pmax 1 xmax 2 ymax 2 zmax 1 vmax 1 </header> <deck> level 0 caption A\n"
         "(celldata) 0 0 1"},
        {"run",
         "<header> pmax 1 xmax 2 ymax 2 zmax 1 vmax 1 </header> <deck> level 0 caption A\n"
         "(celldata) P12"},
        {"persons", "<header> pmax 1 xmax 2 ymax 2 zmax 1 vmax 1 </header> <persons>"},
        {"starts",
         "<header> pmax 2 xmax 2 ymax 2 zmax 1 vmax 1 </header> <persons> "
         "<startpositions> 0 0 0 3 0 1 1"},
        {"track",
         "<header> pmax 1 xmax 2 ymax 2 zmax 1 vmax 1 </header> <persons> "
         "<startpositions> 0 0 0 3 0 (movement) 3 3 P4"},
    };
    for (const Case& c : cases) {
        TLoaded l = LoadText(c.text);
        EXPECT_EQ(CountText(l.Recorder, kIncomplete), 1) << c.name;
        Exercise(*l.Project);
    }
    TLoaded cells = LoadText(cases[1].text);
    EXPECT_EQ(cells.Project->GetDeckCaption(0), "A");
    EXPECT_EQ(cells.Project->Decks[0].CellCount, 3);
    EXPECT_EQ(cells.Project->Decks[0].QuadCount(), 7);  // quad lists are still built
    TLoaded track = LoadText(cases[5].text);
    EXPECT_EQ(track.Project->Persons[0].StepCount, 2);
}

TEST(BadInput, ShortRecordListsStopAtTheNextTag) {
    const std::string text =
        "<header> pmax 3 xmax 2 ymax 1 zmax 1 vmax 1 </header>\n<deck> level 0 (celldata) 0\n"
        "</deck>\n<persons>\n<startpositions>\n0 0 0 3 4\n(movement)\n33S\n</persons>\n"
        "<deck> caption After\n level 0 </deck>";
    TLoaded l = LoadText(text);
    EXPECT_EQ(CountText(l.Recorder, "The start positions hold records for only 1 of 3 persons."),
              1);
    EXPECT_EQ(CountText(l.Recorder, "The movement data holds tracks for only 1 of 3 persons."), 1);
    EXPECT_EQ(CountText(l.Recorder, kIncomplete), 0);
    EXPECT_EQ(l.Project->Persons[0].StepCount, 2);
    EXPECT_EQ(l.Project->Persons[0].Tag, 4);
    EXPECT_EQ(l.Project->Persons[1].StepCount, 0);
    EXPECT_EQ(l.Project->Persons[1].Level, -1) << "no start record: not on any deck";
    EXPECT_EQ(l.Project->GetDeckCaption(0), "After") << "the rest of the file is still read";
    Exercise(*l.Project);

    TLoaded rows = LoadText(
        "<header> pmax 1 xmax 2 ymax 3 zmax 1 vmax 1 </header> <deck> level 0 caption C\n"
        "(celldata) 11 </deck> <persons> <startpositions> 0 0 0 3 0 </persons>");
    EXPECT_EQ(
        CountText(rows.Recorder, "The cell data of a deck ends before all its rows were given."),
        1);
    EXPECT_EQ(rows.Project->GetDeckCaption(0), "C");
    EXPECT_EQ(rows.Project->Persons[0].Heading, 3);
}

TEST(BadInput, RunCountCutShortByATag) {
    TLoaded l = LoadText(
        "<header> pmax 2 xmax 4 ymax 1 zmax 1 vmax 1 </header> <deck> level 0 caption K\n"
        "(celldata) 11P3 </deck> <persons> <startpositions> 0 0 0 3 0 1 0 0 3 0 (movement) "
        "33P4 </persons> <deck> level 0 caption Again\n </deck>");
    EXPECT_EQ(l.Project->Decks[0].CellCount, 2);
    EXPECT_EQ(l.Project->GetDeckCaption(0), "Again") << "the tags after the cut still count";
    EXPECT_EQ(l.Project->Persons[0].StepCount, 2);
    EXPECT_EQ(CountText(l.Recorder, "The cell data of a deck ends before all its rows were given."),
              1);
    EXPECT_EQ(CountText(l.Recorder, "The movement data holds tracks for only 1 of 2 persons."), 1);
    EXPECT_EQ(CountText(l.Recorder, kIncomplete), 0);
}

TEST(BadInput, AbsurdSizesAreRefused) {
    struct Case {
        const char* header;
        const char* message;
        int decks, persons;
    } cases[] = {
        {"pmax 33554433 xmax 2 ymax 2 zmax 1 vmax 1",
         "The number of persons (pmax 33554433) exceeds the limit of 33554432. The persons are "
         "not loaded.",
         1, 0},
        {"pmax 1 xmax 65536 ymax 65536 zmax 1 vmax 1",
         "The decks would hold 4294967296 cells (xmax x ymax x zmax), more than the limit of "
         "1073741824. The decks are not loaded.",
         0, 1},
        {"pmax 1 xmax 2147483647 ymax 2147483647 zmax 2147483647 vmax 1", nullptr, 0, 1},
        {"pmax 1 xmax 1 ymax 1 zmax 70000 vmax 1",
         "The number of decks (zmax 70000) exceeds the limit of 65536. The decks are not loaded.",
         0, 1},
        {"pmax 99999999999999 xmax 1 ymax 1 zmax 1 vmax 1", nullptr, 1, 0},
    };
    for (const Case& c : cases) {
        TLoaded l = LoadText(std::string("<header> ") + c.header +
                             " </header> <deck> level 0 (celldata) 0 </deck>");
        EXPECT_EQ(l.Project->DeckCount(), c.decks) << c.header;
        EXPECT_EQ(l.Project->PersonCount(), c.persons) << c.header;
        bool found = false;
        for (const TMessage& m : l.Recorder.Messages) {
            if (m.Caption != "Error") continue;
            found = true;
            if (c.message) {
                EXPECT_EQ(m.Text, c.message);
            }
        }
        EXPECT_TRUE(found) << c.header;
        Exercise(*l.Project);
    }
}

TEST(BadInput, HugeCountsAreCutOnce) {
    TLoaded l = LoadText(
        "<header> pmax 1 xmax 3 ymax 1 zmax 1 vmax 1 </header> <deck> level 0 (celldata) "
        "P99999999999999999999x1 </deck> <persons> <startpositions> 0 0 0 3 0 (movement) "
        "P2147483000x0 P99999x3 P99999x3 S </persons>");
    EXPECT_EQ(l.Project->Decks[0].CellCount, 3);
    EXPECT_EQ(l.Project->Persons[0].StepCount, 2147483647);
    EXPECT_EQ(CountText(l.Recorder,
                        "A count in the cell or movement data is too large; it was cut to fit."),
              1);
    TPlayback pb;
    pb.SetProject(l.Project.get());
    pb.StepForward();
    EXPECT_EQ(pb.SavedCount, 0);
}

TEST(BadInput, GarbageNulsAndOddCounts) {
    std::string garbage =
        "<header> pmax 2 xmax 3 ymax 2 zmax 1 vmax 1 </header> <deck> level 0 "
        "(celldata) P1a2x1 \x01\x02\x03";
    garbage += std::string("\0\0\0", 3);
    garbage += "P3x0 </deck> <persons> <startpositions> 0 0 0 9 0 x y z (movement) ~~PzzxS";
    garbage += std::string("\xff\xfe\0<", 4);
    TLoaded l = LoadText(garbage);
    EXPECT_EQ(CountText(l.Recorder,
                        "A packed run in the cell or movement data has a count that is not a "
                        "decimal number; the run was skipped."),
              1);
    Exercise(*l.Project);
}

TEST(BadInput, NegativeAndZeroSizes) {
    for (const char* header :
         {"pmax -5 xmax -3 ymax 4 zmax 2 vmax -1 toff -100", "pmax 2 xmax 4 ymax 0 zmax 1 vmax 0",
          "pmax 1 xmax 1 ymax 1 zmax -1"}) {
        TLoaded l = LoadText(std::string("<header> ") + header +
                             " </header> <deck> level 0 (celldata) 0000 </deck> <persons> "
                             "<startpositions> 0 0 0 1 0 1 1 0 1 0 (movement) 3S 7S </persons>");
        Exercise(*l.Project);
        for (int i = 0; i < l.Project->DeckCount(); ++i)
            EXPECT_EQ(l.Project->Decks[i].QuadCount(), 0);
    }
}

TEST(BadInput, LevelsOutOfRangeAndMissing) {
    TLoaded l = LoadText(
        "<header> pmax 1 xmax 1 ymax 1 zmax 2 vmax 1 </header>"
        " <deck> caption NoLevel\n (celldata) 1 </deck>"
        " <deck> level -4 caption Neg\n (celldata) 1 </deck>"
        " <deck> level 1 caption One\n (celldata) 1 </deck>");
    EXPECT_EQ(l.Recorder.Messages.size(), 2u);
    EXPECT_EQ(l.Project->GetDeckCaption(0), "");
    EXPECT_EQ(l.Project->GetDeckCaption(1), "One");
    Exercise(*l.Project);
}

TEST(BadInput, SecondHeaderReplacesDecksAndPersons) {
    TLoaded l = LoadText(
        "<header> pmax 2 xmax 4 ymax 4 zmax 2 vmax 1 </header> <deck> level 1 (celldata) P16x0 "
        "</deck> <header> pmax 1 xmax 2 ymax 1 zmax 1 vmax 1 </header> <deck> level 0 (celldata) 11"
        " </deck>");
    EXPECT_EQ(l.Project->DeckCount(), 1);
    EXPECT_EQ(l.Project->PersonCount(), 1);
    EXPECT_EQ(l.Project->Decks[0].CellCount, 2);
    // A later header without decks leaves no decks to show.
    TLoaded none = LoadText(
        "<header> pmax 1 xmax 4 ymax 4 zmax 1 vmax 1 </header> <header> pmax 1 xmax 9 ymax 9 zmax 0"
        " </header>");
    EXPECT_EQ(none.Project->DeckCount(), 0);
    Exercise(*none.Project);
}

// Every file of the fuzzing corpus, through the same driver as the fuzzer.
TEST(BadInput, FuzzCorpusReplays) {
    namespace fs = std::filesystem;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(ORLEX_SOURCE_DIR "/fuzz/corpus")) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        const std::string data = buffer.str();
        fuzz::RunOne(data.data(), data.size());
        ++files;
    }
    EXPECT_GE(files, 5);
}

}  // namespace
}  // namespace orlex
