// The density pass of the evacuation analysis: its persons, moves and counts
// (internal to the analysis library).
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "density.h"
#include "walk.h"

namespace orlex::analysis::pass {

constexpr int kNowhere = -1;

// Fetches the cache line at p ahead of a write. GCC drops __builtin_prefetch under
// some branches (GCC 12 in the window loops), so on x86 the instruction is written
// out.
inline void FetchAhead(const void* p) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(p)));
#else
    __builtin_prefetch(p, 1);
#endif
}

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
// cells it leaves and enters (their TTileCode), each marked with kHere when it lies
// on that deck.
struct TMove {
    uint32_t From;
    uint32_t To;
    uint32_t Since;  // step counter at which it came into From
};
constexpr uint32_t kHere = uint32_t{1} << 31;

// The number of a cell as the density pass keeps it: the tile of the cell (tiles of
// TCellMap's size, row by row, the tiles of a row rounded up to a power of two) and
// its place in the tile, so that the tile and the cell are a shift and a mask away
// and row and column a few more.
class TTileCode {
public:
    static constexpr int kInTileBits = TCellMap::kColumnShift + TCellMap::kRowShift;
    TTileCode(int columns, int rows)
        : ColumnTileBits_(
              static_cast<int>(std::bit_width(TileSpan(columns, TCellMap::kColumnShift) - 1))),
          TileRows_(TileSpan(rows, TCellMap::kRowShift)) {}
    // Whether every cell of a columns x rows grid has a code below kHere.
    static bool Fits(int columns, int rows) {
        const TTileCode code(columns, rows);
        return code.TileCount() <= (uint64_t{kHere} >> kInTileBits);
    }
    uint64_t TileCount() const { return TileRows_ << ColumnTileBits_; }
    std::size_t TileOf(int row, int column) const {
        return (static_cast<std::size_t>(row >> TCellMap::kRowShift) << ColumnTileBits_) |
               static_cast<std::size_t>(column >> TCellMap::kColumnShift);
    }
    uint32_t Of(int row, int column) const {
        return static_cast<uint32_t>((TileOf(row, column) << kInTileBits) |
                                     TCellMap::InTile(row, column));
    }
    static std::size_t Tile(uint32_t code) { return (code & ~kHere) >> kInTileBits; }
    static std::size_t InTile(uint32_t code) { return code & ((1u << kInTileBits) - 1); }
    int Row(uint32_t code) const {
        return static_cast<int>((Tile(code) >> ColumnTileBits_) << TCellMap::kRowShift) |
               static_cast<int>(InTile(code) >> TCellMap::kColumnShift);
    }
    int Column(uint32_t code) const {
        return static_cast<int>((Tile(code) & ((std::size_t{1} << ColumnTileBits_) - 1))
                                << TCellMap::kColumnShift) |
               static_cast<int>(InTile(code) & (TCellMap::kTileColumns - 1));
    }
    // The first row and column of a tile.
    int TileRow(std::size_t tile) const {
        return static_cast<int>(tile >> ColumnTileBits_) << TCellMap::kRowShift;
    }
    int TileColumn(std::size_t tile) const {
        return static_cast<int>(tile & ((std::size_t{1} << ColumnTileBits_) - 1))
               << TCellMap::kColumnShift;
    }

private:
    static uint64_t TileSpan(int cells, int shift) {
        return std::max<uint64_t>(
            1, (static_cast<uint64_t>(std::max(cells, 0)) + (uint64_t{1} << shift) - 1) >> shift);
    }
    int ColumnTileBits_;
    uint64_t TileRows_;
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
    // Used less often: the sum of +k and -k at the crossings of the limit, and the
    // person-steps (the sums that do not fit go to Spill).
    struct TSums {
        uint32_t Above = 0;
        uint32_t Usage = 0;
    };
    // The counts of one tile: a window row of five cells spans one or two cache lines.
    struct TTileCounts {
        TCount Counts[TCellMap::kTileCells];
        TSums Sums[TCellMap::kTileCells];
    };
    // A deck's counts in tiles numbered as TTileCode numbers them, each made when a
    // window first reaches it, by the thread that holds the deck; they become the
    // deck's maps at the end.
    struct TDeckCounts {
        std::vector<std::unique_ptr<TTileCounts>> Tiles;
        std::vector<std::pair<uint32_t, uint64_t>> Spill;  // by code
    };
    TTileCounts* TileAt(TDeckCounts& d, std::size_t t) {
        std::unique_ptr<TTileCounts>& tile = d.Tiles[t];
        if (!tile) [[unlikely]]
            tile = std::make_unique<TTileCounts>();
        return tile.get();
    }
    // Calls f(tile, index in the tile, row, column) for every cell of a not in b.
    template <typename F>
    void ForDifference(TDeckCounts& d, const TRect& a, const TRect& b, F&& f);
    void Leave(TDeckCounts& d, const TRect& a, const TRect& b, int64_t k);
    void Enter(int deck, TDeckCounts& d, const TRect& a, const TRect& b, int64_t k);
    void Take(int deck, uint32_t& peak, int row, int column, uint32_t count, int64_t k);
    void AddUsage(TDeckCounts& d, uint32_t& usage, uint32_t code, uint64_t steps);
    void MakeMaps(int deck);

    const TDensityJob& Job_;
    const int Threads_;
    TAnalysisResult& Result_;
    const int Half_;
    const uint32_t Limit1_;  // the first count above the limit
    const TTileCode Code_;
    int64_t Block_ = 1;  // step counters taken into memory at once
    std::vector<TDeckCounts> Counts_;
    std::vector<TWalker> Walkers_;
    std::vector<int64_t> Due_;  // per walker: its Next, kept apart for a quick scan
    std::vector<std::optional<TDensityPeak>> Best_;  // per deck
};

}  // namespace orlex::analysis::pass
