#include "density.h"

#include <algorithm>
#include <barrier>
#include <cmath>
#include <thread>
#include <tuple>

#include "walk.h"

namespace orlex::analysis {

uint32_t CountLimit(double limit, double area) {
    // Start below the exact quotient and step up with the very comparison of d > limit.
    const double guess = std::floor(limit * area) - 2.0;
    uint32_t count = guess > 0 ? static_cast<uint32_t>(std::min(guess, 4.0e9)) : 0;
    while (count < UINT32_MAX && !(static_cast<double>(count + 1) / area > limit)) ++count;
    return count;
}

namespace {

constexpr int kNowhere = -1;

// One person as the density pass follows it.
struct TWalker {
    explicit TWalker(const TPersonData& person)
        : Reader(person), Place(StartPlace(person)), Last(std::max(0, person.StepCount)) {}
    TRunReader Reader;
    TStepRun Run;
    int64_t RunLeft = 0;
    TPlace Place;
    int64_t Applied = 0;  // track entries applied
    int64_t Last;         // step count: present up to this step counter
    int64_t Next = 0;     // the next step counter at which it may change cell
    int64_t Arrived = 0;  // step counter at which it came into its cell
    int Deck = kNowhere;  // deck it is counted on
    int Row = -1;         // its cell there
    int Column = -1;
};

// A change of cell of one person at one step counter; a deck of kNowhere is no cell.
struct TMove {
    int FromDeck;
    int FromRow, FromColumn;
    int ToDeck;
    int ToRow, ToColumn;
    int64_t Since;  // step counter at which it came into From
};

struct TRect {
    int R0, R1, C0, C1;  // inclusive; empty when R0 > R1
    bool HasRow(int r) const { return r >= R0 && r <= R1; }
};

class TPass {
public:
    TPass(const TDensityJob& job, const std::vector<std::vector<int>>& groups, TAnalysisResult& r);
    bool Run(std::optional<TDensityPeak>& peak, const std::function<void(double)>& progress);

private:
    bool Counted(const TPlace& p) const {
        return p.Level >= 0 && p.Level < Job_.Decks && p.Column >= 0 && p.Column < Job_.Columns &&
               p.Row >= 0 && p.Row < Job_.Rows;
    }
    // Skips what cannot change the person's cell and sets w.Next.
    void Schedule(TWalker& w);
    // Takes the person's steps before end into moves (indexed by step - begin).
    void Follow(TWalker& w, int64_t begin, int64_t end, std::vector<std::vector<TMove>>& moves);
    void Apply(int group, int64_t k, const std::vector<std::vector<std::vector<TMove>>>& all,
               std::size_t offset);
    TRect WindowOf(int r, int c) const {
        return {std::max(0, r - Half_), std::min(Job_.Rows - 1, r + Half_), std::max(0, c - Half_),
                std::min(Job_.Columns - 1, c + Half_)};
    }
    void Leave(int deck, const TRect& a, const TRect& b, int64_t k);
    void Enter(int group, int deck, const TRect& a, const TRect& b, int64_t k);
    void Take(int group, int deck, std::size_t index, uint32_t count, int64_t k);
    void ClearVoidCells(int deck);

    const TDensityJob& Job_;
    const std::vector<std::vector<int>>& Groups_;
    TAnalysisResult& Result_;
    const int Half_;
    const uint32_t Limit1_;     // the first count above the limit
    std::vector<int> GroupOf_;  // per deck
    // Per deck and cell: the window count and its peak side by side, so that a
    // step touches one cache line for both.
    struct TCount {
        uint32_t Window = 0;
        uint32_t Peak = 0;
    };
    std::vector<std::vector<TCount>> Counts_;
    std::vector<TWalker> Walkers_;
    std::vector<std::optional<TDensityPeak>> Best_;  // per group
};

TPass::TPass(const TDensityJob& job, const std::vector<std::vector<int>>& groups,
             TAnalysisResult& r)
    : Job_(job),
      Groups_(groups),
      Result_(r),
      Half_((job.Window - 1) / 2),
      Limit1_(job.CountLimit + 1),
      GroupOf_(static_cast<std::size_t>(job.Decks), -1),
      Counts_(static_cast<std::size_t>(job.Decks)),
      Best_(groups.size()) {
    const std::size_t cells = static_cast<std::size_t>(job.Columns) * job.Rows;
    r.Maps.resize(static_cast<std::size_t>(job.Decks));
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (const int z : groups[g]) GroupOf_[static_cast<std::size_t>(z)] = static_cast<int>(g);
    }
    for (int z = 0; z < job.Decks; ++z) {
        TDeckMaps& m = r.Maps[static_cast<std::size_t>(z)];
        m.StepsAbove.assign(cells, 0);
        m.UsageSteps.assign(cells, 0);
        Counts_[static_cast<std::size_t>(z)].assign(cells, TCount{});
    }
    Walkers_.reserve(job.Project->Persons.size());
    for (const TPersonData& p : job.Project->Persons) Walkers_.emplace_back(p);
}

void TPass::Schedule(TWalker& w) {
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

void TPass::Follow(TWalker& w, int64_t begin, int64_t end, std::vector<std::vector<TMove>>& moves) {
    while (w.Next < end) {
        const int64_t k = w.Next;
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
            moves[static_cast<std::size_t>(k - begin)].push_back(
                {w.Deck, w.Row, w.Column, deck, row, column, w.Arrived});
            w.Deck = deck;
            w.Row = row;
            w.Column = column;
            w.Arrived = k;
        }
        if (k > w.Last) {
            w.Next = INT64_MAX;
            return;
        }
        Schedule(w);
    }
}

// Calls f(index) for every cell of a that is not in b.
template <typename F>
void ForDifference(const TRect& a, const TRect& b, int columns, F&& f) {
    const auto span = [&](int r, int c0, int c1) {
        std::size_t i = static_cast<std::size_t>(r) * columns + c0;
        for (int c = c0; c <= c1; ++c, ++i) f(i);
    };
    for (int r = a.R0; r <= a.R1; ++r) {
        if (!b.HasRow(r)) {
            span(r, a.C0, a.C1);
        } else {
            span(r, a.C0, std::min(a.C1, b.C0 - 1));
            span(r, std::max(a.C0, b.C1 + 1), a.C1);
        }
    }
}

void TPass::Leave(int deck, const TRect& a, const TRect& b, int64_t k) {
    TCount* counts = Counts_[static_cast<std::size_t>(deck)].data();
    uint32_t* above = Result_.Maps[static_cast<std::size_t>(deck)].StepsAbove.data();
    ForDifference(a, b, Job_.Columns, [&](std::size_t i) {
        if (counts[i].Window-- == Limit1_) above[i] += static_cast<uint32_t>(k);
    });
}

void TPass::Enter(int group, int deck, const TRect& a, const TRect& b, int64_t k) {
    TCount* counts = Counts_[static_cast<std::size_t>(deck)].data();
    uint32_t* above = Result_.Maps[static_cast<std::size_t>(deck)].StepsAbove.data();
    ForDifference(a, b, Job_.Columns, [&](std::size_t i) {
        const uint32_t count = ++counts[i].Window;
        if (count == Limit1_) above[i] -= static_cast<uint32_t>(k);
        if (count > counts[i].Peak) Take(group, deck, i, count, k);
    });
}

// A new peak of a cell; also the group's peak when it is the first of the largest.
void TPass::Take(int group, int deck, std::size_t index, uint32_t count, int64_t k) {
    Counts_[static_cast<std::size_t>(deck)][index].Peak = count;
    std::optional<TDensityPeak>& best = Best_[static_cast<std::size_t>(group)];
    const auto bestCount = best ? static_cast<uint32_t>(best->Count) : 0u;
    if (best && (count < bestCount || (count == bestCount && k > best->Step))) return;
    const int row = static_cast<int>(index / static_cast<std::size_t>(Job_.Columns));
    const int column = static_cast<int>(index % static_cast<std::size_t>(Job_.Columns));
    const TCell* cell = Job_.Project->Decks[static_cast<std::size_t>(deck)].CellAt(row, column);
    if (!cell || cell->Code == kCodeVoid) return;
    if (best && count == bestCount &&
        std::tie(deck, row, column) >= std::tie(best->Cell.Deck, best->Cell.Row, best->Cell.Column))
        return;
    best = TDensityPeak{{deck, row, column}, k, static_cast<int>(count), 0.0};
}

void TPass::Apply(int group, int64_t k, const std::vector<std::vector<std::vector<TMove>>>& all,
                  std::size_t offset) {
    // Leaving first, then entering: in between, every count lies between its value
    // before the step and after it, so the peaks see only real values.
    constexpr TRect kNone{1, 0, 1, 0};
    const auto mine = [&](int deck) {
        return deck != kNowhere && GroupOf_[static_cast<std::size_t>(deck)] == group;
    };
    for (const auto& moves : all) {
        for (const TMove& m : moves[offset]) {
            if (!mine(m.FromDeck)) continue;
            const std::size_t from =
                static_cast<std::size_t>(m.FromRow) * Job_.Columns + m.FromColumn;
            Result_.Maps[static_cast<std::size_t>(m.FromDeck)].UsageSteps[from] +=
                static_cast<uint64_t>(k - m.Since);
            Leave(m.FromDeck, WindowOf(m.FromRow, m.FromColumn),
                  m.ToDeck == m.FromDeck ? WindowOf(m.ToRow, m.ToColumn) : kNone, k);
        }
    }
    for (const auto& moves : all) {
        for (const TMove& m : moves[offset]) {
            if (!mine(m.ToDeck)) continue;
            Enter(group, m.ToDeck, WindowOf(m.ToRow, m.ToColumn),
                  m.FromDeck == m.ToDeck ? WindowOf(m.FromRow, m.FromColumn) : kNone, k);
        }
    }
}

void TPass::ClearVoidCells(int z) {
    TDeckMaps& m = Result_.Maps[static_cast<std::size_t>(z)];
    const TDeck& deck = Job_.Project->Decks[static_cast<std::size_t>(z)];
    for (int r = 0; r < Job_.Rows; ++r) {
        for (int c = 0; c < Job_.Columns; ++c) {
            const TCell* cell = deck.CellAt(r, c);
            if (cell && cell->Code != kCodeVoid) continue;
            const std::size_t i = static_cast<std::size_t>(r) * Job_.Columns + c;
            m.PeakCount[i] = 0;
            m.StepsAbove[i] = 0;
            m.UsageSteps[i] = 0;
        }
    }
}

bool TPass::Run(std::optional<TDensityPeak>& peak, const std::function<void(double)>& progress) {
    const int threads = static_cast<int>(Groups_.size());
    const std::size_t persons = Walkers_.size();
    // Steps taken into memory at once: about 65,000 moves (2 MB) at most.
    const int64_t block = std::clamp<int64_t>(
        (int64_t{1} << 16) / static_cast<int64_t>(std::max<std::size_t>(persons, 1)), 1, 64);
    std::vector<std::vector<std::vector<TMove>>> moves(
        static_cast<std::size_t>(threads),
        std::vector<std::vector<TMove>>(static_cast<std::size_t>(block)));
    std::vector<int64_t> nextOf(static_cast<std::size_t>(threads), INT64_MAX);
    const int64_t stop = Job_.LastStep + 2;  // step counters 0 .. LastStep + 1
    int64_t begin = 0;
    int64_t end = std::min(block, stop);
    bool cancelled = false;
    // Between the phases: the next block starts where anyone changes next.
    std::barrier afterFollow(threads);
    std::barrier afterApply(threads, [&]() noexcept {
        int64_t next = end;
        for (auto& t : moves) {
            for (auto& m : t) m.clear();
        }
        const int64_t due = *std::min_element(nextOf.begin(), nextOf.end());
        next = std::max(next, due == INT64_MAX ? stop : due);
        begin = next;
        end = std::min(next + block, stop);
        cancelled = Job_.Cancelled && Job_.Cancelled->load(std::memory_order_relaxed);
    });
    const auto work = [&](int t) {
        const std::size_t first = persons * static_cast<std::size_t>(t) / threads;
        const std::size_t last = persons * static_cast<std::size_t>(t + 1) / threads;
        if (begin == 0) {
            for (std::size_t i = first; i < last; ++i) {
                TWalker& w = Walkers_[i];
                if (Counted(w.Place)) {
                    w.Deck = static_cast<int>(w.Place.Level);
                    w.Row = static_cast<int>(w.Place.Row);
                    w.Column = static_cast<int>(w.Place.Column);
                    moves[static_cast<std::size_t>(t)][0].push_back(
                        {kNowhere, -1, -1, w.Deck, w.Row, w.Column, 0});
                }
                Schedule(w);
            }
        }
        while (begin < stop && !cancelled) {
            int64_t due = INT64_MAX;
            for (std::size_t i = first; i < last; ++i) {
                TWalker& w = Walkers_[i];
                Follow(w, begin, end, moves[static_cast<std::size_t>(t)]);
                due = std::min(due, w.Next);
            }
            nextOf[static_cast<std::size_t>(t)] = due;
            afterFollow.arrive_and_wait();
            for (int64_t k = begin; k < end; ++k) {
                Apply(t, k, moves, static_cast<std::size_t>(k - begin));
            }
            if (t == 0 && progress) progress(static_cast<double>(end) / static_cast<double>(stop));
            afterApply.arrive_and_wait();
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (int t = 1; t < threads; ++t) helpers.emplace_back(work, t);
        work(0);
    }
    if (cancelled) return false;
    for (int z = 0; z < Job_.Decks; ++z) {
        // The peaks move into the maps deck by deck, so that little memory is held twice.
        auto& counts = Counts_[static_cast<std::size_t>(z)];
        auto& peaks = Result_.Maps[static_cast<std::size_t>(z)].PeakCount;
        peaks.resize(counts.size());
        for (std::size_t i = 0; i < counts.size(); ++i) peaks[i] = counts[i].Peak;
        std::vector<TCount>().swap(counts);
        ClearVoidCells(z);
    }
    const auto before = [](const TDensityPeak& a, const TDensityPeak& b) {
        if (a.Count != b.Count) return a.Count > b.Count;
        if (a.Step != b.Step) return a.Step < b.Step;
        return std::tie(a.Cell.Deck, a.Cell.Row, a.Cell.Column) <
               std::tie(b.Cell.Deck, b.Cell.Row, b.Cell.Column);
    };
    for (const auto& best : Best_) {
        if (best && (!peak || before(*best, *peak))) peak = best;
    }
    return true;
}

}  // namespace

bool RunDensity(const TDensityJob& job, const std::vector<std::vector<int>>& groups,
                TAnalysisResult& result, std::optional<TDensityPeak>& peak,
                const std::function<void(double)>& progress) {
    if (groups.empty()) return true;
    TPass pass(job, groups, result);
    return pass.Run(peak, progress);
}

}  // namespace orlex::analysis
