// The static floor field of the automaton: Dijkstra's search from every muster
// cell at once, with a ring of buckets since every cost is a small whole number.
#include <limits>

#include "automaton.h"

namespace orlex::gen {
namespace {

// More buckets than the largest cost, so that a relaxed node never lands in the
// bucket being emptied.
constexpr int kBuckets = 1024;
static_assert(kFlightCost < kBuckets && kDiagonalCost < kBuckets);

}  // namespace

TFloorField::TFloorField(const TShip& ship)
    : CellsPerDeck_(static_cast<uint32_t>(ship.Columns()) * static_cast<uint32_t>(ship.Rows())) {
    const int X = ship.Columns();
    Dist_.assign(static_cast<std::size_t>(CellsPerDeck_) * static_cast<std::size_t>(ship.Decks()),
                 -1);
    std::vector<std::vector<uint32_t>> buckets(kBuckets);
    std::size_t pending = 0;
    for (int z = 0; z < ship.Decks(); ++z) {
        const std::string& g = ship.Grid(z);
        for (uint32_t i = 0; i < CellsPerDeck_; ++i) {
            if (g[i] != '4') continue;
            const uint32_t node = static_cast<uint32_t>(z) * CellsPerDeck_ + i;
            Dist_[node] = 0;
            buckets[0].push_back(node);
            ++pending;
        }
    }
    const auto relax = [&](uint32_t node, int64_t distance) {
        if (distance > std::numeric_limits<int32_t>::max()) return;
        const int32_t d = static_cast<int32_t>(distance);
        if (Dist_[node] >= 0 && Dist_[node] <= d) return;
        Dist_[node] = d;
        buckets[static_cast<std::size_t>(d % kBuckets)].push_back(node);
        ++pending;
    };
    for (int64_t d = 0; pending > 0; ++d) {
        std::vector<uint32_t>& bucket = buckets[static_cast<std::size_t>(d % kBuckets)];
        for (std::size_t k = 0; k < bucket.size(); ++k) {
            const uint32_t node = bucket[k];
            --pending;
            if (Dist_[node] != d) continue;  // reached more cheaply since
            const int z = static_cast<int>(node / CellsPerDeck_);
            const uint32_t cell = node % CellsPerDeck_;
            const int r = static_cast<int>(cell / static_cast<uint32_t>(X));
            const int c = static_cast<int>(cell % static_cast<uint32_t>(X));
            // Every move can be walked both ways, so the moves out of a node are
            // also the moves into it.
            for (int dir = 1; dir <= 8; ++dir) {
                if (!ship.CanStep(z, c, r, dir)) continue;
                const bool diagonal = kDirColumn[dir] != 0 && kDirRow[dir] != 0;
                const uint32_t next = static_cast<uint32_t>(
                    static_cast<int64_t>(node) + kDirRow[dir] * int64_t{X} + kDirColumn[dir]);
                relax(next, d + (diagonal ? kDiagonalCost : kStraightCost));
            }
            if (ship.At(z, r, c) != '3') continue;
            for (const int dz : {-1, 1}) {
                if (ship.At(z + dz, r, c) == '3') {
                    relax(static_cast<uint32_t>(static_cast<int64_t>(node) +
                                                dz * int64_t{CellsPerDeck_}),
                          d + kFlightCost);
                }
            }
        }
        bucket.clear();
    }
}

}  // namespace orlex::gen
