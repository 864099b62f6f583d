// orlex-convert: the round trip 3dl -> PeTrack text -> 3dl, exit statuses, and no
// output left behind on an error.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "convertmain.h"
#include "generator.h"
#include "importsupport.h"
#include "tempfolder.h"

namespace orlex::test {
namespace {

struct TRun {
    int Status;
    std::string Out;
    std::string Err;
};

TRun Convert(const std::vector<std::string>& args) {
    TRun run;
    run.Status = convert::Main(args, run.Out, run.Err);
    return run;
}

std::unique_ptr<TLogFile1> Load(const std::string& path) {
    auto project = std::make_unique<TLogFile1>("Deck");
    TRecorder recorder;
    EXPECT_TRUE(project->LoadFromFile(path, recorder, recorder));
    EXPECT_TRUE(recorder.Messages.empty()) << recorder.Texts().front();
    return project;
}

// The same grids on every deck, and every person's start and track step by step.
void ExpectSameCellsAndTracks(const TLogFile1& a, const TLogFile1& b) {
    ASSERT_EQ(b.PMax, a.PMax);
    EXPECT_EQ(b.XMax, a.XMax);
    EXPECT_EQ(b.YMax, a.YMax);
    ASSERT_EQ(b.ZMax, a.ZMax);
    EXPECT_EQ(b.VMax, a.VMax);
    for (int z = 0; z < a.ZMax; ++z) {
        SCOPED_TRACE("deck " + std::to_string(z));
        EXPECT_EQ(b.GetDeckCaption(z), a.GetDeckCaption(z));
        const auto& ca = a.Decks[static_cast<std::size_t>(z)].Cells;
        const auto& cb = b.Decks[static_cast<std::size_t>(z)].Cells;
        ASSERT_EQ(cb.size(), ca.size());
        for (std::size_t c = 0; c < ca.size(); ++c)
            EXPECT_EQ(cb[c].Code, ca[c].Code) << "cell " << c;
    }
    for (int i = 0; i < a.PMax; ++i) {
        SCOPED_TRACE("person " + std::to_string(i));
        const TPersonData& pa = a.Persons[static_cast<std::size_t>(i)];
        const TPersonData& pb = b.Persons[static_cast<std::size_t>(i)];
        EXPECT_EQ(pb.StartX, pa.StartX);
        EXPECT_EQ(pb.StartY, pa.StartY);
        EXPECT_EQ(pb.StartLevel, pa.StartLevel);
        const std::vector<TStep> ea = Entries(a, i), eb = Entries(b, i);
        ASSERT_EQ(eb.size(), ea.size());
        for (std::size_t k = 0; k < ea.size(); ++k) {
            EXPECT_EQ(eb[k].Direction, ea[k].Direction) << "step " << k;
            EXPECT_EQ(eb[k].LevelChange, ea[k].LevelChange) << "step " << k;
        }
    }
}

class OrlexConvert : public TTempFolderTest {};

TEST_F(OrlexConvert, RoundTripThroughPeTrackTextKeepsCellsAndTracks) {
    // One 8 x 5 deck with a pillar and coloured floor; persons that walk, wait, and
    // leave at different steps.
    const std::string original = Path("ship.3dl");
    WriteText(original,
              "<header>\nversion 1\npmax 3\nxmax 8\nymax 5\nzmax 1\nvmax 3\ntoff 0\n</header>\n"
              "<deck>\nlevel 0\ncaption Main deck\n(celldata)\n"
              "P8x1\n10001201\n10310041\n1000005.\nP8x1\n</deck>\n"
              "<persons>\n<startpositions>\n1 1 0 3 11\n1 3 0 3 12\n5 3 0 1 13\n"
              "(movement)\n33P3x0 4 3 2 1S\n2 2 3 3 3S\n0 0 1 8 7S\n</persons>\n");
    const std::string text = Path("ship.txt");
    const TRun out = Convert({original, "--to", "petrack", "-o", text});
    ASSERT_EQ(out.Status, 0) << out.Err;
    const std::string rows = ReadText(text);
    EXPECT_EQ(rows.rfind("# framerate: 3 fps\n", 0), 0u);
    EXPECT_NE(rows.find("# id frame x/m y/m z/m\n"), std::string::npos);
    EXPECT_NE(rows.find("\n11 0 0.6000 1.4000 0.0000\n"), std::string::npos);

    const std::string back = Path("back.3dl");
    const TRun in = Convert(
        {text, "--geometry", original, "--cell-size", "0.4", "--step-rate", "3", "-o", back});
    ASSERT_EQ(in.Status, 0) << in.Err;
    EXPECT_EQ(in.Err, "");
    const auto a = Load(original), b = Load(back);
    ExpectSameCellsAndTracks(*a, *b);
    for (int i = 0; i < a->PMax; ++i)
        EXPECT_EQ(b->Persons[static_cast<std::size_t>(i)].Tag,
                  a->Persons[static_cast<std::size_t>(i)].Tag);
}

TEST_F(OrlexConvert, RoundTripOfAMultiDeckShipFindsTheFloorsFromZ) {
    // A generated ship of three decks with stairs: the PeTrack text carries the
    // decks only as z, level times the deck height.
    gen::TGenOptions options;
    options.Decks = 3;
    options.Columns = 40;
    options.Rows = 16;
    options.Persons = 60;
    options.ResponseMin = 0;
    options.ResponseMax = 20;
    options.VMax = 4;
    gen::TStringSink sink;
    ASSERT_TRUE(gen::Generate(options, sink));
    const std::string original = Path("ship.3dl");
    WriteText(original, sink.Text);
    const std::string text = Path("ship.txt");
    for (const char* height : {"3", "2.5"}) {
        SCOPED_TRACE(height);
        const TRun out =
            Convert({original, "--to", "petrack", "--deck-height", height, "-o", text});
        ASSERT_EQ(out.Status, 0) << out.Err;
        const std::string back = Path("back.3dl");
        const TRun in = Convert({text, "--geometry", original, "--floors-from-z", "--cell-size",
                                 "0.4", "--step-rate", "4", "-o", back});
        ASSERT_EQ(in.Status, 0) << in.Err;
        EXPECT_NE(in.Out.find("floors found from z: deck 0 at 0.00 m, deck 1 at "),
                  std::string::npos)
            << in.Out;
        const auto a = Load(original);
        ASSERT_EQ(a->ZMax, 3);
        ExpectSameCellsAndTracks(*a, *Load(back));
    }
}

bool Walkable(int code) {
    return code == 0 || code == 64 || code == 32 || code == 8 || code == 16;
}

// Deck z of a (no origin of its own, 0.4 m cells) and deck 0 of b have the same
// walkable cells, measured in metres; b's grid may be smaller, around the floor.
void ExpectSameWalkableCells(const TLogFile1& a, int z, const TLogFile1& b) {
    ASSERT_TRUE(b.Source.Known);
    const double size = b.Source.CellSize;
    int walkableA = 0, walkableB = 0;
    for (const TCell& cell : b.Decks[0].Cells) walkableB += Walkable(cell.Code);
    for (int r = 0; r < a.YMax; ++r)
        for (int c = 0; c < a.XMax; ++c) {
            const bool inA = Walkable(a.Decks[static_cast<std::size_t>(z)]
                                          .Cells[static_cast<std::size_t>(r) * a.XMax + c]
                                          .Code);
            walkableA += inA;
            const double x = (c + 0.5) * 0.4, y = (a.YMax - r - 0.5) * 0.4;
            const int cb = static_cast<int>(std::floor((x - b.Source.OriginX) / size));
            const int rb = b.YMax - 1 - static_cast<int>(std::floor((y - b.Source.OriginY) / size));
            if (cb < 0 || cb >= b.XMax || rb < 0 || rb >= b.YMax) {
                EXPECT_FALSE(inA) << "column " << c << ", row " << r << " beyond the grid";
                continue;
            }
            EXPECT_EQ(Walkable(b.Decks[0].Cells[static_cast<std::size_t>(rb) * b.XMax + cb].Code),
                      inA)
                << "column " << c << ", row " << r;
        }
    EXPECT_EQ(walkableB, walkableA);
}

TEST_F(OrlexConvert, RoundTripThroughJuPedSimKeepsTheWalkableCells) {
    gen::TGenOptions options;
    options.Decks = 2;
    options.Columns = 40;
    options.Rows = 16;
    options.Persons = 40;
    options.ResponseMin = 0;
    options.ResponseMax = 10;
    gen::TStringSink sink;
    ASSERT_TRUE(gen::Generate(options, sink));
    WriteText(Path("ship.3dl"), sink.Text);
    // A deck with a pillar (a hole in the floor), void inside and coloured floor.
    WriteText(
        Path("room.3dl"),
        "<header>\nversion 1\npmax 1\nxmax 8\nymax 6\nzmax 1\nvmax 2\n</header>\n"
        "<deck>\nlevel 0\n(celldata)\nP8x1\n10000001\n10120001\n1040..01\n10000051\nP8x1\n"
        "</deck>\n<persons>\n<startpositions>\n1 1 0 3 5\n(movement)\n3 3 5 5S\n</persons>\n");
    const std::pair<const char*, int> cases[] = {{"room.3dl", 0}, {"ship.3dl", 0}, {"ship.3dl", 1}};
    for (const auto& [file, deck] : cases) {
        SCOPED_TRACE(std::string(file) + " deck " + std::to_string(deck));
        const std::string db = Path("run.sqlite");
        std::filesystem::remove(db);
        const TRun out =
            Convert({Path(file), "--to", "jupedsim", "--deck", std::to_string(deck), "-o", db});
        ASSERT_EQ(out.Status, 0) << out.Err;
        EXPECT_NE(out.Out.find("JuPedSim version 2"), std::string::npos) << out.Out;
        const TRun in = Convert({db, "--cell-size", "0.4", "-o", Path("back.3dl")});
        ASSERT_EQ(in.Status, 0) << in.Err;
        ExpectSameWalkableCells(*Load(Path(file)), deck, *Load(Path("back.3dl")));
    }
    const TRun noDeck =
        Convert({Path("room.3dl"), "--to", "jupedsim", "--deck", "3", "-o", Path("x.sqlite")});
    EXPECT_EQ(noDeck.Status, 1);
    EXPECT_NE(noDeck.Err.find("room.3dl has 1 decks; there is no deck 3"), std::string::npos)
        << noDeck.Err;
    EXPECT_FALSE(std::filesystem::exists(Path("x.sqlite")));
    EXPECT_FALSE(std::filesystem::exists(Path("x.sqlite.part")));
}

TEST_F(OrlexConvert, ReportsTheRateTheGridAndTheError) {
    const std::string in = Path("walk.txt");
    WriteText(in, "# framerate: 10\n# id frame x/m y/m\n1 0 0 0\n1 10 1.2 0\n2 5 1 1\n2 15 1 2\n");
    const TRun run = Convert({in, "-o", Path("walk.3dl")});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Out.find("step rate: 3 steps a second (chosen"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("largest position error:"), std::string::npos);
    EXPECT_NE(run.Out.find("grid: 3 x 6 cells of 0.400 m"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("1 persons enter after the start"), std::string::npos) << run.Out;
    const auto project = Load(Path("walk.3dl"));
    EXPECT_EQ(project->EntrySteps, (std::vector<int>{0, 2}));
}

struct TStatusCase {
    const char* Name;
    std::vector<std::string> Args;  // "IN" and "OUT" stand for the files
    int Status;
    const char* Message;
};

TEST_F(OrlexConvert, ExitStatusesAndNoOutputLeftBehind) {
    WriteText(Path("good.txt"), "# framerate: 10\n# x/m\n1 0 0 0\n1 1 0.1 0\n");
    WriteText(Path("bad.txt"), "# framerate: 10\n# x/m\n1 0 0 0\n1 1 zero 0\n");
    WriteText(Path("nounit.txt"), "# framerate: 10\n1 0 0 0\n");
    WriteText(Path("notes.txt"), "some notes\nnothing to convert\n");
    WriteText(Path("bad.wkt"), "POLYGON((0 0, 1 0\n");
    WriteText(Path("floors.txt"),
              "# framerate: 1\n# x/m\n1 0 0 0 0\n1 1 0 0 0\n1 2 0 0 3\n1 3 0 0 3\n");
    WriteText(Path("one.3dl"),
              "<header>\nversion 1\npmax 1\nxmax 4\nymax 4\nzmax 1\nvmax 1\n</header>\n"
              "<deck>\nlevel "
              "0\n(celldata)\n0000\n0000\n0000\n0000\n</deck>\n<persons>\n<startpositions>\n"
              "0 0 0 3 0\n(movement)\nS\n</persons>\n");
    const TStatusCase cases[] = {
        {"no output", {"good.txt"}, 2, "no output file given"},
        {"no input", {"-o", "OUT"}, 2, "no input file given"},
        {"unknown option", {"good.txt", "--speed", "1", "-o", "OUT"}, 2, "unknown option --speed"},
        {"bad format", {"good.txt", "--format", "csv", "-o", "OUT"}, 2, "--format takes"},
        {"bad cell size", {"good.txt", "--cell-size", "0", "-o", "OUT"}, 2, "--cell-size needs"},
        {"bad step rate", {"good.txt", "--step-rate", "101", "-o", "OUT"}, 2, "--step-rate takes"},
        {"bad unit", {"good.txt", "--unit", "ft", "-o", "OUT"}, 2, "--unit takes m or cm"},
        {"floors beyond the decks",
         {"floors.txt", "--floors-from-z", "--geometry", "one.3dl", "-o", "OUT"},
         1,
         "floors.txt: the persons' z values show 2 floors (at 0.00, 3.00 m), which do not fit the "
         "geometry's 1 decks"},
        {"missing value", {"good.txt", "-o"}, 2, "-o needs a value"},
        {"bad target",
         {"good.txt", "--to", "csv", "-o", "OUT"},
         2,
         "--to takes petrack or jupedsim"},
        {"bad deck",
         {"good.txt", "--to", "jupedsim", "--deck", "x", "-o", "OUT"},
         2,
         "--deck takes a deck number"},
        {"bad row", {"bad.txt", "-o", "OUT"}, 1, "bad.txt, line 4: x is not a number"},
        {"no unit", {"nounit.txt", "-o", "OUT"}, 1, "--unit m or --unit cm"},
        {"unknown format", {"notes.txt", "-o", "OUT"}, 1, "notes.txt: unknown format"},
        {"missing file", {"none.txt", "--format", "petrack", "-o", "OUT"}, 1, "none.txt: cannot"},
        {"broken WKT", {"good.txt", "--geometry", "bad.wkt", "-o", "OUT"}, 1, "bad.wkt: broken"},
        {"not a 3dl", {"good.txt", "--to", "petrack", "-o", "OUT"}, 1, "not a 3D log file"},
    };
    for (const TStatusCase& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<std::string> args;
        for (const std::string& a : c.Args)
            args.push_back(a == "OUT"                         ? Path("out.3dl")
                           : a.find('.') != std::string::npos ? Path(a)
                                                              : a);
        const TRun run = Convert(args);
        EXPECT_EQ(run.Status, c.Status);
        EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
        EXPECT_FALSE(std::filesystem::exists(Path("out.3dl")));
        EXPECT_FALSE(std::filesystem::exists(Path("out.3dl.part")));
    }
    const TRun help = Convert({"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_NE(help.Out.find("usage: orlex-convert IN"), std::string::npos);
}

}  // namespace
}  // namespace orlex::test
