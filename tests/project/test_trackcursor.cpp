// Reading tracks in batches of runs: every batch size gives the entries that reading
// run by run gives, whatever items the track is made of.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "person.h"

namespace {

using orlex::TPersonData;
using orlex::TStep;
using orlex::TStepRun;
using orlex::TTrackCursor;

std::vector<TStep> Entries(const TPersonData& person, int batch) {
    TTrackCursor cursor(person);
    std::vector<TStep> entries;
    std::vector<TStepRun> runs(static_cast<std::size_t>(batch));
    for (int got; (got = cursor.NextRuns(runs.data(), batch)) > 0;) {
        EXPECT_LE(got, batch);
        for (int i = 0; i < got; ++i) {
            EXPECT_GT(runs[i].Count, 0);
            entries.insert(entries.end(), static_cast<std::size_t>(runs[i].Count), runs[i].Step);
        }
    }
    return entries;
}

// A random track of pairs, single steps, runs, level changes and bad directions.
TPersonData RandomTrack(std::mt19937& random, std::vector<TStep>& reference) {
    TPersonData p;
    const int items = 1 + static_cast<int>(random() % 60);
    for (int i = 0; i < items; ++i) {
        const int kind = static_cast<int>(random() % 6);
        int count = 1;
        int direction = static_cast<int>(random() % 9);
        int level = 0;
        if (kind == 1) count = 2 + static_cast<int>(random() % 12);  // runs and pairs
        if (kind == 2) level = random() % 2 ? 1 : -1;
        if (kind == 3) direction = 20;  // not a direction
        p.AppendSteps(count, direction, level);
        reference.insert(reference.end(), static_cast<std::size_t>(count), {direction, level});
    }
    p.ShrinkTrack();
    return p;
}

TEST(TrackCursor, BatchesOfEverySizeReadTheSameEntries) {
    std::mt19937 random(7);
    for (int track = 0; track < 40; ++track) {
        std::vector<TStep> reference;
        const TPersonData p = RandomTrack(random, reference);
        for (const int batch : {1, 2, 3, 5, 32}) {
            SCOPED_TRACE(testing::Message() << "track " << track << ", batch " << batch);
            const std::vector<TStep> read = Entries(p, batch);
            ASSERT_EQ(read.size(), reference.size());
            for (std::size_t k = 0; k < read.size(); ++k) {
                ASSERT_EQ(read[k].Direction, reference[k].Direction) << k;
                ASSERT_EQ(read[k].LevelChange, reference[k].LevelChange) << k;
            }
        }
    }
}

// Skipping plain steps in bulk, between runs read one by one, covers the track exactly:
// the skipped steps have no level change, move at most the budget, and add up to the
// column and row changes of the entries they stand for.
TEST(TrackCursor, SkippedPlainStepsAddUp) {
    constexpr int kColumn[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
    constexpr int kRow[9] = {0, -1, -1, 0, 1, 1, 1, 0, -1};
    std::mt19937 random(11);
    for (int track = 0; track < 60; ++track) {
        std::vector<TStep> reference;
        const TPersonData p = RandomTrack(random, reference);
        TTrackCursor cursor(p);
        std::size_t k = 0;
        for (TStepRun run;;) {
            const int64_t budget = static_cast<int64_t>(random() % 8);
            const auto plain = cursor.SkipPlain(budget);
            ASSERT_LE(plain.Moves, budget);
            ASSERT_LE(k + static_cast<std::size_t>(plain.Steps), reference.size());
            int64_t moves = 0, columns = 0, rows = 0;
            for (int64_t i = 0; i < plain.Steps; ++i, ++k) {
                const TStep& s = reference[k];
                ASSERT_EQ(s.LevelChange, 0) << k;
                if (s.Direction < 1 || s.Direction > 8) continue;
                ++moves;
                columns += kColumn[s.Direction];
                rows += kRow[s.Direction];
            }
            ASSERT_EQ(plain.Moves, moves);
            ASSERT_EQ(plain.Columns, columns);
            ASSERT_EQ(plain.Rows, rows);
            if (!cursor.Next(run)) break;
            for (int i = 0; i < run.Count; ++i, ++k) {
                ASSERT_LT(k, reference.size());
                ASSERT_EQ(run.Step.Direction, reference[k].Direction) << k;
                ASSERT_EQ(run.Step.LevelChange, reference[k].LevelChange) << k;
            }
        }
        ASSERT_EQ(k, reference.size()) << "track " << track;
    }
}

}  // namespace
