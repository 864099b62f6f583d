// Loads on several threads against loads on one: the same project, the same
// messages and the same progress, call for call, whatever the file holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>
#include <utility>

#include "generator.h"
#include "logfile.h"
#include "projects.h"
#include "tempfolder.h"

namespace orlex {
namespace {

// Every call of the loader to its hosts, in one list, in order.
class TCallLog final : public IProgress, public IMessages {
public:
    std::vector<std::string> Calls;

    void SetInfo(const std::string& text) override { Calls.push_back("info " + text); }
    void SetPosition(int position) override {
        Calls.push_back("position " + std::to_string(position));
    }
    void Show() override { Calls.push_back("show"); }
    void ProcessEvents() override { Calls.push_back("events"); }
    TMsgResult ShowMessage(const std::string& text, const std::string& caption, TMsgIcon icon,
                           TMsgButtons buttons) override {
        Calls.push_back("message " + caption + ": " + text + " " +
                        std::to_string(static_cast<int>(icon)) + " " +
                        std::to_string(static_cast<int>(buttons)));
        return DefaultAnswer(buttons);
    }
};

struct TLoad {
    std::unique_ptr<TLogFile1> Project = std::make_unique<TLogFile1>("Deck");
    TCallLog Log;
};

TLoad LoadWith(const std::string& text, int threads, std::size_t window) {
    TLoad l;
    l.Project->LoadOptions.Threads = threads;
    l.Project->LoadOptions.WindowBytes = window;
    l.Project->Limits.MaxCells = int64_t{1} << 22;
    l.Project->Limits.MaxPersons = int64_t{1} << 16;
    l.Project->LoadFromMemory(text.data(), text.size(), l.Log, l.Log);
    return l;
}

// Everything of a person that a reader can see, its whole track included.
std::string Describe(const TPersonData& p) {
    std::ostringstream s;
    s << p.Tag << ' ' << p.StartX << ' ' << p.StartY << ' ' << p.StartLevel << ' ' << p.StartHeading
      << ' ' << p.X << ' ' << p.Y << ' ' << p.Level << ' ' << p.Heading << " | " << p.StepCount
      << ' ' << p.FinalLevel() << " |";
    TTrackCursor cursor(p);
    TStepRun run;
    int64_t steps = 0;
    while (cursor.Next(run)) {
        s << ' ' << run.Count << 'x' << run.Step.Direction << '/' << run.Step.LevelChange;
        steps += run.Count;
    }
    s << " = " << steps;
    return s.str();
}

void ExpectSameProject(const TLogFile1& a, const TLogFile1& b, const std::string& what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(a.PMax, b.PMax);
    EXPECT_EQ(a.XMax, b.XMax);
    EXPECT_EQ(a.YMax, b.YMax);
    EXPECT_EQ(a.ZMax, b.ZMax);
    EXPECT_EQ(a.VMax, b.VMax);
    EXPECT_EQ(a.TOff, b.TOff);
    EXPECT_EQ(a.CompleteTracks, b.CompleteTracks);
    ASSERT_EQ(a.DeckCount(), b.DeckCount());
    for (int z = 0; z < a.DeckCount(); ++z) {
        const TDeck& x = a.Decks[static_cast<std::size_t>(z)];
        const TDeck& y = b.Decks[static_cast<std::size_t>(z)];
        EXPECT_EQ(x.Caption, y.Caption) << "deck " << z;
        EXPECT_EQ(x.CellCount, y.CellCount) << "deck " << z;
        EXPECT_EQ(x.QuadCount(), y.QuadCount()) << "deck " << z;
        EXPECT_EQ(x.LightsOn, y.LightsOn) << "deck " << z;
        ASSERT_EQ(x.Cells.size(), y.Cells.size()) << "deck " << z;
        for (std::size_t c = 0; c < x.Cells.size(); ++c)
            ASSERT_EQ(x.Cells[c].Code, y.Cells[c].Code) << "deck " << z << " cell " << c;
        ASSERT_EQ(x.Quads.size(), y.Quads.size());
        for (std::size_t q = 0; q < x.Quads.size(); ++q)
            ASSERT_EQ(std::memcmp(&x.Quads[q], &y.Quads[q], sizeof(TQuad)), 0) << "quad " << q;
    }
    ASSERT_EQ(a.PersonCount(), b.PersonCount());
    for (int i = 0; i < a.PersonCount(); ++i)
        ASSERT_EQ(Describe(a.Persons[static_cast<std::size_t>(i)]),
                  Describe(b.Persons[static_cast<std::size_t>(i)]))
            << "person " << i;
    EXPECT_EQ(a.TotalSteps(), b.TotalSteps());
}

// Loads text on one thread, then on several with windows of several sizes, and
// expects the same every time.
void ExpectSameLoads(const std::string& text, const std::string& what) {
    const TLoad serial = LoadWith(text, 1, std::size_t{4} << 20);
    struct {
        int Threads;
        std::size_t Window;
    } const runs[] = {{2, 128}, {3, 300}, {4, 4096}, {2, std::size_t{4} << 20}, {8, 1000}};
    for (const auto& run : runs) {
        const std::string how = what + ", " + std::to_string(run.Threads) + " threads, window " +
                                std::to_string(run.Window);
        const TLoad parallel = LoadWith(text, run.Threads, run.Window);
        ExpectSameProject(*serial.Project, *parallel.Project, how);
        ASSERT_EQ(serial.Log.Calls, parallel.Log.Calls) << how;
    }
}

std::string Generated(int persons, int steps, uint64_t seed) {
    gen::TGenOptions o;
    o.Model = gen::TModel::Classic;  // its tracks hold every kind of item
    o.Decks = 2;
    o.Columns = 40;
    o.Rows = 16;
    o.Persons = persons;
    o.Steps = steps;
    o.Seed = seed;
    gen::TStringSink sink;
    EXPECT_TRUE(gen::Generate(o, sink));
    return sink.Text;
}

TEST(ParallelLoad, Example) {
    ExpectSameLoads(test::kExampleFile, "example");
}

TEST(ParallelLoad, GeneratedProjects) {
    for (const auto& [persons, steps, seed] :
         {std::tuple{1, 50, 1}, std::tuple{40, 300, 2}, std::tuple{200, 1500, 3}}) {
        const std::string text = Generated(persons, steps, static_cast<uint64_t>(seed));
        ExpectSameLoads(text, "generated, seed " + std::to_string(seed));
        // The reader of several threads ran: it keeps an arena for each helper.
        if (persons > 1) {
            EXPECT_FALSE(LoadWith(text, 2, 512).Project->HelperArenas.empty());
        }
    }
}

// A project of pmax persons on one deck with the given tracks, then tail.
std::string TracksText(int pmax, const std::vector<std::string>& tracks, const std::string& tail) {
    std::string text = "<header> version 1 pmax " + std::to_string(pmax) +
                       " xmax 6 ymax 4 zmax 1 vmax 2 </header>\n<deck> level 0 caption A\n"
                       "(celldata) 111111 100001 100001 111111 </deck>\n<persons>\n"
                       "<startpositions>\n";
    for (int i = 0; i < pmax; ++i)
        text += std::to_string(1 + i % 4) + " 1 0 3 " + std::to_string(i) + "\n";
    text += "(movement)\n";
    for (const std::string& track : tracks) text += track + "\n";
    return text + tail + "</persons>\n";
}

// Tracks that the cut of a window can misjudge: an "S" that is a direction, run
// counts with letters in them, tags in and between tracks, long tracks.
TEST(ParallelLoad, TracksThatFoolTheCuts) {
    const std::string longTrack = std::string(3000, '3') + "P2x0" + std::string(2000, '0');
    const struct {
        const char* name;
        int pmax;
        std::vector<std::string> tracks;
        std::string tail;  // after the list, before "</persons>"
    } cases[] = {
        {"S as directions", 5, {"3P3xS 3S", "US0S", "DS\n0S", "UUS S", "12S"}, ""},
        {"S in run counts", 4, {"P1S2x0 5S", "P12Sx3 4S", "P S x0S", "7S"}, ""},
        {"tag in a run count", 3, {"33P1(movement) 2S", "3S", "4S"}, ""},
        {"tag where a track starts", 4, {"33S", "44S"}, "</persons> <persons> (movement) 5S"},
        {"fewer tracks", 4, {"3S"}, ""},
        {"long tracks", 4, {longTrack + "S", "1S", longTrack + "S", longTrack + "3S"}, ""},
        {"count cut", 3, {"P99999999999x0 3S", "P2147483647x1P5x2S", "3S"}, ""},
        {"empty tracks", 5, {"S", "S", "S", "0S", "S"}, ""},
        {"line ends", 3, {"3\r\n3\r\nS\r\n", "4 4 4\tS", "P\n2\nx\n5\nS"}, ""},
        {"more tracks", 4, {"1S", "2S", "3S", "4S", "5S", "6S"}, "7S 8S 9S"},
        {"cut in the last track", 3, {"1S", "2S", "33"}, ""},
    };
    for (const auto& c : cases) ExpectSameLoads(TracksText(c.pmax, c.tracks, c.tail), c.name);
    // Many "S" that look like the end of a track and are not: the cuts fall on them.
    std::vector<std::string> fakes;
    for (int i = 0; i < 60; ++i)
        fakes.push_back(std::string(static_cast<std::size_t>(i % 7), '1') + "P12S\n3x0 " +
                        std::string(static_cast<std::size_t>(i % 5), '2') + "5S");
    ExpectSameLoads(TracksText(60, fakes, ""), "false ends");
    const std::string cut = TracksText(2, {"1S", "2P3"}, "");
    ExpectSameLoads(cut.substr(0, cut.rfind("P3") + 2), "cut in a run");
}

// Windows of every size from the smallest on, so that a window ends at every
// place of the text once: inside tags that are no tags, runs and line ends.
TEST(ParallelLoad, WindowsOfEverySize) {
    // Short tracks before each tricky one, so that windows from their ends reach it.
    std::vector<std::string> tracks;
    for (const char* tricky : {"(movement)33S", "2P12x3 (movement)4S", "</persons>55S", "3\r\nS",
                               "P1(celldata) 3S", "U3D4P3x0S"}) {
        for (int i = 0; i < 8; ++i)
            tracks.push_back(std::string(19, static_cast<char>('1' + i)) + "S");
        tracks.push_back(tricky);
    }
    const std::string text = TracksText(static_cast<int>(tracks.size()), tracks, "");
    const TLoad serial = LoadWith(text, 1, 1 << 20);
    for (std::size_t window = 128; window <= 420; ++window) {
        const TLoad parallel = LoadWith(text, 2, window);
        const std::string how = "window " + std::to_string(window);
        ExpectSameProject(*serial.Project, *parallel.Project, how);
        ASSERT_EQ(serial.Log.Calls, parallel.Log.Calls) << how;
    }
}

// More tiny tracks than one chunk reads at a time.
TEST(ParallelLoad, ManyShortTracks) {
    std::vector<std::string> tracks;
    for (int i = 0; i < 12000; ++i) tracks.push_back(i % 3 == 0 ? "S" : i % 3 == 1 ? "1S" : "U2S");
    const std::string text = TracksText(12000, tracks, "");
    const TLoad serial = LoadWith(text, 1, 1 << 20);
    const TLoad parallel = LoadWith(text, 2, 1 << 20);
    ExpectSameProject(*serial.Project, *parallel.Project, "short tracks");
    EXPECT_EQ(serial.Log.Calls, parallel.Log.Calls);
    EXPECT_FALSE(parallel.Project->HelperArenas.empty());
}

// A second movement list adds to the tracks of the first, on any thread count.
TEST(ParallelLoad, SecondMovementList) {
    std::string text = test::ProjectText({"A"}, 2, {"33S", "44S"});
    text.insert(text.rfind("</persons>"), "(movement) 5S P3x6S\n");
    ExpectSameLoads(text, "two lists");
    EXPECT_EQ(LoadWith(text, 2, 64).Project->Persons[1].StepCount, 5);
}

// A generated project cut inside its movement data, at many places.
TEST(ParallelLoad, CutInsideTheMovementData) {
    const std::string full = Generated(30, 400, 7);
    const std::size_t movement = full.find("(movement)");
    ASSERT_NE(movement, std::string::npos);
    const std::size_t span = full.size() - movement;
    for (std::size_t k = 0; k <= 40; ++k) {
        const std::size_t at = movement + span * k / 40;
        ExpectSameLoads(full.substr(0, at), "cut at " + std::to_string(at));
    }
}

// Loads text on one thread and on several: both find expected complete tracks.
void ExpectCompleteTracks(const std::string& text, int expected, const std::string& what) {
    for (const auto& [threads, window] :
         {std::pair{1, std::size_t{1} << 20}, std::pair{2, std::size_t{200}},
          std::pair{3, std::size_t{4096}}}) {
        EXPECT_EQ(LoadWith(text, threads, window).Project->CompleteTracks, expected)
            << what << ", " << threads << " threads, window " << window;
    }
}

// A generated project cut every few bytes through its movement data: the complete
// tracks are exactly those whose "S" came before the cut.
TEST(CompleteTracks, GeneratedFileCutEveryFewBytes) {
    const std::string full = Generated(12, 120, 5);
    const std::size_t movement = full.find("(movement)");
    ASSERT_NE(movement, std::string::npos);
    // Its tracks hold no "S" but the one that ends them.
    const auto stops = [&](std::size_t end) {
        return static_cast<int>(std::count(full.begin() + static_cast<std::ptrdiff_t>(movement),
                                           full.begin() + static_cast<std::ptrdiff_t>(end), 'S'));
    };
    ASSERT_EQ(stops(full.size()), 12);
    ExpectCompleteTracks(full, 12, "whole file");
    for (std::size_t at = movement; at < full.size(); at += 7)
        ExpectCompleteTracks(full.substr(0, at), stops(at), "cut at " + std::to_string(at));
}

// Hand-written tracks of every kind of item, cut at every byte of the movement data.
TEST(CompleteTracks, TracksCutAtEveryByte) {
    const std::vector<std::string> tracks = {"33P2x0S", "U3 D4\n12S", "P12x5 P3x0 7S", "S",
                                             "0000S"};
    const std::string text = TracksText(5, tracks, "");
    std::vector<std::size_t> ends;  // just after each track's "S"
    std::size_t from = text.find("(movement)");
    for (const std::string& track : tracks) {
        from = text.find(track, from) + track.size();
        ends.push_back(from);
    }
    for (std::size_t at = text.find("(movement)"); at <= text.size(); ++at) {
        const int expected = static_cast<int>(
            std::count_if(ends.begin(), ends.end(), [at](std::size_t end) { return end <= at; }));
        ExpectCompleteTracks(text.substr(0, at), expected, "cut at " + std::to_string(at));
    }
}

// Lists shorter than pmax, tracks stopped by a tag, no movement data at all.
TEST(CompleteTracks, MissingAndStoppedTracks) {
    const std::string noMovement = test::ProjectText({"A"}, 2, {"3S", "4S"});
    const struct {
        const char* name;
        std::string text;
        int expected;
    } cases[] = {
        {"all tracks", TracksText(3, {"1S", "2S", "3S"}, ""), 3},
        {"fewer tracks than pmax", TracksText(4, {"3S"}, ""), 1},
        {"no tracks", TracksText(2, {}, ""), 0},
        {"more tracks than pmax", TracksText(2, {"1S", "2S", "3S"}, ""), 2},
        {"tag in a run count", TracksText(3, {"1S", "33P1</persons>"}, ""), 1},
        {"no movement", noMovement.substr(0, noMovement.find("(movement)")) + "</persons>\n", 0},
        {"file ends before the persons", noMovement.substr(0, noMovement.find("<persons>")), 0},
        {"S as directions", TracksText(2, {"US0S", "DS S"}, ""), 2},
        {"no persons", TracksText(0, {}, ""), 0},
    };
    for (const auto& c : cases) ExpectCompleteTracks(c.text, c.expected, c.name);
}

// Every file of the fuzzing corpus.
TEST(ParallelLoad, FuzzCorpus) {
    namespace fs = std::filesystem;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(ORLEX_SOURCE_DIR "/fuzz/corpus")) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        const TLoad serial = LoadWith(text, 1, 1 << 20);
        const TLoad parallel = LoadWith(text, 3, 200);
        const std::string name = entry.path().filename().string();
        ExpectSameProject(*serial.Project, *parallel.Project, name);
        ASSERT_EQ(serial.Log.Calls, parallel.Log.Calls) << name;
        ++files;
    }
    EXPECT_GT(files, 100);
}

class ParallelLoadFile : public test::TTempFolderTest {};

// From a file, whose windows are read from the disk as the loader goes.
TEST_F(ParallelLoadFile, SameAsFromMemory) {
    // Larger than the reader's buffer, so that refills fall inside tracks.
    const std::string text = Generated(900, 8000, 11);
    ASSERT_GT(text.size(), std::size_t{2} << 20);
    const std::string path = Path("project.3dl");
    std::ofstream(path, std::ios::binary) << text;
    auto load = [&path](int threads, std::size_t window) {
        TLoad file;
        file.Project->LoadOptions.Threads = threads;
        file.Project->LoadOptions.WindowBytes = window;
        EXPECT_TRUE(file.Project->LoadFromFile(path, file.Log, file.Log));
        return file;
    };
    const TLoad serial = load(1, 1 << 20);
    ExpectSameProject(*LoadWith(text, 1, 1 << 20).Project, *serial.Project, "memory");
    for (const std::size_t window :
         {std::size_t{5000}, std::size_t{1} << 16, std::size_t{4} << 20}) {
        const TLoad file = load(2, window);
        const std::string how = "window " + std::to_string(window);
        ExpectSameProject(*serial.Project, *file.Project, how);
        EXPECT_EQ(serial.Log.Calls, file.Log.Calls) << how;
    }
}

}  // namespace
}  // namespace orlex
