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

private:
    static constexpr int kBuffer = 16;
    struct TRun {
        uint32_t Count;
        int8_t Direction;  // codes above 127 wrap, but stay outside 1..8
        int8_t LevelChange;
    };
    bool Fill() {
        TStepRun runs[kBuffer];
        Count_ = static_cast<uint8_t>(Cursor_.NextRuns(runs, kBuffer));
        Pos_ = 0;
        for (int i = 0; i < Count_; ++i) {
            Runs_[i] = {static_cast<uint32_t>(runs[i].Count),
                        static_cast<int8_t>(runs[i].Step.Direction),
                        static_cast<int8_t>(runs[i].Step.LevelChange)};
        }
        return Count_ > 0;
    }
    TTrackCursor Cursor_;
    TRun Runs_[kBuffer];
    uint8_t Pos_ = 0;
    uint8_t Count_ = 0;
};

}  // namespace orlex::analysis
