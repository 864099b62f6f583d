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

TEST(TrackCursor, BatchesOfEverySizeReadTheSameEntries) {
    std::mt19937 random(7);
    for (int track = 0; track < 40; ++track) {
        TPersonData p;
        std::vector<TStep> reference;
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

}  // namespace
