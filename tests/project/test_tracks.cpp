// Round trips of the compact track encoding: every kind of item and run length,
// written by TTrackWriter, EncodeSteps and AppendSteps, read back by GetStep, by
// TTrackCursor and by stepping forward and back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "directions.h"
#include "person.h"

namespace orlex {
namespace {

struct TEntry {
    int Direction;
    int LevelChange;
};

// A track written as groups of equal entries.
struct TGroup {
    int Count;
    int Direction;
    int LevelChange;
};

std::vector<TEntry> Expand(const std::vector<TGroup>& groups) {
    std::vector<TEntry> entries;
    for (const TGroup& g : groups)
        for (int i = 0; i < g.Count; ++i) entries.push_back({g.Direction, g.LevelChange});
    return entries;
}

// Where stepping must leave a person after each step: the expected positions.
struct TState {
    float X;
    float Y;
    int Level;
    int Heading;
};

std::vector<TState> Simulate(const TPersonData& start, const std::vector<TEntry>& entries) {
    std::vector<TState> states{{start.X, start.Y, start.Level, start.Heading}};
    for (const TEntry& e : entries) {
        TState s = states.back();
        if (IsMoveDirection(e.Direction)) {
            s.X += static_cast<float>(kDirectionColumn[e.Direction]);
            s.Y -= static_cast<float>(kDirectionRow[e.Direction]);
            s.Heading = e.Direction;
        }
        s.Level += e.LevelChange;
        states.push_back(s);
    }
    return states;
}

void ExpectState(const TPersonData& p, const TState& s, const std::string& where) {
    EXPECT_EQ(p.X, s.X) << where;
    EXPECT_EQ(p.Y, s.Y) << where;
    EXPECT_EQ(p.Level, s.Level) << where;
}

// Reads the person's track back every way and compares it with entries.
void ExpectRoundTrip(TPersonData& p, const std::vector<TEntry>& entries, const std::string& name) {
    const int n = static_cast<int>(entries.size());
    ASSERT_EQ(p.StepCount, n) << name;
    for (int k = 0; k < n; ++k) {
        const TStep s = p.GetStep(k);
        ASSERT_EQ(s.Direction, entries[static_cast<std::size_t>(k)].Direction) << name << " @" << k;
        ASSERT_EQ(s.LevelChange, entries[static_cast<std::size_t>(k)].LevelChange)
            << name << " @" << k;
    }
    // The cursor: runs of equal entries that add up to the track.
    TTrackCursor cursor(p);
    TStepRun run;
    int k = 0;
    while (cursor.Next(run)) {
        ASSERT_GT(run.Count, 0) << name;
        for (int i = 0; i < run.Count; ++i, ++k) {
            ASSERT_LT(k, n) << name;
            EXPECT_EQ(run.Step.Direction, entries[static_cast<std::size_t>(k)].Direction)
                << name << " @" << k;
            EXPECT_EQ(run.Step.LevelChange, entries[static_cast<std::size_t>(k)].LevelChange)
                << name << " @" << k;
        }
    }
    EXPECT_EQ(k, n) << name;

    // Stepping forward to the end, then back to the start, twice (the second
    // time from cursors left at the ends).
    p.ResetToStart(20, 20);
    const std::vector<TState> states = Simulate(p, entries);
    for (int round = 0; round < 2; ++round) {
        for (int step = 0; step < n; ++step) {
            ASSERT_TRUE(p.IsStepMoved(step)) << name;
            ExpectState(p, states[static_cast<std::size_t>(step) + 1],
                        name + " forward " + std::to_string(step));
            // (Steps back keep the heading, so the second round starts turned.)
            if (round == 0) {
                EXPECT_EQ(p.Heading, states[static_cast<std::size_t>(step) + 1].Heading) << name;
            }
        }
        EXPECT_FALSE(p.IsStepMoved(n)) << name;
        EXPECT_EQ(p.Level, -1) << name;
        EXPECT_TRUE(p.IsStepMovedBack(n)) << name;
        EXPECT_EQ(p.Level, p.FinalLevel()) << name;
        for (int step = n - 1; step >= 0; --step) {
            ASSERT_TRUE(p.IsStepMovedBack(step)) << name;
            ExpectState(p, states[static_cast<std::size_t>(step)],
                        name + " back " + std::to_string(step));
        }
    }
    // Back and forth inside the track, across items.
    p.ResetToStart(20, 20);
    for (int step = 0; step < n; ++step) {
        ASSERT_TRUE(p.IsStepMoved(step));
        if (step % 3 == 2) {
            ASSERT_TRUE(p.IsStepMovedBack(step));
            ASSERT_TRUE(p.IsStepMovedBack(step - 1));
            ASSERT_TRUE(p.IsStepMoved(step - 1));
            ASSERT_TRUE(p.IsStepMoved(step));
        }
        ExpectState(p, states[static_cast<std::size_t>(step) + 1],
                    name + " to and fro " + std::to_string(step));
    }
    // Seeking to every step, then one step on.
    for (int target = 0; target <= n; ++target) {
        EXPECT_TRUE(p.SeekTo(target, 20, 20));
        ExpectState(p, states[static_cast<std::size_t>(target)],
                    name + " seek " + std::to_string(target));
        EXPECT_EQ(p.Heading, states[static_cast<std::size_t>(target)].Heading) << name << target;
        if (target < n) {
            ASSERT_TRUE(p.IsStepMoved(target));
            ExpectState(p, states[static_cast<std::size_t>(target) + 1],
                        name + " seek+1 " + std::to_string(target));
        }
    }
}

// The three ways of writing a track: the loader's writer (plain steps one by
// one), encoded groups handed over in one piece, and appending group by group.
enum class TWay { Writer, Encoded, Append };

TPersonData Write(const std::vector<TGroup>& groups, TWay way) {
    TPersonData p;
    p.SetStart(10, 10, 20, 20, 0, 5, 3);
    if (way == TWay::Append) {
        for (const TGroup& g : groups) p.AppendSteps(g.Count, g.Direction, g.LevelChange);
        return p;
    }
    std::vector<uint8_t> bytes;
    int steps = 0;
    int levels = 0;
    TTrackWriter writer(bytes);
    for (const TGroup& g : groups) {
        const bool plain = g.LevelChange == 0 && g.Direction >= 0 && g.Direction <= 8;
        if (way == TWay::Writer && plain) {
            for (int i = 0; i < g.Count; ++i) writer.Plain(static_cast<unsigned>(g.Direction));
        } else if (way == TWay::Writer) {
            writer.Steps(g.Count, g.Direction, g.LevelChange);
        } else {
            TPersonData::EncodeSteps(bytes, g.Count, g.Direction, g.LevelChange);
        }
        steps += g.Count;
        levels += g.Count * g.LevelChange;
    }
    writer.Flush();
    TTrackArena arena;
    p.AppendEncoded(bytes, steps, levels);  // not in the arena: the person outlives it
    return p;
}

struct TTrackCase {
    std::string Name;
    std::vector<TGroup> Groups;
};

std::vector<TTrackCase> Cases() {
    std::vector<TTrackCase> cases;
    // Every pair of plain directions, on either side of an odd step.
    for (int a = 0; a <= 8; ++a)
        for (int b = 0; b <= 8; ++b) {
            cases.push_back(
                {"pair " + std::to_string(a) + std::to_string(b), {{1, a, 0}, {1, b, 0}}});
            cases.push_back({"odd pair " + std::to_string(a) + std::to_string(b),
                             {{1, 3, 0}, {1, a, 0}, {1, b, 0}}});
        }
    // Runs of every length up to past the shortest run item, of stays and moves.
    for (const int d : {0, 1, 4, 8})
        for (int count = 1; count <= 20; ++count) {
            cases.push_back(
                {"run " + std::to_string(count) + "x" + std::to_string(d), {{count, d, 0}}});
            cases.push_back({"run between " + std::to_string(count) + "x" + std::to_string(d),
                             {{1, 2, 0}, {count, d, 0}, {1, 6, 0}}});
        }
    cases.push_back({"long runs", {{3000, 0, 0}, {3, 5, 0}, {2000, 3, 0}}});
    // One-level steps with and without a move, and steps needing the general item.
    for (int d = 0; d <= 8; ++d) {
        cases.push_back({"up " + std::to_string(d), {{1, 1, 0}, {2, d, 1}, {1, 7, 0}}});
        cases.push_back({"down " + std::to_string(d), {{2, d, -1}, {1, 4, 0}}});
    }
    cases.push_back({"invalid directions", {{1, 9, 0}, {2, 4, 0}, {1, 'X' - '0', 1}, {3, 9, -1}}});
    cases.push_back({"run of invalid", {{12, 9, 0}, {1, 1, 0}}});
    // Every kind of item mixed, after one another in many orders.
    std::vector<TGroup> mixed;
    const TGroup kinds[] = {{1, 2, 0}, {1, 0, 0},  {9, 0, 0}, {1, 5, 1}, {1, 9, 0},
                            {8, 6, 0}, {1, 0, -1}, {3, 7, 0}, {1, 9, 1}, {2, 1, 0}};
    for (int i = 0; i < 60; ++i) mixed.push_back(kinds[(i * 7 + i / 10) % 10]);
    cases.push_back({"mixed", mixed});
    return cases;
}

TEST(TrackEncoding, RoundTripsEveryItemKindAndRunLength) {
    for (const TTrackCase& c : Cases()) {
        const std::vector<TEntry> entries = Expand(c.Groups);
        for (const TWay way : {TWay::Writer, TWay::Encoded, TWay::Append}) {
            TPersonData p = Write(c.Groups, way);
            ExpectRoundTrip(p, entries, c.Name + " way " + std::to_string(static_cast<int>(way)));
            if (HasFatalFailure()) return;
        }
    }
}

TEST(TrackEncoding, CopiesStepOnFromTheirOwnCursor) {
    TPersonData p = Write({{5, 3, 0}, {1, 0, 0}, {12, 0, 0}, {1, 1, 1}, {4, 2, 0}}, TWay::Writer);
    const std::vector<TEntry> entries =
        Expand({{5, 3, 0}, {1, 0, 0}, {12, 0, 0}, {1, 1, 1}, {4, 2, 0}});
    for (int step = 0; step < 9; ++step) ASSERT_TRUE(p.IsStepMoved(step));
    TPersonData copy = p;
    TPersonData moved = std::move(p);
    const std::vector<TState> states = Simulate(copy, {entries.begin() + 9, entries.end()});
    for (int step = 9; step < copy.StepCount; ++step) {
        ASSERT_TRUE(copy.IsStepMoved(step));
        ASSERT_TRUE(moved.IsStepMoved(step));
        ExpectState(copy, states[static_cast<std::size_t>(step - 8)], "copy");
        ExpectState(moved, states[static_cast<std::size_t>(step - 8)], "moved");
    }
}

TEST(TrackEncoding, StepsOutOfOrderGoTheLongWay) {
    TPersonData p = Write({{3, 1, 0}, {10, 0, 0}, {3, 5, 0}}, TWay::Writer);
    // Playing a step twice or skipping steps is no in-order playback, but must
    // still play the asked entry.
    EXPECT_EQ(p.Y, -0.5f);
    ASSERT_TRUE(p.IsStepMoved(0));  // north
    ASSERT_TRUE(p.IsStepMoved(0));
    EXPECT_EQ(p.Y, 1.5f);
    ASSERT_TRUE(p.IsStepMoved(14));  // south
    EXPECT_EQ(p.Y, 0.5f);
    EXPECT_EQ(p.Heading, 5);
    ASSERT_TRUE(p.IsStepMovedBack(1));
    EXPECT_EQ(p.Y, -0.5f);
    ASSERT_TRUE(p.IsStepMoved(2));
    ASSERT_TRUE(p.IsStepMoved(3));  // a stay
    EXPECT_EQ(p.Y, 0.5f);
    EXPECT_FALSE(p.IsStepMoved(-1));
    EXPECT_EQ(p.Level, -1);
    EXPECT_FALSE(p.IsStepMovedBack(17));
}

}  // namespace
}  // namespace orlex
