#include "density.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <tuple>

#include "barrier.h"
#include "densitypass.h"

namespace orlex::analysis {

uint32_t CountLimit(double limit, double area) {
    // Start below the exact quotient and step up with the very comparison of d > limit.
    const double guess = std::floor(limit * area) - 2.0;
    uint32_t count = guess > 0 ? static_cast<uint32_t>(std::min(guess, 4.0e9)) : 0;
    while (count < UINT32_MAX && !(static_cast<double>(count + 1) / area > limit)) ++count;
    return count;
}

namespace pass {

void TPass::MakeTile(int z, TDeckCounts& d, std::size_t t) {
    TDeckMaps& maps = Result_.Maps[static_cast<std::size_t>(z)];
    d.Counts[t] = std::make_unique<TCount[]>(TCellMap::kTileCells);
    d.Tiles[t] = {d.Counts[t].get(), maps.StepsAbove.Tile(t), d.Usage.Tile(t)};
}

template <typename F>
void TPass::ForDifference(int z, const TRect& a, const TRect& b, F&& f) {
    TDeckCounts& d = Counts_[static_cast<std::size_t>(z)];
    const auto run = [&](TTile& tile, int r, int c0, int c1) {
        std::size_t i = TCellMap::InTile(r, c0);
        for (int c = c0; c <= c1; ++c, ++i) f(tile, i, r, c);
    };
    const auto rows = [&](auto&& span) {
        for (int r = a.R0; r <= a.R1; ++r) {
            if (!b.HasRow(r)) {
                span(r, a.C0, a.C1);
            } else {
                span(r, a.C0, std::min(a.C1, b.C0 - 1));
                span(r, std::max(a.C0, b.C1 + 1), a.C1);
            }
        }
    };
    if ((a.R0 >> TCellMap::kRowShift) == (a.R1 >> TCellMap::kRowShift) &&
        (a.C0 >> TCellMap::kColumnShift) == (a.C1 >> TCellMap::kColumnShift)) {
        // Mostly the window lies in one tile.
        TTile& tile = TileAt(z, d, a.R0, a.C0);
        rows([&](int r, int c0, int c1) { run(tile, r, c0, c1); });
        return;
    }
    rows([&](int r, int c0, int c1) {
        while (c0 <= c1) {
            const int stop = std::min(c1, c0 | (TCellMap::kTileColumns - 1));
            run(TileAt(z, d, r, c0), r, c0, stop);
            c0 = stop + 1;
        }
    });
}

inline void TPass::Leave(int deck, const TRect& a, const TRect& b, int64_t k) {
    ForDifference(deck, a, b, [&](TTile& tile, std::size_t i, int, int) {
        if (tile.Counts[i].Window-- == Limit1_) tile.Above[i] += static_cast<uint32_t>(k);
    });
}

inline void TPass::Enter(int deck, const TRect& a, const TRect& b, int64_t k) {
    ForDifference(deck, a, b, [&](TTile& tile, std::size_t i, int r, int c) {
        TCount& cell = tile.Counts[i];
        const uint32_t count = ++cell.Window;
        if (count == Limit1_) tile.Above[i] -= static_cast<uint32_t>(k);
        if (count > cell.Peak) Take(deck, cell.Peak, r, c, count, k);
    });
}

// A new peak of a cell; also the deck's peak when it is the first of the largest.
void TPass::Take(int deck, uint32_t& peak, int row, int column, uint32_t count, int64_t k) {
    peak = count;
    std::optional<TDensityPeak>& best = Best_[static_cast<std::size_t>(deck)];
    const auto bestCount = best ? static_cast<uint32_t>(best->Count) : 0u;
    if (best && (count < bestCount || (count == bestCount && k > best->Step))) return;
    const TCell* at = Job_.Project->Decks[static_cast<std::size_t>(deck)].CellAt(row, column);
    if (!at || at->Code == kCodeVoid) return;
    if (best && count == bestCount &&
        std::tie(deck, row, column) >= std::tie(best->Cell.Deck, best->Cell.Row, best->Cell.Column))
        return;
    best = TDensityPeak{{deck, row, column}, k, static_cast<int>(count), 0.0};
}

inline void TPass::AddUsage(TDeckCounts& d, uint32_t& usage, std::size_t index, uint64_t steps) {
    const uint64_t sum = usage + steps;
    if (sum < TUsageMap::kLarge) {
        usage = static_cast<uint32_t>(sum);
    } else {
        d.Spill.emplace_back(index, sum);
        usage = 0;
    }
}

void TPass::Apply(int z, int64_t begin, int64_t end, const std::vector<TFound>& all) {
    // Leaving first, then entering: in between, every count lies between its value
    // before the step and after it, so the peaks see only real values.
    constexpr TRect kNone{1, 0, 1, 0};
    TDeckCounts& d = Counts_[static_cast<std::size_t>(z)];
    const auto place = [&](uint32_t cell) {
        const uint32_t i = cell & ~kHere;
        const int row = Index_.Row(i);
        return std::pair{row, Index_.Column(i, row)};
    };
    // The cells of a move lie anywhere on the deck: fetch those of later moves ahead
    // (in the tiles made so far).
    constexpr std::size_t kAhead = 6;
    const auto prefetch = [&](uint32_t cell, bool usage) {
        if (!(cell & kHere)) return;
        const auto [row, column] = place(cell);
        const TTile& tile = d.Tiles[d.Usage.TileOf(row, column)];
        if (!tile.Counts) return;
        const int band = row >> TCellMap::kRowShift;
        for (int r = std::max(0, row - Half_); r <= std::min(Job_.Rows - 1, row + Half_); ++r) {
            if (r >> TCellMap::kRowShift == band)
                __builtin_prefetch(&tile.Counts[TCellMap::InTile(r, column)], 1);
        }
        if (usage) __builtin_prefetch(&tile.Usage[TCellMap::InTile(row, column)], 1);
    };
    const auto window = [&](uint32_t cell) {
        const auto [row, column] = place(cell);
        return WindowOf(row, column);
    };
    for (int64_t k = begin; k < end; ++k) {
        const std::size_t at = static_cast<std::size_t>(z) * static_cast<std::size_t>(Block_) +
                               static_cast<std::size_t>(k - begin);
        for (const TFound& found : all) {
            const auto& moves = found.Moves[at];
            for (std::size_t j = 0; j < moves.size(); ++j) {
                if (j + kAhead < moves.size()) prefetch(moves[j + kAhead].From, false);
                if (j + 2 * kAhead < moves.size()) prefetch(moves[j + 2 * kAhead].From, true);
                const TMove& m = moves[j];
                if (!(m.From & kHere)) continue;
                const auto [row, column] = place(m.From);
                TTile& tile = TileAt(z, d, row, column);
                AddUsage(d, tile.Usage[TCellMap::InTile(row, column)], m.From & ~kHere,
                         static_cast<uint64_t>(k - m.Since));
                Leave(z, WindowOf(row, column), m.To & kHere ? window(m.To) : kNone, k);
            }
        }
        for (const TFound& found : all) {
            const auto& moves = found.Moves[at];
            for (std::size_t j = 0; j < moves.size(); ++j) {
                if (j + kAhead < moves.size()) prefetch(moves[j + kAhead].To, false);
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
    const TDeck& deck = Job_.Project->Decks[static_cast<std::size_t>(z)];
    const auto isVoid = [&](int row, int column) {
        const TCell* cell = deck.CellAt(row, column);
        return !cell || cell->Code == kCodeVoid;
    };
    // The peaks go to the maps, which hold the other sums already; void cells keep 0.
    // The tiles' cells beyond the grid were never reached.
    for (std::size_t t = 0; t < d.Tiles.size(); ++t) {
        const TTile& tile = d.Tiles[t];
        if (!tile.Counts) continue;
        const int r0 = d.Usage.TileRow(t);
        const int c0 = d.Usage.TileColumn(t);
        uint32_t* peak = m.PeakCount.Tile(t);
        for (int i = 0; i < TCellMap::kTileCells; ++i) {
            const int row = r0 + (i >> TCellMap::kColumnShift);
            const int column = c0 + (i & (TCellMap::kTileColumns - 1));
            if (row >= Job_.Rows || column >= Job_.Columns) continue;
            if (isVoid(row, column)) {
                tile.Above[i] = 0;
                tile.Usage[i] = 0;
            } else {
                peak[i] = tile.Counts[i].Peak;
            }
        }
        d.Counts[t].reset();
    }
    // The sums that did not fit 32 bits, added up per cell.
    std::sort(d.Spill.begin(), d.Spill.end());
    std::vector<std::pair<std::size_t, uint64_t>> large;
    for (std::size_t j = 0; j < d.Spill.size();) {
        const std::size_t i = d.Spill[j].first;
        const int row = Index_.Row(static_cast<uint32_t>(i));
        const int column = Index_.Column(static_cast<uint32_t>(i), row);
        uint64_t sum = d.Usage.At(row, column);
        for (; j < d.Spill.size() && d.Spill[j].first == i; ++j) sum += d.Spill[j].second;
        if (isVoid(row, column)) continue;
        if (sum < TUsageMap::kLarge) {
            d.Usage.Cell(row, column) = static_cast<uint32_t>(sum);
        } else {
            d.Usage.Cell(row, column) = TUsageMap::kLarge;
            large.emplace_back(i, sum);
        }
    }
    m.UsageSteps = TUsageMap(std::move(d.Usage), std::move(large));
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
    TBarrier afterFollow(threads, TNoCompletion{});
    TBarrier afterApply(threads, [&]() noexcept {
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
        if (begin == 0) StartShare(first, last, found[static_cast<std::size_t>(t)]);
        while (begin < stop && !cancelled) {
            const int64_t due =
                FollowShare(first, last, begin, end, found[static_cast<std::size_t>(t)]);
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

}  // namespace pass

bool RunDensity(const TDensityJob& job, int threads, TAnalysisResult& result,
                std::optional<TDensityPeak>& peak, TOccupancyEvents& occupancy,
                const std::function<void(double)>& progress) {
    if (job.Decks <= 0) return true;
    pass::TPass densityPass(job, std::max(1, threads), result);
    return densityPass.Run(peak, occupancy, progress);
}

}  // namespace orlex::analysis
