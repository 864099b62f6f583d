// Seeking: the state after SeekTo(k) is the state k steps from the start give,
// for every k, on generated projects; stepping on from a seek agrees too.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "projects.h"

using namespace orlex::test;

namespace orlex {
namespace {

struct TPersonState {
    float X, Y;
    int Level, Heading;
    bool operator==(const TPersonState&) const = default;
};

struct TState {
    std::vector<TPersonState> Persons;
    int StepCounter, SavedCount, TimeSeconds;
    bool operator==(const TState&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TState& s) {
    out << "counter " << s.StepCounter << " saved " << s.SavedCount << " time " << s.TimeSeconds;
    for (const TPersonState& p : s.Persons)
        out << " (" << p.X << "," << p.Y << " L" << p.Level << " H" << p.Heading << ")";
    return out;
}

TState StateOf(const TPlayback& pb) {
    TState s{{}, pb.StepCounter, pb.SavedCount, pb.TimeSeconds};
    for (const TPersonData& p : pb.Project()->Persons)
        s.Persons.push_back({p.X, p.Y, p.Level, p.Heading});
    return s;
}

// A generated project: tracks of random items (moves, waits, long runs, level
// changes, bad directions), start records for only some of the persons.
struct TCase {
    const char* Name;
    unsigned Seed;
    int Persons;
    int StartRecords;
    int Vmax;
    int Toff;
    int Items;  // most items per track
    int Pool;   // items drawn from the first Pool kinds: the short ones come first
};

std::string MakeProject(const TCase& c) {
    std::mt19937 random(c.Seed);
    const char* items[] = {"1",      "2",    "3",     "4",      "5",     "6",    "7",
                           "8",      "0",    "0",     "33",     "U2",    "D6",   "U0",
                           "9",      "U9",   "D9",    "P7x2",   "P13x7", "P3x0", "P40x5",
                           "P700x0", "P2x4", "P90x1", "P600x3", "P5x9"};
    const int kinds = std::min<int>(c.Pool, sizeof(items) / sizeof(items[0]));
    std::string starts, tracks;
    for (int i = 0; i < c.StartRecords; ++i)
        starts += std::to_string(random() % 8) + " " + std::to_string(random() % 8) + " " +
                  std::to_string(random() % 2) + " " + std::to_string(random() % 9) + " " +
                  std::to_string(i) + "\n";
    for (int i = 0; i < c.Persons; ++i) {
        const int length = static_cast<int>(random() % (c.Items + 1));
        for (int k = 0; k < length; ++k) tracks += items[random() % static_cast<unsigned>(kinds)];
        tracks += "S\n";
    }
    return "<header> pmax " + std::to_string(c.Persons) + " xmax 8 ymax 8 zmax 2 vmax " +
           std::to_string(c.Vmax) + " toff " + std::to_string(c.Toff) +
           " </header>\n<persons>\n<startpositions>\n" + starts + "(movement)\n" + tracks +
           "</persons>\n";
}

const TCase kCases[] = {
    {"short tracks", 1, 9, 9, 2, 30, 8, 99},
    {"long runs, vmax 4", 2, 12, 12, 4, 0, 40, 99},
    {"persons without start records", 3, 10, 6, 3, -45, 30, 99},
    {"vmax 0", 4, 5, 5, 0, 7, 25, 99},
    {"one person", 5, 1, 1, 1, 0, 60, 99},
    {"no persons", 6, 0, 0, 2, 10, 0, 0},
    // Thousands of bytes a track: seeks start from checkpoints.
    {"long walks", 7, 4, 3, 4, 0, 3000, 19},
    {"long walks and runs", 8, 3, 3, 2, 0, 1500, 99},
};

// Every state from the start to a few steps past the end, stepped forward.
std::vector<TState> SteppedStates(TLogFile1& project, int last) {
    TPlayback pb;
    pb.SetProject(&project);
    pb.ResetToStart();
    std::vector<TState> states{StateOf(pb)};
    pb.StepForward();
    pb.StepBackward();
    states[0].TimeSeconds = pb.TimeSeconds;  // the time of step 0 by the formula
    pb.ResetToStart();
    for (int k = 1; k <= last + 3; ++k) {
        pb.StepForward();
        states.push_back(StateOf(pb));
    }
    return states;
}

// Two loads of a case: one to step, one to seek in with Seeker.
struct TTwoLoads {
    explicit TTwoLoads(const TCase& c)
        : Stepped(LoadText(MakeProject(c))), Sought(LoadText(MakeProject(c))) {
        Seeker.SetProject(Sought.Project.get());
    }
    TLoaded Stepped, Sought;
    TPlayback Seeker;
};

TEST(Seek, EqualsSteppingForEveryCounter) {
    for (const TCase& c : kCases) {
        SCOPED_TRACE(c.Name);
        TTwoLoads loads(c);
        TLoaded& stepped = loads.Stepped;
        TLoaded& sought = loads.Sought;
        TPlayback& pb = loads.Seeker;
        const int last = pb.LastStep();
        const std::vector<TState> states = SteppedStates(*stepped.Project, last);

        // Everybody is saved at LastStep, not before.
        int longest = -1;
        for (const TPersonData& p : sought.Project->Persons)
            longest = std::max(longest, p.StepCount);
        EXPECT_EQ(last, longest + 1);
        int indexed = 0;
        for (const TPersonData& p : sought.Project->Persons) indexed += p.IndexBytes() > 0;
        if (c.Items >= 1000) {
            EXPECT_GT(indexed, 0) << "the tracks are long enough for checkpoints";
        }
        EXPECT_EQ(states[static_cast<std::size_t>(last)].SavedCount, c.Persons);
        if (last > 0) {
            EXPECT_LT(states[static_cast<std::size_t>(last) - 1].SavedCount, c.Persons);
        }

        // Every counter, in random order: from anywhere to anywhere.
        std::vector<int> order(states.size());
        std::iota(order.begin(), order.end(), 0);
        std::shuffle(order.begin(), order.end(), std::mt19937(c.Seed));
        for (const int k : order) {
            pb.SeekTo(k);
            ASSERT_EQ(StateOf(pb), states[static_cast<std::size_t>(k)]) << "seek to " << k;
        }
        pb.SeekTo(-5);
        EXPECT_EQ(StateOf(pb), states[0]) << "a negative counter is the start";
    }
}

// After a seek, steps forward and back give what the same steps give after
// stepping there: the persons' cursors stand where the seek left them.
TEST(Seek, SteppingOnFromASeekAgrees) {
    for (const TCase& c : kCases) {
        SCOPED_TRACE(c.Name);
        TTwoLoads loads(c);
        TLoaded& stepped = loads.Stepped;
        TPlayback& pb = loads.Seeker;
        TPlayback ref;
        ref.SetProject(stepped.Project.get());
        ref.ResetToStart();
        TLoaded copy = LoadText(MakeProject(c));
        std::mt19937 random(c.Seed);
        for (int k = 0; k <= pb.LastStep() + 2; ++k) {
            if (k > 0) ref.StepForward();
            // The same moves from the stepped state, on a copy of its persons.
            copy.Project->Persons = stepped.Project->Persons;
            TPlayback moved;
            moved.SetProject(copy.Project.get());
            moved.StepCounter = k;
            pb.SeekTo(static_cast<int>(random() % static_cast<unsigned>(pb.LastStep() + 3)));
            pb.SeekTo(k);
            const int forward = static_cast<int>(random() % 3);
            for (int i = 0; i < forward; ++i) {
                moved.StepForward();
                pb.StepForward();
            }
            for (int i = 0; i < 3 && moved.StepCounter > 0; ++i) {
                moved.StepBackward();
                pb.StepBackward();
                ASSERT_EQ(StateOf(pb), StateOf(moved))
                    << "seek to " << k << ", " << forward << " forward, " << i + 1 << " back";
            }
            pb.StepForward();
            moved.StepForward();
            ASSERT_EQ(StateOf(pb), StateOf(moved)) << "seek to " << k << " and on";
        }
    }
}

TEST(Seek, IsNotAStep) {
    const TCase c = kCases[1];
    TLoaded l = LoadText(MakeProject(c));
    TPlayback pb;
    TRecorder host;
    pb.SetProject(l.Project.get());
    pb.SetHost(&host);
    pb.SetMessages(&host);
    for (const int k : {37, 0, 5, pb.LastStep(), 2}) {
        host.Events.clear();
        pb.SeekTo(k);
        EXPECT_EQ(host.Events,
                  (std::vector<std::string>{TPlayback::SavedText(pb.SavedCount),
                                            TPlayback::TimeText(pb.TimeSeconds), "paint"}))
            << k;
    }
    EXPECT_TRUE(host.Messages.empty()) << "bad directions are reported only when played";
    EXPECT_EQ(host.ProcessCount, 0);
}

TEST(Seek, ToTheStartShowsTheTimeOfStepZero) {
    TLoaded l = LoadText(kExampleFile);  // vmax 2, toff 30
    TPlayback pb;
    TRecorder host;
    pb.SetProject(l.Project.get());
    pb.SetHost(&host);
    pb.SeekTo(4);
    EXPECT_EQ(host.Events, (std::vector<std::string>{"Saved: 1", "Time: 0:32 min", "paint"}));
    host.Events.clear();
    pb.SeekTo(0);
    EXPECT_EQ(host.Events, (std::vector<std::string>{"Saved: 0", "Time: 0:30 min", "paint"}));
    EXPECT_EQ(pb.TimeSeconds, 30);
    EXPECT_EQ(pb.LastStep(), 5);
}

TEST(Seek, WithoutAProjectDoesNothing) {
    TPlayback pb;
    TRecorder host;
    pb.SetHost(&host);
    pb.SeekTo(3);
    EXPECT_EQ(pb.StepCounter, 0);
    EXPECT_EQ(pb.LastStep(), 0);
    EXPECT_TRUE(host.Events.empty());
}

}  // namespace
}  // namespace orlex

namespace orlex {
namespace {

// Thousands of persons: the checkpoints are made on several threads when the project
// is taken, or by the seeks themselves when it is taken without them; seeks agree
// with stepping either way.
TEST(Seek, CheckpointsOnThreadsAndOnDemandAgree) {
    const TCase c{"many persons", 9, 5000, 5000, 4, 0, 600, 19};
    TLoaded stepped = LoadText(MakeProject(c));
    TLoaded eager = LoadText(MakeProject(c));
    TLoaded lazy = LoadText(MakeProject(c));
    TPlayback stepper, early, late;
    stepper.SetProject(stepped.Project.get());
    early.SetProject(eager.Project.get());
    late.SetProject(lazy.Project.get(), false);
    for (const TPersonData& p : lazy.Project->Persons) ASSERT_EQ(p.IndexBytes(), 0u);
    const int last = stepper.LastStep();
    const int targets[] = {last / 3, 1, last, last / 2, 0};
    std::vector<TState> states{StateOf(stepper)};
    for (int k = 1; k <= last; ++k) {
        stepper.StepForward();
        if (std::find(std::begin(targets), std::end(targets), k) != std::end(targets))
            states.push_back(StateOf(stepper));
        else
            states.push_back({});
    }
    for (const int k : targets) {
        if (k == 0) continue;
        early.SeekTo(k);
        late.SeekTo(k);
        ASSERT_EQ(StateOf(early), states[static_cast<std::size_t>(k)]) << "eager, seek to " << k;
        ASSERT_EQ(StateOf(late), states[static_cast<std::size_t>(k)]) << "lazy, seek to " << k;
    }
    for (std::size_t i = 0; i < eager.Project->Persons.size(); ++i) {
        ASSERT_EQ(eager.Project->Persons[i].IndexBytes(), lazy.Project->Persons[i].IndexBytes())
            << "person " << i;
    }
}

}  // namespace
}  // namespace orlex
