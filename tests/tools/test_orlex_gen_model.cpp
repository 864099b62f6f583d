// Tests of orlex-gen's evacuation model: what it writes is read back through the
// project core and replayed step by step, independently of the generator's state.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "analysis.h"
#include "deck.h"
#include "generator.h"
#include "projects.h"
#include "tempfolder.h"

namespace {

using orlex::gen::TGenOptions;
using orlex::gen::TModel;

struct TCase {
    const char* What;
    int Decks, Columns, Rows, Persons;
    uint64_t Seed;
    int VMax;
    double ResponseMax, SpeedMax;  // a short response and fast walkers crowd the doors
};

const TCase kCases[] = {
    {"one deck", 1, 40, 16, 60, 2, 4, 300, 1.4},
    {"two decks, crowded", 2, 60, 24, 200, 3, 4, 5, 1.4},
    {"four decks, 5 steps a second", 4, 100, 30, 250, 9, 5, 300, 1.4},
    {"five decks, all at once, fast", 5, 120, 37, 400, 4, 4, 0, 3},
};

TGenOptions Options(const TCase& c, int run = 1) {
    TGenOptions o;
    o.Model = TModel::Ca;
    o.Decks = c.Decks;
    o.Columns = c.Columns;
    o.Rows = c.Rows;
    o.Persons = c.Persons;
    o.Seed = c.Seed;
    o.VMax = c.VMax;
    o.Steps = 20000;
    o.ResponseMin = 0;
    o.ResponseMax = c.ResponseMax;
    o.SpeedMax = c.SpeedMax;
    o.Run = run;
    return o;
}

std::string Text(const TGenOptions& o) {
    orlex::gen::TStringSink sink;
    const orlex::gen::TGenStatus status = orlex::gen::Generate(o, sink);
    EXPECT_TRUE(status.Ok) << status.Error;
    return sink.Text;
}

struct TPlace {
    int Level, Row, Column;
    auto operator<=>(const TPlace&) const = default;
};

// Where every person stands, per step, as the project core plays the file.
struct TReplay {
    std::unique_ptr<orlex::TLogFile1> Project;
    std::vector<std::vector<TPlace>> Steps;  // [step][person]; Level -1 once saved
    std::vector<std::string> Faults;

    uint8_t CodeAt(const TPlace& p) const {
        const orlex::TDeck& deck = Project->Decks[static_cast<std::size_t>(p.Level)];
        return deck.Cells[static_cast<std::size_t>(p.Row) * Project->XMax + p.Column].Code;
    }
};

TReplay Replay(const std::string& text) {
    TReplay replay;
    orlex::test::TLoaded loaded = orlex::test::LoadText(text);
    replay.Project = std::move(loaded.Project);
    orlex::TLogFile1& project = *replay.Project;
    int last = 0;
    for (const orlex::TPersonData& person : project.Persons)
        last = std::max(last, person.StepCount);
    const auto place = [&](const orlex::TPersonData& person) {
        float x = 0, y = 0;
        int tag = 0, heading = 0, level = 0;
        person.GetPosition(x, y, tag, heading, level);
        return TPlace{level, static_cast<int>(std::lround(project.YMax / 2 - y - 0.5f)),
                      static_cast<int>(std::lround(x + project.XMax / 2 - 0.5f))};
    };
    for (int k = 0; k <= last + 1; ++k) {
        std::vector<TPlace>& now = replay.Steps.emplace_back();
        for (orlex::TPersonData& person : project.Persons) {
            if (k > 0) person.IsStepMoved(k - 1);
            now.push_back(place(person));
        }
    }
    return replay;
}

bool Walkable(uint8_t code) {
    return code != orlex::kCodeBlock && code != orlex::kCodeVoid;
}

TEST(OrlexGenModel, OnePersonACellAndNoSwaps) {
    for (const TCase& c : kCases) {
        SCOPED_TRACE(c.What);
        const TReplay r = Replay(Text(Options(c)));
        ASSERT_EQ(r.Project->PersonCount(), c.Persons);
        int crowdedCells = 0;  // cells with a neighbour taken, to see that the case is not sparse
        for (std::size_t k = 0; k < r.Steps.size(); ++k) {
            std::map<TPlace, int> where;
            for (int p = 0; p < c.Persons; ++p) {
                const TPlace& at = r.Steps[k][static_cast<std::size_t>(p)];
                if (at.Level < 0) continue;
                const auto [it, fresh] = where.emplace(at, p);
                ASSERT_TRUE(fresh)
                    << "persons " << it->second << " and " << p << " share deck " << at.Level
                    << ", row " << at.Row << ", column " << at.Column << " after " << k << " steps";
            }
            for (const auto& [at, p] : where)
                crowdedCells += where.count({at.Level, at.Row, at.Column + 1}) > 0;
            if (k == 0) continue;
            for (const auto& [at, p] : where) {
                const TPlace before = r.Steps[k - 1][static_cast<std::size_t>(p)];
                if (before == at) continue;
                const auto other = where.find(before);
                if (other == where.end()) continue;
                const TPlace otherBefore = r.Steps[k - 1][static_cast<std::size_t>(other->second)];
                ASSERT_FALSE(otherBefore == at) << "persons " << p << " and " << other->second
                                                << " swap cells in step " << k - 1;
            }
        }
        EXPECT_GT(crowdedCells, 0);
    }
}

TEST(OrlexGenModel, EveryPersonWalksOnFloorsToAMusterArea) {
    for (const TCase& c : kCases) {
        SCOPED_TRACE(c.What);
        const TReplay r = Replay(Text(Options(c)));
        int levelChanges = 0;
        for (int p = 0; p < c.Persons; ++p) {
            SCOPED_TRACE("person " + std::to_string(p));
            const int steps = r.Project->Persons[static_cast<std::size_t>(p)].StepCount;
            ASSERT_GT(steps, 0);
            for (int k = 0; k <= steps; ++k) {
                const TPlace at = r.Steps[static_cast<std::size_t>(k)][static_cast<std::size_t>(p)];
                ASSERT_GE(at.Level, 0) << "gone before its track ends";
                ASSERT_TRUE(Walkable(r.CodeAt(at)))
                    << "on a block or void cell after " << k << " steps";
                if (k == 0) continue;
                const TPlace before =
                    r.Steps[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(p)];
                ASSERT_LE(std::abs(at.Row - before.Row), 1);
                ASSERT_LE(std::abs(at.Column - before.Column), 1);
                if (at.Level != before.Level) {
                    ++levelChanges;
                    EXPECT_EQ(std::abs(at.Level - before.Level), 1);
                    EXPECT_EQ(r.CodeAt(before), orlex::kCodeGrey) << "left the deck off the stairs";
                    EXPECT_EQ(r.CodeAt(at), orlex::kCodeGrey) << "arrived off the stairs";
                }
            }
            const TPlace end =
                r.Steps[static_cast<std::size_t>(steps)][static_cast<std::size_t>(p)];
            EXPECT_EQ(r.CodeAt(end), orlex::kCodeGreen) << "the track ends outside a muster area";
            EXPECT_EQ(
                r.Steps[static_cast<std::size_t>(steps) + 1][static_cast<std::size_t>(p)].Level,
                -1);
        }
        if (c.Decks > 1) {
            EXPECT_GT(levelChanges, 0);
        }
    }
}

TEST(OrlexGenModel, RunsOfOneCaseShareTheCaseAndDiffer) {
    const TCase c = kCases[1];
    std::set<std::string> tracks;
    std::string starts;
    for (int run = 1; run <= 50; ++run) {
        const std::string text = Text(Options(c, run));
        const std::size_t movement = text.find("(movement)");
        ASSERT_NE(movement, std::string::npos);
        if (run == 1) starts = text.substr(0, movement);
        EXPECT_EQ(text.substr(0, movement), starts) << "run " << run << " is another case";
        tracks.insert(text.substr(movement));
        if (run <= 3) {
            EXPECT_EQ(text, Text(Options(c, run))) << "run " << run;
        }
    }
    EXPECT_EQ(tracks.size(), 50u);
    TGenOptions other = Options(c);
    other.Seed = c.Seed + 1;
    EXPECT_NE(Text(other).substr(0, 2000), starts.substr(0, 2000)) << "the seed picks the case";
}

TEST(OrlexGenModel, RefusedCases) {
    struct TRefused {
        const char* What;
        TGenOptions Options;
        std::string Message;
    };
    TGenOptions noStairs = Options(kCases[0]);
    noStairs.Decks = 3;
    noStairs.Columns = 16;
    noStairs.Rows = 8;
    noStairs.Persons = 5;
    TGenOptions tooMany = Options(kCases[0]);
    tooMany.Persons = 100000;
    TGenOptions cap = Options(kCases[0]);
    cap.Steps = 100;
    TGenOptions none = cap;
    none.Steps = 0;
    const TRefused cases[] = {
        {"decks without stairs", noStairs, "persons of 5 start on a deck from which no muster"},
        {"more persons than cells", tooMany, "100000 persons do not fit on the decks"},
        {"the cap reached", cap, "persons are still on the way after 100 steps"},
        {"no steps at all", none, "60 persons are still on the way after 0 steps"},
    };
    for (const TRefused& r : cases) {
        SCOPED_TRACE(r.What);
        orlex::gen::TStringSink sink;
        const orlex::gen::TGenStatus status = orlex::gen::Generate(r.Options, sink);
        EXPECT_FALSE(status.Ok);
        EXPECT_NE(status.Error.find(r.Message), std::string::npos) << status.Error;
        EXPECT_TRUE(sink.Text.empty()) << "a refused case writes nothing";
    }
}

// The bundled sample's case: what an analyst sees of it.
TEST(OrlexGenModel, SampleCaseIsPlausible) {
    const orlex::gen::TParseResult parsed = orlex::gen::ParseArguments({"--profile", "sample"});
    ASSERT_TRUE(parsed.Ok);
    std::vector<double> evacuation;
    for (int run = 1; run <= 10; ++run) {
        TGenOptions o = parsed.Options;
        o.Run = run;
        orlex::test::TLoaded loaded = orlex::test::LoadText(Text(o));
        orlex::TEvacuationAnalysis analysis(*loaded.Project, {});
        const auto result = analysis.Run();
        ASSERT_TRUE(result);
        ASSERT_TRUE(result->EvacuationTime);
        evacuation.push_back(*result->EvacuationTime);
        ASSERT_TRUE(result->Peak);
        // One person a cell: at most 25 persons in the 5 x 5 window of 0.4 m cells.
        EXPECT_LE(result->Peak->Value, 6.25) << "run " << run;
    }
    const auto [lo, hi] = std::minmax_element(evacuation.begin(), evacuation.end());
    EXPECT_GE(*hi - *lo, 30.0) << "runs of one case should differ by tens of seconds";
}

TEST(OrlexGenModel, SampleProfileIsTheFirstRunOfItsCase) {
    const auto sample = orlex::gen::ParseArguments({"--profile", "sample"});
    const auto runs =
        orlex::gen::ParseArguments({"--profile", "sample", "--runs", "50", "-o", "r%02d.3dl"});
    ASSERT_TRUE(sample.Ok && runs.Ok);
    EXPECT_EQ(sample.Options.Model, TModel::Ca);
    EXPECT_EQ(orlex::gen::ParseArguments({}).Options.Model, TModel::Ca);
    EXPECT_EQ(orlex::gen::ParseArguments({"--profile", "large"}).Options.Model, TModel::Classic);
    TGenOptions first = runs.Options;
    first.Run = 1;
    first.Output.clear();
    EXPECT_EQ(Text(sample.Options), Text(first));
}

TEST(OrlexGenModel, RunFileNames) {
    const std::vector<std::tuple<std::string, int, std::string>> named = {
        {"runs/ship-%02d.3dl", 1, "runs/ship-01.3dl"},
        {"runs/ship-%02d.3dl", 50, "runs/ship-50.3dl"},
        {"runs/ship-%02d.3dl", 123, "runs/ship-123.3dl"},
        {"r%d.3dl", 7, "r7.3dl"},
        {"r%3d.3dl", 7, "r  7.3dl"},
        {"100%%-%03d.3dl", 4, "100%-004.3dl"},
    };
    for (const auto& [pattern, run, name] : named)
        EXPECT_EQ(orlex::gen::RunFileName(pattern, run).value_or("(none)"), name) << pattern;
    for (const std::string pattern : {"ship.3dl", "ship-%s.3dl", "a%d-%d.3dl", "100%%.3dl",
                                      "x%0d.3dl", "x%123d.3dl", "x%", "x%02"}) {
        EXPECT_FALSE(orlex::gen::RunFileName(pattern, 1)) << pattern;
    }
}

TEST(OrlexGenModel, ModelOptions) {
    const auto parsed = orlex::gen::ParseArguments(
        {"--model", "ca", "--response", "0,12.5", "--speed=0.8,1.", "--runs", "3", "-o", "r%d"});
    ASSERT_TRUE(parsed.Ok) << parsed.Error;
    EXPECT_EQ(parsed.Options.ResponseMin, 0);
    EXPECT_EQ(parsed.Options.ResponseMax, 12.5);
    EXPECT_EQ(parsed.Options.SpeedMin, 0.8);
    EXPECT_EQ(parsed.Options.SpeedMax, 1.0);
    EXPECT_EQ(parsed.Options.Runs, 3);
    EXPECT_EQ(orlex::gen::ParseArguments({"--model", "classic"}).Options.Model, TModel::Classic);

    const std::vector<std::pair<std::vector<std::string>, std::string>> rejected = {
        {{"--model", "agent"}, "--model needs ca or classic"},
        {{"--runs", "0", "-o", "r%d"}, "--runs needs a whole number from 1 to 1000"},
        {{"--runs", "1001", "-o", "r%d"}, "--runs"},
        {{"--runs", "2"}, "--runs above 1 needs -o FILE with a field"},
        {{"--runs", "2", "-o", "ship.3dl"}, "--runs above 1 needs -o FILE with a field"},
        {{"--runs", "2", "-o", "r%d", "--model", "classic"}, "--runs above 1 needs --model ca"},
        {{"--response", "300,30"}, "--response needs MIN,MAX in seconds"},
        {{"--response", "-1,30"}, "--response"},
        {{"--response", "30"}, "--response"},
        {{"--response", "0,86401"}, "--response"},
        {{"--response", "a,b"}, "not \"a,b\""},
        {{"--speed", "0,1"}, "--speed needs MIN,MAX in m/s with 0 < MIN"},
        {{"--speed", "1,11"}, "--speed"},
        {{"--speed", "1e0,2"}, "--speed"},
        {{"--speed", "nan,2"}, "--speed"},
        {{"--speed", "1,,2"}, "--speed"},
        {{"--speed", ".,1"}, "--speed"},
    };
    for (const auto& [args, message] : rejected) {
        const auto r = orlex::gen::ParseArguments(args);
        EXPECT_FALSE(r.Ok) << args.front() << " " << args[1];
        EXPECT_NE(r.Error.find(message), std::string::npos) << r.Error;
    }
}

class OrlexGenProgram : public orlex::test::TTempFolderTest {
protected:
    int Run(const std::string& args) {
        const std::string command =
            std::string("'") + ORLEX_GEN_EXE + "' " + args + " 2>'" + Path("stderr.txt") + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Err() {
        std::ifstream in(Path("stderr.txt"));
        std::ostringstream text;
        text << in.rdbuf();
        std::remove(Path("stderr.txt").c_str());
        return text.str();
    }
};

TEST_F(OrlexGenProgram, WritesNumberedRunsAndLeavesNothingOfARefusedOne) {
    const std::string small = "--decks 2 --columns 40 --rows 20 --persons 30 --seed 7 ";
    EXPECT_EQ(Run(small + "--runs 3 -o '" + Path("run-%02d.3dl") + "'"), 0);
    EXPECT_NE(Err().find("run-03.3dl: 30 persons, all saved at step "), std::string::npos);
    EXPECT_EQ(FilesLeft(), 3u);
    for (const char* name : {"run-01.3dl", "run-02.3dl", "run-03.3dl"})
        EXPECT_TRUE(std::ifstream(Path(name)).good()) << name;

    EXPECT_EQ(Run(small + "--steps 50 -o '" + Path("cut.3dl") + "'"), 1);
    EXPECT_NE(Err().find("cut.3dl: 30 persons are still on the way after 50 steps"),
              std::string::npos);
    EXPECT_EQ(FilesLeft(), 3u) << "neither the file nor its temporary stays";

    EXPECT_EQ(Run("--speed 2,1"), 2);
    EXPECT_NE(Err().find("--speed needs MIN,MAX"), std::string::npos);
}

}  // namespace
