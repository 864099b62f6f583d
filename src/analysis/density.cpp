#include "density.h"

#include <algorithm>
#include <atomic>
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

// A change of cell of one person at one step counter, in the list of a deck: the
// cells it leaves and enters (indices row * columns + column), each marked with kHere
// when it lies on that deck.
struct TMove {
    uint32_t From;
    uint32_t To;
    uint32_t Since;  // step counter at which it came into From
};
constexpr uint32_t kHere = uint32_t{1} << 31;

// Row and column of a cell index, by a multiplication instead of a division.
class TCellIndex {
public:
    explicit TCellIndex(int columns)
        : Columns_(static_cast<uint32_t>(columns)), Inverse_(UINT64_MAX / Columns_ + 1) {}
    uint32_t Of(int row, int column) const {
        return static_cast<uint32_t>(row) * Columns_ + static_cast<uint32_t>(column);
    }
    int Row(uint32_t index) const {
#if defined(__SIZEOF_INT128__)
        // Exact for every 32-bit index and divisor.
        __extension__ typedef unsigned __int128 TWide;
        return static_cast<int>((static_cast<TWide>(Inverse_) * index) >> 64);
#else
        return static_cast<int>(index / Columns_);
#endif
    }
    int Column(uint32_t index, int row) const {
        return static_cast<int>(index - static_cast<uint32_t>(row) * Columns_);
    }

private:
    uint32_t Columns_;
    uint64_t Inverse_;
};

// What one thread finds while following its persons through a block of steps.
struct TFound {
    // Per deck and step counter of the block: the moves that leave or enter the deck's
    // cells, at deck * block + (step counter - the block's first).
    std::vector<std::vector<TMove>> Moves;
    TOccupancyEvents Occupancy;  // per deck
};

// Further steps t >= 1 for which position + t * delta stays in 0 .. size - 1.
inline int64_t StepsInside(int position, int delta, int size) {
    if (delta == 0) return INT64_MAX;
    return delta > 0 ? size - 1 - position : position;
}

struct TRect {
    int R0, R1, C0, C1;  // inclusive; empty when R0 > R1
    bool HasRow(int r) const { return r >= R0 && r <= R1; }
};

class TPass {
public:
    TPass(const TDensityJob& job, int threads, TAnalysisResult& r);
    bool Run(std::optional<TDensityPeak>& peak, TOccupancyEvents& occupancy,
             const std::function<void(double)>& progress);

private:
    bool Counted(const TPlace& p) const {
        return p.Level >= 0 && p.Level < Job_.Decks && p.Column >= 0 && p.Column < Job_.Columns &&
               p.Row >= 0 && p.Row < Job_.Rows;
    }
    // Skips what cannot change the person's cell and sets w.Next.
    void Schedule(TWalker& w);
    // Takes the person's steps before end into moves (indexed by step - begin).
    void Follow(TWalker& w, int64_t begin, int64_t end, TFound& found);
    // Walks on from step counter k while the person moves straight on its deck
    // without leaving the grid; returns the steps taken.
    int64_t Walk(TWalker& w, int64_t k, int64_t begin, int64_t end, TFound& found);
    void Change(TWalker& w, int64_t k, int deck, int row, int column, int64_t begin, TFound& found);
    // Applies the moves of the block on one deck, step by step.
    void Apply(int deck, int64_t begin, int64_t end, const std::vector<TFound>& all);
    std::vector<TMove>& Bucket(TFound& found, int deck, int64_t k, int64_t begin) const {
        return found.Moves[static_cast<std::size_t>(deck) * static_cast<std::size_t>(Block_) +
                           static_cast<std::size_t>(k - begin)];
    }
    TRect WindowOf(int r, int c) const {
        return {std::max(0, r - Half_), std::min(Job_.Rows - 1, r + Half_), std::max(0, c - Half_),
                std::min(Job_.Columns - 1, c + Half_)};
    }
    void Leave(int deck, const TRect& a, const TRect& b, int64_t k);
    void Enter(int deck, const TRect& a, const TRect& b, int64_t k);
    void Take(int deck, std::size_t index, uint32_t count, int64_t k);

    const TDensityJob& Job_;
    const int Threads_;
    TAnalysisResult& Result_;
    const int Half_;
    const uint32_t Limit1_;  // the first count above the limit
    const TCellIndex Index_;
    int64_t Block_ = 1;  // step counters taken into memory at once
    // Per deck and cell: the window count and its peak side by side, so that a
    // step touches one cache line for both.
    struct TCount {
        uint32_t Window = 0;
        uint32_t Peak = 0;
    };
    // Per deck and cell, used less often: the sum of +k and -k at the crossings of
    // the limit, and the person-steps (the sums that do not fit go to Spill).
    struct TSums {
        uint32_t Above = 0;
        uint32_t Usage = 0;
    };
    // What the pass keeps per deck; it becomes the deck's maps at the end.
    struct TDeckCounts {
        std::vector<TCount> Counts;
        std::vector<TSums> Sums;
        std::vector<std::pair<std::size_t, uint64_t>> Spill;
    };
    void AddUsage(TDeckCounts& d, std::size_t i, uint64_t steps);
    void MakeMaps(int deck);
    std::vector<TDeckCounts> Counts_;
    std::size_t Cells_ = 0;
    std::vector<TWalker> Walkers_;
    std::vector<int64_t> Due_;  // per walker: its Next, kept apart for a quick scan
    std::vector<std::optional<TDensityPeak>> Best_;  // per deck
};

TPass::TPass(const TDensityJob& job, int threads, TAnalysisResult& r)
    : Job_(job),
      Threads_(threads),
      Result_(r),
      Half_((job.Window - 1) / 2),
      Limit1_(job.CountLimit + 1),
      Index_(std::max(1, job.Columns)),
      Counts_(static_cast<std::size_t>(job.Decks)),
      Best_(static_cast<std::size_t>(job.Decks)) {
    const std::size_t cells = static_cast<std::size_t>(job.Columns) * job.Rows;
    r.Maps.resize(static_cast<std::size_t>(job.Decks));
    Cells_ = cells;
    for (TDeckCounts& d : Counts_) {
        d.Counts.assign(cells, TCount{});
        d.Sums.assign(cells, TSums{});
    }
    Walkers_.reserve(job.Project->Persons.size());
    for (const TPersonData& p : job.Project->Persons) Walkers_.emplace_back(p);
    Due_.assign(Walkers_.size(), 0);
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

void TPass::Change(TWalker& w, int64_t k, int deck, int row, int column, int64_t begin,
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

int64_t TPass::Walk(TWalker& w, int64_t k, int64_t begin, int64_t end, TFound& found) {
    const int d = w.Run.Step.Direction;
    const int dc = kDirectionColumn[d];
    const int dr = kDirectionRow[d];
    const int64_t n = std::min({w.RunLeft, end - k, StepsInside(w.Row, dr, Job_.Rows),
                                StepsInside(w.Column, dc, Job_.Columns)});
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

void TPass::Follow(TWalker& w, int64_t begin, int64_t end, TFound& found) {
    while (w.Next < end) {
        const int64_t k = w.Next;
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
    TCount* counts = Counts_[static_cast<std::size_t>(deck)].Counts.data();
    TSums* sums = Counts_[static_cast<std::size_t>(deck)].Sums.data();
    ForDifference(a, b, Job_.Columns, [&](std::size_t i) {
        if (counts[i].Window-- == Limit1_) sums[i].Above += static_cast<uint32_t>(k);
    });
}

void TPass::Enter(int deck, const TRect& a, const TRect& b, int64_t k) {
    TCount* counts = Counts_[static_cast<std::size_t>(deck)].Counts.data();
    TSums* sums = Counts_[static_cast<std::size_t>(deck)].Sums.data();
    ForDifference(a, b, Job_.Columns, [&](std::size_t i) {
        const uint32_t count = ++counts[i].Window;
        if (count == Limit1_) sums[i].Above -= static_cast<uint32_t>(k);
        if (count > counts[i].Peak) Take(deck, i, count, k);
    });
}

// A new peak of a cell; also the deck's peak when it is the first of the largest.
void TPass::Take(int deck, std::size_t index, uint32_t count, int64_t k) {
    Counts_[static_cast<std::size_t>(deck)].Counts[index].Peak = count;
    std::optional<TDensityPeak>& best = Best_[static_cast<std::size_t>(deck)];
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

void TPass::AddUsage(TDeckCounts& d, std::size_t i, uint64_t steps) {
    uint32_t& usage = d.Sums[i].Usage;
    const uint64_t sum = usage + steps;
    if (sum < TUsageMap::kLarge) {
        usage = static_cast<uint32_t>(sum);
    } else {
        d.Spill.emplace_back(i, sum);
        usage = 0;
    }
}

void TPass::Apply(int z, int64_t begin, int64_t end, const std::vector<TFound>& all) {
    // Leaving first, then entering: in between, every count lies between its value
    // before the step and after it, so the peaks see only real values.
    constexpr TRect kNone{1, 0, 1, 0};
    TDeckCounts& d = Counts_[static_cast<std::size_t>(z)];
    // The cells of a move lie anywhere on the deck: fetch those of later moves ahead.
    constexpr std::size_t kAhead = 6;
    const std::size_t last = Cells_ - 1;
    const auto prefetch = [&](uint32_t cell) {
        if (!(cell & kHere)) return;
        const std::size_t i = cell & ~kHere;
        const std::size_t reach = static_cast<std::size_t>(Half_) * Job_.Columns + Half_;
        for (std::size_t at = i > reach ? i - reach : 0; at <= std::min(last, i + reach);
             at += static_cast<std::size_t>(Job_.Columns)) {
            __builtin_prefetch(&d.Counts[at], 1);
        }
    };
    const auto window = [&](uint32_t cell) {
        const uint32_t i = cell & ~kHere;
        const int row = Index_.Row(i);
        return WindowOf(row, Index_.Column(i, row));
    };
    for (int64_t k = begin; k < end; ++k) {
        const std::size_t at = static_cast<std::size_t>(z) * static_cast<std::size_t>(Block_) +
                               static_cast<std::size_t>(k - begin);
        for (const TFound& found : all) {
            const auto& moves = found.Moves[at];
            for (std::size_t j = 0; j < moves.size(); ++j) {
                if (j + kAhead < moves.size()) {
                    const uint32_t ahead = moves[j + kAhead].From;
                    prefetch(ahead);
                    if (ahead & kHere) __builtin_prefetch(&d.Sums[ahead & ~kHere], 1);
                }
                const TMove& m = moves[j];
                if (!(m.From & kHere)) continue;
                AddUsage(d, m.From & ~kHere, static_cast<uint64_t>(k - m.Since));
                Leave(z, window(m.From), m.To & kHere ? window(m.To) : kNone, k);
            }
        }
        for (const TFound& found : all) {
            const auto& moves = found.Moves[at];
            for (std::size_t j = 0; j < moves.size(); ++j) {
                if (j + kAhead < moves.size()) prefetch(moves[j + kAhead].To);
                const TMove& m = moves[j];
                if (!(m.To & kHere)) continue;
                Enter(z, window(m.To), m.From & kHere ? window(m.From) : kNone, k);
            }
        }
    }
}

void TPass::MakeMaps(int z) {
    TDeckCounts& d = Counts_[static_cast<std::size_t>(z)];
    TDeckMaps& m = Result_.Maps[static_cast<std::size_t>(z)];
    const std::size_t cells = Cells_;
    m.PeakCount.resize(cells);
    m.StepsAbove.resize(cells);
    std::vector<uint32_t> usage(cells);
    for (std::size_t i = 0; i < cells; ++i) {
        m.PeakCount[i] = d.Counts[i].Peak;
        m.StepsAbove[i] = d.Sums[i].Above;
        usage[i] = d.Sums[i].Usage;
    }
    // The deck's counts are done with: their memory goes before the next deck's maps
    // are made.
    std::vector<TCount>().swap(d.Counts);
    std::vector<TSums>().swap(d.Sums);
    // The sums that did not fit 32 bits, added up per cell.
    std::sort(d.Spill.begin(), d.Spill.end());
    std::vector<std::pair<std::size_t, uint64_t>> large;
    for (std::size_t j = 0; j < d.Spill.size();) {
        const std::size_t i = d.Spill[j].first;
        uint64_t sum = usage[i];
        for (; j < d.Spill.size() && d.Spill[j].first == i; ++j) sum += d.Spill[j].second;
        if (sum < TUsageMap::kLarge) {
            usage[i] = static_cast<uint32_t>(sum);
        } else {
            usage[i] = TUsageMap::kLarge;
            large.emplace_back(i, sum);
        }
    }
    const TDeck& deck = Job_.Project->Decks[static_cast<std::size_t>(z)];
    const auto isVoid = [&](std::size_t i) {
        const TCell* cell =
            deck.CellAt(static_cast<int>(i / static_cast<std::size_t>(Job_.Columns)),
                        static_cast<int>(i % static_cast<std::size_t>(Job_.Columns)));
        return !cell || cell->Code == kCodeVoid;
    };
    for (std::size_t i = 0; i < cells; ++i) {
        if (!isVoid(i)) continue;
        m.PeakCount[i] = 0;
        m.StepsAbove[i] = 0;
        usage[i] = 0;
    }
    std::erase_if(large, [&](const auto& entry) { return isVoid(entry.first); });
    m.UsageSteps = TUsageMap(std::move(usage), std::move(large));
    d = TDeckCounts{};
}

bool TPass::Run(std::optional<TDensityPeak>& peak, TOccupancyEvents& occupancy,
                const std::function<void(double)>& progress) {
    const int threads = Threads_;
    const std::size_t persons = Walkers_.size();
    // Steps taken into memory at once: about 65,000 moves (1.8 MB) at most.
    const int64_t block = std::clamp<int64_t>(
        (int64_t{1} << 18) / static_cast<int64_t>(std::max<std::size_t>(persons, 1)), 1, 64);
    Block_ = block;
    std::vector<TFound> found(static_cast<std::size_t>(threads));
    for (TFound& f : found) {
        f.Moves.resize(static_cast<std::size_t>(block) * static_cast<std::size_t>(Job_.Decks));
        f.Occupancy.resize(static_cast<std::size_t>(Job_.Decks));
    }
    // The decks are handed out to the threads one at a time as they get free.
    std::atomic<int> nextDeck{0};
    std::vector<int64_t> nextOf(static_cast<std::size_t>(threads), INT64_MAX);
    const int64_t stop = Job_.LastStep + 2;  // step counters 0 .. LastStep + 1
    int64_t begin = 0;
    int64_t end = std::min(block, stop);
    bool cancelled = false;
    // Between the phases: the next block starts where anyone changes next.
    std::barrier afterFollow(threads);
    std::barrier afterApply(threads, [&]() noexcept {
        int64_t next = end;
        for (auto& f : found) {
            for (auto& m : f.Moves) m.clear();
        }
        const int64_t due = *std::min_element(nextOf.begin(), nextOf.end());
        next = std::max(next, due == INT64_MAX ? stop : due);
        begin = next;
        end = std::min(next + block, stop);
        nextDeck.store(0, std::memory_order_relaxed);
        cancelled = Job_.Cancelled && Job_.Cancelled->load(std::memory_order_relaxed);
    });
    const auto work = [&](int t) {
        const std::size_t first = persons * static_cast<std::size_t>(t) / threads;
        const std::size_t last = persons * static_cast<std::size_t>(t + 1) / threads;
        if (begin == 0) {
            for (std::size_t i = first; i < last; ++i) {
                TWalker& w = Walkers_[i];
                if (Counted(w.Place)) {
                    Change(w, 0, static_cast<int>(w.Place.Level), static_cast<int>(w.Place.Row),
                           static_cast<int>(w.Place.Column), 0, found[static_cast<std::size_t>(t)]);
                }
                Schedule(w);
            }
        }
        while (begin < stop && !cancelled) {
            int64_t due = INT64_MAX;
            for (std::size_t i = first; i < last; ++i) {
                // The persons and their tracks are far apart in memory: fetch ahead.
                if (i + 16 < last) {
                    const char* next = reinterpret_cast<const char*>(&Walkers_[i + 16]);
                    for (std::size_t b = 0; b < sizeof(TWalker); b += 64)
                        __builtin_prefetch(next + b);
                }
                if (i + 8 < last && Due_[i + 8] < end) {
                    __builtin_prefetch(Walkers_[i + 8].Reader.Ahead());
                }
                if (Due_[i] < end) {
                    TWalker& w = Walkers_[i];
                    Follow(w, begin, end, found[static_cast<std::size_t>(t)]);
                    Due_[i] = w.Next;
                }
                due = std::min(due, Due_[i]);
            }
            nextOf[static_cast<std::size_t>(t)] = due;
            afterFollow.arrive_and_wait();
            for (int z; (z = nextDeck.fetch_add(1, std::memory_order_relaxed)) < Job_.Decks;) {
                Apply(z, begin, end, found);
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
    std::vector<TWalker>().swap(Walkers_);
    occupancy.assign(static_cast<std::size_t>(Job_.Decks), {});
    for (TFound& f : found) {
        for (std::size_t z = 0; z < f.Occupancy.size(); ++z) {
            auto& events = occupancy[z];
            events.insert(events.end(), f.Occupancy[z].begin(), f.Occupancy[z].end());
        }
    }
    std::vector<TFound>().swap(found);
    // The counts become the maps deck by deck, so that little memory is held twice.
    for (int z = 0; z < Job_.Decks; ++z) MakeMaps(z);
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

bool RunDensity(const TDensityJob& job, int threads, TAnalysisResult& result,
                std::optional<TDensityPeak>& peak, TOccupancyEvents& occupancy,
                const std::function<void(double)>& progress) {
    if (job.Decks <= 0) return true;
    TPass pass(job, std::max(1, threads), result);
    return pass.Run(peak, occupancy, progress);
}

}  // namespace orlex::analysis
