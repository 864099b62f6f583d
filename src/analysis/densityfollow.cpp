// The density pass, following the persons: where each one is at every step counter
// of a block, and the moves that change its cell.
#include "densitypass.h"

namespace orlex::analysis::pass {

TPass::TPass(const TDensityJob& job, int threads, TAnalysisResult& r)
    : Job_(job),
      Threads_(threads),
      Result_(r),
      Half_((job.Window - 1) / 2),
      Limit1_(job.CountLimit + 1),
      Index_(std::max(1, job.Columns)),
      Counts_(static_cast<std::size_t>(job.Decks)),
      Best_(static_cast<std::size_t>(job.Decks)) {
    r.Maps.resize(static_cast<std::size_t>(job.Decks));
    // The tiles are made as the persons' windows reach them.
    for (std::size_t z = 0; z < Counts_.size(); ++z) {
        TDeckCounts& d = Counts_[z];
        d.Usage = TCellMap(job.Columns, job.Rows);
        d.Tiles.resize(d.Usage.TileCount());
        d.Counts.resize(d.Usage.TileCount());
        r.Maps[z].PeakCount = TCellMap(job.Columns, job.Rows);
        r.Maps[z].StepsAbove = TCellMap(job.Columns, job.Rows);
    }
    Walkers_.reserve(job.Project->Persons.size());
    const std::vector<int>& entries = job.Project->EntrySteps;
    for (std::size_t i = 0; i < job.Project->Persons.size(); ++i)
        Walkers_.emplace_back(job.Project->Persons[i], i < entries.size() ? entries[i] : 0);
    Due_.assign(Walkers_.size(), 0);
}

inline void TPass::Schedule(TWalker& w) {
    for (;;) {
        if (w.Applied >= w.Last) {
            w.Next = w.Last + 1;
            return;
        }
        if (w.RunLeft == 0) {
            if (!w.Reader.Next(w.Run)) {
                // A track shorter than its count stands still to the end.
                w.Applied = w.Last;
                continue;
            }
            w.RunLeft = std::min<int64_t>(w.Run.Count, w.Last - w.Applied);
            continue;
        }
        const TStep& s = w.Run.Step;
        int64_t skip = 0;
        if (s.LevelChange != 0) {
            skip = 0;
        } else if (!IsMoveDirection(s.Direction) || w.Place.Level < 0 ||
                   w.Place.Level >= Job_.Decks) {
            skip = w.RunLeft;
        } else if (w.Deck == kNowhere) {
            const TSpan in =
                InsideSpan(w.Place, s.Direction, Job_.Columns, Job_.Rows, 1, w.RunLeft);
            skip = in.Empty() ? w.RunLeft : in.First - 1;
        }
        if (skip == 0) {
            w.Next = w.Applied + 1;
            return;
        }
        w.Place.Apply(s, skip);
        w.Applied += skip;
        w.RunLeft -= skip;
    }
}

void TPass::Advance(TWalker& w) {
    while (w.Applied < w.Entry) {
        if (w.RunLeft == 0) {
            // A track shorter than its count stands still.
            if (!w.Reader.Next(w.Run)) return;
            w.RunLeft = std::min<int64_t>(w.Run.Count, w.Last - w.Applied);
            if (w.RunLeft <= 0) return;
            continue;
        }
        const int64_t n = std::min(w.RunLeft, w.Entry - w.Applied);
        w.Place.Apply(w.Run.Step, n);
        w.Applied += n;
        w.RunLeft -= n;
    }
}

inline void TPass::Change(TWalker& w, int64_t k, int deck, int row, int column, int64_t begin,
                          TFound& found) {
    const uint32_t from = w.Deck == kNowhere ? 0 : Index_.Of(w.Row, w.Column);
    const uint32_t to = deck == kNowhere ? 0 : Index_.Of(row, column);
    const auto since = static_cast<uint32_t>(w.Arrived);
    if (w.Deck != kNowhere) {
        Bucket(found, w.Deck, k, begin)
            .push_back({from | kHere, deck == w.Deck ? to | kHere : to, since});
    }
    if (deck != kNowhere && deck != w.Deck) {
        Bucket(found, deck, k, begin).push_back({from, to | kHere, since});
    }
    if (deck != w.Deck) {
        if (w.Deck != kNowhere)
            found.Occupancy[static_cast<std::size_t>(w.Deck)].push_back({k, -1});
        if (deck != kNowhere) found.Occupancy[static_cast<std::size_t>(deck)].push_back({k, +1});
    }
    w.Deck = deck;
    w.Row = row;
    w.Column = column;
    w.Arrived = k;
}

inline int64_t TPass::Walk(TWalker& w, int64_t k, int64_t begin, int64_t end, TFound& found) {
    const int d = w.Run.Step.Direction;
    const int dc = kDirectionColumn[d];
    const int dr = kDirectionRow[d];
    // The steps that keep the person inside the grid.
    const TSpan inside = InsideSpan(w.Place, d, Job_.Columns, Job_.Rows, 1, w.RunLeft);
    const int64_t n = std::min(inside.Last, end - k);
    if (n <= 0) return 0;
    const uint32_t delta = static_cast<uint32_t>(dr * Job_.Columns + dc);  // wraps for -1
    TMove move{Index_.Of(w.Row, w.Column) | kHere, 0, static_cast<uint32_t>(w.Arrived)};
    auto* bucket = &Bucket(found, w.Deck, k, begin);
    for (int64_t i = 0; i < n; ++i, ++bucket) {
        move.To = move.From + delta;
        bucket->push_back(move);
        move.From = move.To;
        move.Since = static_cast<uint32_t>(k + i);
    }
    w.Row += static_cast<int>(n) * dr;
    w.Column += static_cast<int>(n) * dc;
    w.Place.Row = w.Row;
    w.Place.Column = w.Column;
    w.Arrived = k + n - 1;
    w.Applied += n;
    w.RunLeft -= n;
    return n;
}

inline void TPass::Follow(TWalker& w, int64_t begin, int64_t end, TFound& found) {
    while (w.Next < end) {
        const int64_t k = w.Next;
        if (w.Waiting) {
            // Comes into the building where its track has taken it by now.
            w.Waiting = false;
            if (Counted(w.Place)) {
                Change(w, k, static_cast<int>(w.Place.Level), static_cast<int>(w.Place.Row),
                       static_cast<int>(w.Place.Column), begin, found);
            }
            Schedule(w);
            continue;
        }
        if (k <= w.Last && w.Deck != kNowhere && w.Run.Step.LevelChange == 0 &&
            IsMoveDirection(w.Run.Step.Direction)) {
            // A straight walk on the deck: one cell a step, no level change.
            if (Walk(w, k, begin, end, found) > 0) {
                Schedule(w);
                continue;
            }
        }
        int deck = kNowhere;
        int row = -1;
        int column = -1;
        if (k <= w.Last) {
            w.Place.Apply(w.Run.Step, 1);
            ++w.Applied;
            --w.RunLeft;
            if (Counted(w.Place)) {
                deck = static_cast<int>(w.Place.Level);
                row = static_cast<int>(w.Place.Row);
                column = static_cast<int>(w.Place.Column);
            }
        }
        if (deck != w.Deck || row != w.Row || column != w.Column) {
            Change(w, k, deck, row, column, begin, found);
        }
        if (k > w.Last) {
            w.Next = INT64_MAX;
            return;
        }
        Schedule(w);
    }
}

void TPass::StartShare(std::size_t first, std::size_t last, TFound& found) {
    for (std::size_t i = first; i < last; ++i) {
        TWalker& w = Walkers_[i];
        if (w.Entry > 0) {
            // A late entry: not counted anywhere before its entry step (never when
            // its track ends before it).
            Advance(w);
            w.Applied = w.Entry;
            w.Waiting = w.Entry <= w.Last;
            w.Next = w.Waiting ? w.Entry : INT64_MAX;
            continue;
        }
        if (Counted(w.Place)) {
            Change(w, 0, static_cast<int>(w.Place.Level), static_cast<int>(w.Place.Row),
                   static_cast<int>(w.Place.Column), 0, found);
        }
        Schedule(w);
    }
}

int64_t TPass::FollowShare(std::size_t first, std::size_t last, int64_t begin, int64_t end,
                           TFound& found) {
    int64_t due = INT64_MAX;
    for (std::size_t i = first; i < last; ++i) {
        // The persons and their tracks are far apart in memory: fetch ahead.
        if (i + 16 < last) {
            const char* next = reinterpret_cast<const char*>(&Walkers_[i + 16]);
            for (std::size_t b = 0; b < sizeof(TWalker); b += 64) __builtin_prefetch(next + b);
        }
        if (i + 8 < last && Due_[i + 8] < end) __builtin_prefetch(Walkers_[i + 8].Reader.Ahead());
        if (Due_[i] < end) {
            TWalker& w = Walkers_[i];
            Follow(w, begin, end, found);
            Due_[i] = w.Next;
        }
        due = std::min(due, Due_[i]);
    }
    return due;
}

}  // namespace orlex::analysis::pass
