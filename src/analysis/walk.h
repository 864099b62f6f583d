// Helpers of the analysis passes that follow persons along their tracks.
#pragma once

#include <algorithm>
#include <cstdint>

#include "directions.h"
#include "person.h"

namespace orlex::analysis {

// Where a person stands: cell and level, wide enough for absurd tracks.
struct TPlace {
    int64_t Column = 0;
    int64_t Row = 0;
    int64_t Level = 0;

    void Apply(const TStep& step, int64_t times) {
        if (IsMoveDirection(step.Direction)) {
            Column += kDirectionColumn[step.Direction] * times;
            Row += kDirectionRow[step.Direction] * times;
        }
        Level += step.LevelChange * times;
    }
};

inline TPlace StartPlace(const TPersonData& person) {
    return {person.StartX, person.StartY, person.StartLevel};
}

struct TSpan {
    int64_t First = 1;  // empty when First > Last
    int64_t Last = 0;
    bool Empty() const { return First > Last; }
};

// The t in [from, to] for which position + t * delta lies in 0 .. size - 1.
inline TSpan AxisSpan(int64_t position, int delta, int64_t size, int64_t from, int64_t to) {
    if (delta == 0) return position >= 0 && position < size ? TSpan{from, to} : TSpan{};
    int64_t first = delta > 0 ? -position : position - (size - 1);
    int64_t last = delta > 0 ? size - 1 - position : position;
    return {std::max(first, from), std::min(last, to)};
}

// The steps t in [from, to] after which a person at place, repeating a plain move
// of direction, stands inside a columns x rows grid. A straight line crosses the
// grid once, so the steps form one span.
inline TSpan InsideSpan(const TPlace& place, int direction, int64_t columns, int64_t rows,
                        int64_t from, int64_t to) {
    const TSpan c = AxisSpan(place.Column, kDirectionColumn[direction], columns, from, to);
    const TSpan r = AxisSpan(place.Row, kDirectionRow[direction], rows, from, to);
    return {std::max(c.First, r.First), std::min(c.Last, r.Last)};
}

// A track cursor that fetches its runs a few dozen at a time and keeps them small.
class TRunReader {
public:
    explicit TRunReader(const TPersonData& person) : Cursor_(person) {}
    bool Next(TStepRun& run) {
        if (Pos_ == Count_ && !Fill()) return false;
        const TRun& r = Runs_[Pos_++];
        run.Count = static_cast<int>(r.Count);
        run.Step = {r.Direction, r.LevelChange};
        return true;
    }

    // Where the cursor reads next, for prefetching.
    const void* Ahead() const { return Cursor_.Ahead(); }

private:
    static constexpr int kBuffer = 8;
    struct TRun {
        uint32_t Count;
        int8_t Direction;  // codes above 127 wrap, but stay outside 1..8
        int8_t LevelChange;
    };
    bool Fill() {
        TStepRun runs[kBuffer];
        const int got = Cursor_.NextRuns(runs, kBuffer);
        Pos_ = 0;
        Count_ = 0;
        for (int i = 0; i < got; ++i) {
            const TRun run{static_cast<uint32_t>(runs[i].Count),
                           static_cast<int8_t>(runs[i].Step.Direction),
                           static_cast<int8_t>(runs[i].Step.LevelChange)};
            // Equal entries that the encoding keeps apart become one run.
            if (Count_ > 0) {
                TRun& last = Runs_[Count_ - 1];
                if (last.Direction == run.Direction && last.LevelChange == run.LevelChange &&
                    last.Count + uint64_t{run.Count} <= uint64_t{INT32_MAX}) {
                    last.Count += run.Count;
                    continue;
                }
            }
            Runs_[Count_++] = run;
        }
        return Count_ > 0;
    }
    TTrackCursor Cursor_;
    TRun Runs_[kBuffer];
    uint8_t Pos_ = 0;
    uint8_t Count_ = 0;
};

}  // namespace orlex::analysis
