// The density pass of the evacuation analysis: its persons, moves and counts
// (internal to the analysis library).
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "density.h"
#include "walk.h"

namespace orlex::analysis::pass {

constexpr int kNowhere = -1;

// One person as the density pass follows it.
struct TWalker {
    TWalker(const TPersonData& person, int64_t entry)
        : Reader(person),
          Place(StartPlace(person)),
          Last(std::max(0, person.StepCount)),
          Entry(std::max<int64_t>(0, entry)) {}
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
    int64_t Entry;         // step counter from which it is in the building
    bool Waiting = false;  // placed, not yet counted: it enters at Next
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
    // Applies the person's track entries up to step counter w.Entry, uncounted.
    static void Advance(TWalker& w);
    // Places the persons first .. last - 1 at step counter 0.
    void StartShare(std::size_t first, std::size_t last, TFound& found);
    // Follows the persons first .. last - 1 through the block [begin, end); returns the
    // first step counter at which any of them changes cell after it.
    int64_t FollowShare(std::size_t first, std::size_t last, int64_t begin, int64_t end,
                        TFound& found);
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
    // The window count of a cell and its peak side by side, so that a step touches one
    // cache line for both.
    struct TCount {
        uint32_t Window = 0;
        uint32_t Peak = 0;
    };
    // The cells of one tile of a deck as the pass counts them: the window counts and
    // peaks in a tile of the pass's own, the step sums above the limit and the
    // person-steps in tiles of the maps themselves. Made when a window first reaches
    // the tile, by the thread that holds the deck.
    struct TTile {
        TCount* Counts = nullptr;
        uint32_t* Above = nullptr;  // the sum of +k and -k at the crossings of the limit
        uint32_t* Usage = nullptr;  // person-steps; the sums that do not fit go to Spill
    };
    struct TDeckCounts {
        std::vector<TTile> Tiles;  // laid out like the maps' tiles
        std::vector<std::unique_ptr<TCount[]>> Counts;
        TCellMap Usage;
        std::vector<std::pair<std::size_t, uint64_t>> Spill;
    };
    TTile& TileAt(int deck, TDeckCounts& d, int row, int column) {
        const std::size_t t = d.Usage.TileOf(row, column);
        if (!d.Tiles[t].Counts) [[unlikely]]
            MakeTile(deck, d, t);
        return d.Tiles[t];
    }
    void MakeTile(int deck, TDeckCounts& d, std::size_t t);
    // Calls f(tile, index in the tile, row, column) for every cell of a not in b.
    template <typename F>
    void ForDifference(int deck, const TRect& a, const TRect& b, F&& f);
    void Leave(int deck, const TRect& a, const TRect& b, int64_t k);
    void Enter(int deck, const TRect& a, const TRect& b, int64_t k);
    void Take(int deck, uint32_t& peak, int row, int column, uint32_t count, int64_t k);
    void AddUsage(TDeckCounts& d, uint32_t& usage, std::size_t index, uint64_t steps);
    void MakeMaps(int deck);

    const TDensityJob& Job_;
    const int Threads_;
    TAnalysisResult& Result_;
    const int Half_;
    const uint32_t Limit1_;  // the first count above the limit
    const TCellIndex Index_;
    int64_t Block_ = 1;  // step counters taken into memory at once
    std::vector<TDeckCounts> Counts_;
    std::vector<TWalker> Walkers_;
    std::vector<int64_t> Due_;  // per walker: its Next, kept apart for a quick scan
    std::vector<std::optional<TDensityPeak>> Best_;  // per deck
};

}  // namespace orlex::analysis::pass
