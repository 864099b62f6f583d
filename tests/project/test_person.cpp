// Person tracks: positions, stepping both ways, leaving and coming back, and
// the compact track storage.
#include <gtest/gtest.h>

#include <random>

#include "projects.h"

using namespace orlex::test;

namespace orlex {
namespace {

TEST(Person, ExamplePersonZeroWalksAndLeaves) {
    TLoaded l = LoadText(kExampleFile);
    TPersonData& p = l.Project->Persons[0];
    EXPECT_FLOAT_EQ(p.X, -1.5f);
    EXPECT_FLOAT_EQ(p.Y, 0.5f);
    EXPECT_EQ(p.Level, 0);
    EXPECT_EQ(p.Heading, 3);
    EXPECT_EQ(p.StepCount, 4);
    EXPECT_TRUE(p.IsStepMoved(0));
    EXPECT_FLOAT_EQ(p.X, -0.5f);
    EXPECT_TRUE(p.IsStepMoved(1));
    EXPECT_FLOAT_EQ(p.X, 0.5f);
    EXPECT_TRUE(p.IsStepMoved(2));
    EXPECT_TRUE(p.IsStepMoved(3));
    EXPECT_FLOAT_EQ(p.X, 0.5f);
    EXPECT_FALSE(p.IsStepMoved(4));
    EXPECT_EQ(p.Level, -1);
    EXPECT_FLOAT_EQ(p.X, 0.5f);
}

TEST(Person, DirectionsMoveByTheirTable) {
    const float dx[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
    const float dy[9] = {0, 1, 1, 0, -1, -1, -1, 0, 1};
    for (int d = 0; d <= 8; ++d) {
        TPersonData p;
        p.SetStart(5, 5, 10, 10, 0, 4, 0);  // centre of column 5, row 5: (0.5, -0.5)
        p.AppendSteps(1, d, 0);
        EXPECT_TRUE(p.IsStepMoved(0));
        EXPECT_FLOAT_EQ(p.X, 0.5f + dx[d]) << d;
        EXPECT_FLOAT_EQ(p.Y, -0.5f + dy[d]) << d;
        EXPECT_EQ(p.Heading, d == 0 ? 4 : d) << d;
        EXPECT_TRUE(p.IsStepMovedBack(0));
        EXPECT_FLOAT_EQ(p.X, 0.5f) << d;
        EXPECT_EQ(p.Heading, d == 0 ? 4 : d) << "a step back does not turn " << d;
    }
}

TEST(Person, LevelChangeWithoutMove) {
    TLoaded l = LoadText(
        " <header> pmax 1 xmax 2 ymax 2 zmax 2 vmax 1 </header>  <persons>  <startpositions> 0 0 0 "
        "5 9"
        " (movement) U0D3S </persons> ");
    TPersonData& p = l.Project->Persons[0];
    EXPECT_EQ(p.Tag, 9);
    EXPECT_TRUE(p.IsStepMoved(0));
    EXPECT_EQ(p.Level, 1);
    EXPECT_EQ(p.Heading, 5);
    EXPECT_FLOAT_EQ(p.X, -0.5f);
    EXPECT_TRUE(p.IsStepMoved(1));
    EXPECT_EQ(p.Level, 0);
    EXPECT_EQ(p.Heading, 3);
}

TEST(Person, EmptyTrackIsSavedAtOnceAndComesBack) {
    TPersonData p;
    p.SetStart(0, 0, 2, 2, 0, 1, 1);
    EXPECT_FALSE(p.IsStepMoved(0));
    EXPECT_EQ(p.Level, -1);
    EXPECT_TRUE(p.IsStepMovedBack(0));
    EXPECT_EQ(p.Level, 1);
}

TEST(Person, SteppingBackOverTheEndRestoresTheLastLevel) {
    TPersonData p;
    p.SetStart(1, 1, 4, 4, 0, 1, 2);
    p.AppendSteps(1, 3, 1);   // east, up
    p.AppendSteps(1, 3, -1);  // east, down
    p.AppendSteps(1, 1, 1);   // north, up: final level 3
    for (int k = 0; k < 3; ++k) ASSERT_TRUE(p.IsStepMoved(k));
    const float x = p.X, y = p.Y;
    EXPECT_FALSE(p.IsStepMoved(3));
    EXPECT_FALSE(p.IsStepMoved(4));
    // Counter 5 -> 4: still saved.
    EXPECT_FALSE(p.IsStepMovedBack(4));
    EXPECT_EQ(p.Level, -1);
    // Counter 4 -> 3: back on its last cell and level.
    EXPECT_TRUE(p.IsStepMovedBack(3));
    EXPECT_EQ(p.Level, 3);
    EXPECT_FLOAT_EQ(p.X, x);
    EXPECT_FLOAT_EQ(p.Y, y);
    EXPECT_TRUE(p.IsStepMovedBack(2));
    EXPECT_EQ(p.Level, 2);
}

TEST(Person, BadDirectionIsReportedEachTimeItIsPlayed) {
    TLoaded l = LoadText(
        " <header> pmax 1 xmax 2 ymax 2 zmax 1 vmax 1 </header>  <persons>  <startpositions> 0 0 0 "
        "3 0"
        " (movement) 9U9S </persons> ");
    TPersonData& p = l.Project->Persons[0];
    TRecorder rec;
    EXPECT_TRUE(p.IsStepMoved(0, &rec));
    EXPECT_TRUE(p.IsStepMoved(1, &rec));
    EXPECT_EQ(p.Level, 1);  // the level still changes
    EXPECT_TRUE(p.IsStepMovedBack(1, &rec));
    EXPECT_EQ(rec.Messages.size(), 3u);
    EXPECT_EQ(rec.Messages[0], (TMessage{"Error", "Error in TPersonData::IsStepMoved()"}));
    EXPECT_FLOAT_EQ(p.X, -0.5f);
    EXPECT_EQ(p.Heading, 3);
}

TEST(Person, TrackStorageRoundTripsEveryKindOfItem) {
    // Reference track, built from items of every kind.
    std::vector<TStep> reference;
    TPersonData p;
    std::mt19937 random(7);
    for (int item = 0; item < 3000; ++item) {
        const int kind = static_cast<int>(random() % 6);
        int64_t count = 1;
        int direction = static_cast<int>(random() % 9);
        int levelChange = 0;
        if (kind == 1) count = random() % 7;                             // short runs, even 0
        if (kind == 2) count = 7 + random() % 40;                        // longer runs
        if (kind == 3) levelChange = random() % 2 ? 1 : -1;              // U / D
        if (kind == 4) direction = 9 + static_cast<int>(random() % 60);  // invalid
        if (kind == 5) count = 2 + random() % 5, direction = -3;         // invalid run
        EXPECT_EQ(p.AppendSteps(count, direction, levelChange), count);
        for (int64_t i = 0; i < count; ++i) reference.push_back({direction, levelChange});
    }
    ASSERT_EQ(p.StepCount, static_cast<int>(reference.size()));
    // In order, backwards, and at random.
    for (int k = 0; k < p.StepCount; ++k) {
        const TStep s = p.GetStep(k);
        ASSERT_EQ(s.Direction, reference[k].Direction) << k;
        ASSERT_EQ(s.LevelChange, reference[k].LevelChange) << k;
    }
    for (int k = p.StepCount - 1; k >= 0; --k)
        ASSERT_EQ(p.GetStep(k).Direction, reference[k].Direction);
    // A cursor of its own reads the same entries, in runs, while the person's
    // own cursor sits elsewhere.
    TTrackCursor cursor(p);
    std::vector<TStep> read;
    for (TStepRun run; cursor.Next(run);) {
        ASSERT_GT(run.Count, 0);
        read.insert(read.end(), static_cast<std::size_t>(run.Count), run.Step);
    }
    ASSERT_EQ(read.size(), reference.size());
    for (std::size_t k = 0; k < read.size(); ++k) {
        ASSERT_EQ(read[k].Direction, reference[k].Direction) << k;
        ASSERT_EQ(read[k].LevelChange, reference[k].LevelChange) << k;
    }
    for (int i = 0; i < 2000; ++i) {
        const int k = static_cast<int>(random() % reference.size());
        ASSERT_EQ(p.GetStep(k).Direction, reference[k].Direction) << k;
    }
    // Plain single steps cost half a byte each.
    TPersonData walker;
    for (int i = 0; i < 10000; ++i) walker.AppendSteps(1, i % 9, 0);
    walker.ShrinkTrack();
    EXPECT_LE(walker.TrackBytes(), 5000u);
}

TEST(Person, CursorOfAnEmptyTrackEndsAtOnce) {
    TPersonData p;
    TStepRun run;
    EXPECT_FALSE(TTrackCursor(p).Next(run));
    p.AppendSteps(0, 3, 0);
    EXPECT_FALSE(TTrackCursor(p).Next(run));
    p.AppendSteps(100000, 3, 0);  // one long run
    TTrackCursor cursor(p);
    ASSERT_TRUE(cursor.Next(run));
    EXPECT_EQ(run.Count, 100000);
    EXPECT_EQ(run.Step.Direction, 3);
    EXPECT_FALSE(cursor.Next(run));
}

TEST(Person, StepCountStopsAtItsLimit) {
    TPersonData p;
    EXPECT_EQ(p.AppendSteps(kMaxStepCount - 1, 0, 0), kMaxStepCount - 1);
    EXPECT_EQ(p.AppendSteps(5, 3, 0), 1);
    EXPECT_EQ(p.StepCount, kMaxStepCount);
    EXPECT_EQ(p.AppendSteps(1, 3, 0), 0);
    EXPECT_EQ(p.GetStep(static_cast<int>(kMaxStepCount - 1)).Direction, 3);
    EXPECT_EQ(p.GetStep(static_cast<int>(kMaxStepCount - 2)).Direction, 0);
}

}  // namespace
}  // namespace orlex

namespace orlex {
namespace {

// Copies keep their own track, whether it lives in the person or in the arena.
TEST(Person, CopiesOutliveTheirSource) {
    TTrackArena arena;
    std::vector<uint8_t> bytes;
    TPersonData::EncodeSteps(bytes, 3, 3, 0);
    auto fromArena = std::make_unique<TPersonData>();
    fromArena->AppendEncoded(bytes, 3, 0, &arena);
    auto own = std::make_unique<TPersonData>();
    own->AppendSteps(2, 7, 0);
    own->AppendEncoded(bytes, 3, 0, &arena);  // a second part goes into the person's own
    TPersonData a = *fromArena;
    TPersonData b;
    b = *own;
    fromArena.reset();
    own.reset();
    EXPECT_EQ(a.GetStep(2).Direction, 3);
    ASSERT_EQ(b.StepCount, 5);
    EXPECT_EQ(b.GetStep(0).Direction, 7);
    EXPECT_EQ(b.GetStep(4).Direction, 3);
    std::vector<TPersonData> moved;
    moved.push_back(std::move(b));
    moved.resize(100);  // reallocation moves the person again
    EXPECT_EQ(moved[0].GetStep(1).Direction, 7);
}

}  // namespace
}  // namespace orlex
