// Tests of the generator orlex-gen: options, determinism and the shape of what it
// writes, checked by a small independent reader and by the project loader.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "generator.h"
#include "logfile.h"
#include "recorders.h"

namespace {

using orlex::gen::TGenOptions;

// Direction codes of the file: 1 north (row - 1), then clockwise; 0 stays.
constexpr int kColumnStep[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
constexpr int kRowStep[9] = {0, -1, -1, 0, 1, 1, 1, 0, -1};

struct TParsedDeck {
    int Level = -1;
    std::string Caption;
    std::vector<std::string> Rows;  // expanded cell characters
};

struct TParsedFile {
    std::map<std::string, long> Header;
    std::vector<TParsedDeck> Decks;
    std::vector<std::vector<int>> Starts;
    std::vector<std::string> Tracks;  // as written, one per line
    std::vector<std::string> Errors;
};

// Expands "P<n>x<c>" runs; returns false on a malformed run.
bool Expand(const std::string& line, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != 'P') {
            out += line[i];
            continue;
        }
        std::size_t j = i + 1;
        long n = 0;
        while (j < line.size() && line[j] >= '0' && line[j] <= '9') n = n * 10 + (line[j++] - '0');
        if (j == i + 1 || j + 1 >= line.size() || line[j] != 'x' || n < 4) return false;
        out.append(static_cast<std::size_t>(n), line[j + 1]);
        i = j + 1;
    }
    return true;
}

// Reads the generator's line layout: one row per line, one track per line.
TParsedFile ParseGenerated(const std::string& text) {
    TParsedFile f;
    std::istringstream in(text);
    std::string line;
    enum { kTop, kHeader, kDeck, kCells, kStarts, kMoves } state = kTop;
    TParsedDeck deck;
    while (std::getline(in, line)) {
        if (state == kTop) {
            if (line == "<header>")
                state = kHeader;
            else if (line == "<deck>")
                state = kDeck, deck = {};
            else if (line == "<persons>")
                state = kStarts;
            else
                f.Errors.push_back("stray line: " + line);
        } else if (state == kHeader) {
            if (line == "</header>") {
                state = kTop;
                continue;
            }
            std::istringstream w(line);
            std::string key;
            long value = 0;
            if (!(w >> key >> value)) f.Errors.push_back("bad header line: " + line);
            f.Header[key] = value;
        } else if (state == kDeck) {
            if (line.rfind("level ", 0) == 0)
                deck.Level = std::stoi(line.substr(6));
            else if (line.rfind("caption ", 0) == 0)
                deck.Caption = line.substr(8);
            else if (line == "(celldata)")
                state = kCells;
            else
                f.Errors.push_back("bad deck line: " + line);
        } else if (state == kCells) {
            if (line == "</deck>") {
                f.Decks.push_back(deck);
                state = kTop;
                continue;
            }
            std::string row;
            if (!Expand(line, row)) f.Errors.push_back("bad run in row: " + line);
            deck.Rows.push_back(row);
        } else if (state == kStarts) {
            if (line == "<startpositions>") continue;
            if (line == "(movement)") {
                state = kMoves;
                continue;
            }
            std::istringstream w(line);
            std::vector<int> v(5);
            if (!(w >> v[0] >> v[1] >> v[2] >> v[3] >> v[4]))
                f.Errors.push_back("bad start: " + line);
            f.Starts.push_back(v);
        } else {
            if (line == "</persons>") {
                state = kTop;
                continue;
            }
            f.Tracks.push_back(line);
        }
    }
    if (state != kTop) f.Errors.push_back("file ends inside a section");
    return f;
}

std::string GenerateText(const TGenOptions& o) {
    orlex::gen::TStringSink sink;
    EXPECT_TRUE(orlex::gen::Generate(o, sink));
    return sink.Text;
}

TGenOptions Make(int decks, int columns, int rows, int persons, int steps, uint64_t seed, int vmax,
                 int toff) {
    TGenOptions o;
    o.Model = orlex::gen::TModel::Classic;
    o.Decks = decks;
    o.Columns = columns;
    o.Rows = rows;
    o.Persons = persons;
    o.Steps = steps;
    o.Seed = seed;
    o.VMax = vmax;
    o.TOff = toff;
    return o;
}

const std::vector<TGenOptions>& Cases() {
    static const std::vector<TGenOptions> cases = {
        Make(1, 16, 8, 5, 50, 0, 1, -5),        // smallest ship, one deck
        Make(2, 40, 20, 30, 300, 7, 4, 0),      // stairs up to the muster deck
        Make(4, 90, 37, 60, 1500, 99, 7, 120),  // odd rows, walk down from the top
        Make(3, 64, 41, 10, 0, 3, 4, 0),        // empty tracks
        Make(2, 30, 12, 0, 100, 5, 2, 0),       // nobody
    };
    return cases;
}

std::string Describe(const TGenOptions& o) {
    return std::to_string(o.Decks) + " decks " + std::to_string(o.Columns) + "x" +
           std::to_string(o.Rows) + ", " + std::to_string(o.Persons) + " persons, " +
           std::to_string(o.Steps) + " steps";
}

bool Walkable(const TParsedFile& f, int z, int r, int c) {
    if (z < 0 || z >= static_cast<int>(f.Decks.size())) return false;
    const auto& rows = f.Decks[z].Rows;
    if (r < 0 || r >= static_cast<int>(rows.size())) return false;
    if (c < 0 || c >= static_cast<int>(rows[r].size())) return false;
    return orlex::gen::IsWalkable(rows[r][c]);
}

// Plays a track on the parsed grids; returns the number of steps or -1 with
// `why` set when the track is malformed or leaves the walkable cells.
long PlayTrack(const TParsedFile& f, const std::vector<int>& start, const std::string& track,
               std::string& why, char* endCell) {
    int c = start[0], r = start[1], z = start[2];
    long steps = 0;
    auto step = [&](int d, int dz) {
        if (d < 0 || d > 8) {
            why = "direction " + std::to_string(d);
            return false;
        }
        c += kColumnStep[d];
        r += kRowStep[d];
        z += dz;
        ++steps;
        if (!Walkable(f, z, r, c)) {
            why = "step " + std::to_string(steps) + " leaves the walkable cells";
            return false;
        }
        return true;
    };
    for (std::size_t i = 0; i < track.size(); ++i) {
        const char ch = track[i];
        if (ch == 'S') {
            if (i + 1 != track.size()) {
                why = "text after S";
                return -1;
            }
            *endCell = f.Decks[z].Rows[r][c];
            return steps;
        }
        bool ok = true;
        if (ch == 'U' || ch == 'D') {
            ok = i + 1 < track.size() && step(track[++i] - '0', ch == 'U' ? 1 : -1);
        } else if (ch == 'P') {
            std::size_t j = i + 1;
            long n = 0;
            while (j < track.size() && track[j] >= '0' && track[j] <= '9')
                n = n * 10 + (track[j++] - '0');
            if (j + 1 >= track.size() || track[j] != 'x' || track[j + 1] != '0' || n < 4) {
                why = "bad run";
                return -1;
            }
            steps += n;
            i = j + 1;
        } else {
            ok = step(ch - '0', 0);
        }
        if (!ok) return -1;
    }
    why = "no S";
    return -1;
}

TEST(OrlexGenOutput, SameArgumentsGiveTheSameBytes) {
    for (const TGenOptions& o : Cases()) {
        SCOPED_TRACE(Describe(o));
        const std::string first = GenerateText(o);
        EXPECT_EQ(first, GenerateText(o));
        TGenOptions other = o;
        other.Seed = o.Seed + 1;
        if (o.Persons > 0 && o.Steps > 0) {
            EXPECT_NE(first, GenerateText(other));
        }
    }
}

TEST(OrlexGenOutput, FileMatchesOptionsAndStaysOnWalkableCells) {
    for (const TGenOptions& o : Cases()) {
        SCOPED_TRACE(Describe(o));
        const TParsedFile f = ParseGenerated(GenerateText(o));
        EXPECT_TRUE(f.Errors.empty()) << f.Errors.front();
        const std::map<std::string, long> header = {
            {"version", 1},    {"pmax", o.Persons}, {"xmax", o.Columns}, {"ymax", o.Rows},
            {"zmax", o.Decks}, {"vmax", o.VMax},    {"toff", o.TOff}};
        EXPECT_EQ(f.Header, header);

        ASSERT_EQ(f.Decks.size(), static_cast<std::size_t>(o.Decks));
        for (int z = 0; z < o.Decks; ++z) {
            const TParsedDeck& d = f.Decks[z];
            EXPECT_EQ(d.Level, z);
            EXPECT_EQ(d.Caption.rfind("Deck " + std::to_string(z + 1) + " - ", 0), 0u) << d.Caption;
            ASSERT_EQ(d.Rows.size(), static_cast<std::size_t>(o.Rows));
            for (const std::string& row : d.Rows) {
                ASSERT_EQ(row.size(), static_cast<std::size_t>(o.Columns)) << row;
                EXPECT_EQ(row.find_first_not_of(".012345"), std::string::npos) << row;
            }
        }

        ASSERT_EQ(f.Starts.size(), static_cast<std::size_t>(o.Persons));
        ASSERT_EQ(f.Tracks.size(), static_cast<std::size_t>(o.Persons));
        for (int i = 0; i < o.Persons; ++i) {
            const std::vector<int>& s = f.Starts[i];
            SCOPED_TRACE("person " + std::to_string(i));
            EXPECT_TRUE(Walkable(f, s[2], s[1], s[0]));
            EXPECT_GE(s[3], 1);
            EXPECT_LE(s[3], 8);
            std::string why;
            char end = 0;
            const long steps = PlayTrack(f, s, f.Tracks[i], why, &end);
            EXPECT_GE(steps, 0) << why << ": " << f.Tracks[i].substr(0, 200);
            EXPECT_LE(steps, o.Steps);
        }
    }
}

TEST(OrlexGenOutput, PersonsWithTimeEnoughEndInAMusterArea) {
    const TGenOptions o = Make(3, 80, 30, 80, 4000, 11, 4, 0);
    const TParsedFile f = ParseGenerated(GenerateText(o));
    ASSERT_EQ(f.Tracks.size(), 80u);
    int mustered = 0;
    int changedDeck = 0;
    for (std::size_t i = 0; i < f.Tracks.size(); ++i) {
        std::string why;
        char end = 0;
        ASSERT_GE(PlayTrack(f, f.Starts[i], f.Tracks[i], why, &end), 0) << why;
        mustered += end == '4';
        changedDeck += f.Tracks[i].find_first_of("UD") != std::string::npos;
    }
    EXPECT_GE(mustered, 76);     // nearly everybody reaches safety
    EXPECT_GT(changedDeck, 20);  // the decks without muster areas use the stairs
    EXPECT_LT(changedDeck, 80);
}

TEST(OrlexGenOutput, FailingSinkIsReported) {
    struct TFullDisk final : orlex::gen::ISink {
        bool Write(const char*, std::size_t) override { return false; }
    } sink;
    EXPECT_FALSE(orlex::gen::Generate(Make(2, 40, 20, 2000, 2000, 1, 4, 0), sink));
}

TEST(OrlexGenOptions, AcceptedArguments) {
    struct TCase {
        std::vector<std::string> Args;
        int Decks, Columns, Rows, Persons, Steps, VMax, TOff;
        uint64_t Seed;
        std::string Output;
    };
    const TCase cases[] = {
        {{}, 3, 160, 48, 300, 4800, 4, 0, 1, ""},
        {{"--profile", "large"}, 12, 1000, 200, 20000, 12000, 4, 0, 1, ""},
        // Explicit options win over the profile wherever they stand.
        {{"--persons", "7", "--profile", "large"}, 12, 1000, 200, 7, 12000, 4, 0, 1, ""},
        {{"--decks=2", "--columns=20", "--rows=9", "--steps=0", "--vmax=1", "--toff=-30", "-o",
          "out.3dl"},
         2,
         20,
         9,
         300,
         0,
         1,
         -30,
         1,
         "out.3dl"},
        {{"--seed", "18446744073709551615"},
         3,
         160,
         48,
         300,
         4800,
         4,
         0,
         18446744073709551615ull,
         ""},
    };
    for (const TCase& c : cases) {
        const orlex::gen::TParseResult r = orlex::gen::ParseArguments(c.Args);
        ASSERT_TRUE(r.Ok) << r.Error;
        const TGenOptions& o = r.Options;
        EXPECT_EQ(o.Decks, c.Decks);
        EXPECT_EQ(o.Columns, c.Columns);
        EXPECT_EQ(o.Rows, c.Rows);
        EXPECT_EQ(o.Persons, c.Persons);
        EXPECT_EQ(o.Steps, c.Steps);
        EXPECT_EQ(o.VMax, c.VMax);
        EXPECT_EQ(o.TOff, c.TOff);
        EXPECT_EQ(o.Seed, c.Seed);
        EXPECT_EQ(o.Output, c.Output);
    }
    EXPECT_TRUE(orlex::gen::ParseArguments({"--decks", "x", "--help"}).Help);
}

TEST(OrlexGenOptions, RejectedArguments) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--decks", "0"}, "--decks needs a whole number from 1 to 1000"},
        {{"--decks", "abc"}, "not \"abc\""},
        {{"--columns", "15"}, "--columns"},
        {{"--rows", "7"}, "--rows"},
        {{"--persons", "-1"}, "--persons"},
        {{"--steps", "99999999999999999999999"}, "--steps"},
        {{"--vmax", "0"}, "--vmax"},
        {{"--toff", "2147483648"}, "--toff"},
        {{"--seed", "-1"}, "--seed"},
        {{"--rows"}, "needs a value"},
        {{"-o", ""}, "needs a file name"},
        {{"--profile", "huge"}, "unknown profile \"huge\""},
        {{"--colour", "3"}, "unknown option --colour"},
        {{"--decks", "2", "--bogus"}, "unknown option --bogus"},
        {{"--rows="}, "--rows needs a whole number"},
        {{"file.3dl"}, "unexpected argument"},
        {{"--decks", "1000", "--columns", "100000", "--rows", "100000"}, "cells"},
    };
    for (const auto& [args, message] : cases) {
        const orlex::gen::TParseResult r = orlex::gen::ParseArguments(args);
        EXPECT_FALSE(r.Ok) << args.front();
        EXPECT_NE(r.Error.find(message), std::string::npos) << r.Error;
    }
}

// Collects what the loader would show.

TEST(OrlexGenLoad, LoaderReadsWhatTheGeneratorWrites) {
    const TGenOptions o = Make(3, 70, 26, 40, 800, 5, 4, 15);
    const std::string text = GenerateText(o);
    const TParsedFile f = ParseGenerated(text);
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("orlex_gen_test_" +
         std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + ".3dl");
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
    }
    orlex::TLogFile1 project("Deck");
    orlex::TNullProgress progress;
    orlex::test::TRecordingMessages messages;
    ASSERT_TRUE(project.LoadFromFile(path.string(), progress, messages));
    std::filesystem::remove(path);
    EXPECT_TRUE(messages.Messages.empty()) << messages.Messages.front().Text;
    EXPECT_EQ(project.PMax, o.Persons);
    EXPECT_EQ(project.XMax, o.Columns);
    EXPECT_EQ(project.YMax, o.Rows);
    EXPECT_EQ(project.ZMax, o.Decks);
    EXPECT_EQ(project.VMax, o.VMax);
    EXPECT_EQ(project.TOff, o.TOff);
    ASSERT_EQ(project.DeckCount(), o.Decks);
    int64_t totalSteps = 0;
    for (int z = 0; z < o.Decks; ++z) {
        int counted = 0;
        for (const std::string& row : f.Decks[z].Rows) {
            for (const char ch : row) counted += ch != '.';
        }
        EXPECT_EQ(project.Decks[z].CellCount, counted);
        EXPECT_EQ(project.Decks[z].Caption, f.Decks[z].Caption);
        EXPECT_GT(project.Decks[z].QuadCount(), 0);
    }
    ASSERT_EQ(project.PersonCount(), o.Persons);
    for (int i = 0; i < o.Persons; ++i) {
        std::string why;
        char end = 0;
        const long steps = PlayTrack(f, f.Starts[i], f.Tracks[i], why, &end);
        EXPECT_EQ(project.Persons[i].StepCount, steps);
        EXPECT_EQ(project.Persons[i].StartX, f.Starts[i][0]);
        EXPECT_EQ(project.Persons[i].StartLevel, f.Starts[i][2]);
        totalSteps += steps;
    }
    EXPECT_EQ(project.TotalSteps(), totalSteps);
}

TEST(OrlexGenLoad, BundledSampleIsTheSampleProfile) {
    std::ifstream in(std::string(ORLEX_SOURCE_DIR) + "/samples/ship.3dl", std::ios::binary);
    ASSERT_TRUE(in) << "samples/ship.3dl is missing";
    std::ostringstream bundled;
    bundled << in.rdbuf();
    const orlex::gen::TParseResult r = orlex::gen::ParseArguments({"--profile", "sample"});
    ASSERT_TRUE(r.Ok);
    const std::string text = GenerateText(r.Options);
    EXPECT_LT(text.size(), 1000000u);
    EXPECT_TRUE(bundled.str() == text)
        << "regenerate it: orlex-gen --profile sample -o samples/ship.3dl";
}

}  // namespace
