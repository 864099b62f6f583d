// Deck layouts of a ship: hull, corridors, cabins, lounges, stairs and muster
// areas, and the routes of the persons towards them.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "generator.h"
#include "rng.h"

namespace orlex::gen {
namespace {

// Rows of one repeating band, counted outward from the main corridor:
// door wall, cabins A, partition, cabins B, door wall, corridor.
constexpr int kBandPeriod = 18;
constexpr int kCabinARows[2] = {1, 6};
constexpr int kCabinBRows[2] = {8, 13};
constexpr int kDoorRowA = 0;
constexpr int kDoorRowB = 14;
constexpr int kPartitionRow = 7;
constexpr int kCorridorWidth = 3;

}  // namespace

TShip::TShip(int columns, int rows, int decks, uint64_t seed)
    : Columns_(std::max(columns, kMinColumns)),
      Rows_(std::max(rows, kMinRows)),
      Decks_(std::max(decks, 1)) {
    const int X = Columns_;
    const int Y = Rows_;
    const std::size_t n = static_cast<std::size_t>(X) * static_cast<std::size_t>(Y);

    // Hull: a flat stern with chamfered corners, a parallel mid-body and an
    // elliptic bow over the last quarter. Row 0, the last row and the first and
    // last columns stay outside.
    Inside_.assign(n, false);
    const double halfWidth = (Y - 2) / 2.0;
    const double centre = (Y - 1) / 2.0;
    const int length = X - 2;
    const int bowStart = length * 3 / 4;
    const double chamfer = std::min(6.0, halfWidth / 2);
    for (int c = 1; c <= X - 2; ++c) {
        const int u = c - 1;
        double hw = halfWidth;
        if (u >= bowStart) {
            const double t = (u - bowStart + 0.5) / (length - bowStart);
            hw = halfWidth * std::sqrt(std::max(0.0, 1.0 - t * t));
        } else if (u < chamfer) {
            hw = halfWidth - (chamfer - u) * 0.7;
        }
        for (int r = 1; r <= Y - 2; ++r) {
            if (std::fabs(r - centre) <= hw + 1e-9)
                Inside_[static_cast<std::size_t>(r) * X + c] = true;
        }
    }
    Interior_.assign(n, false);
    for (int r = 0; r < Y; ++r) {
        for (int c = 0; c < X; ++c) {
            const std::size_t i = static_cast<std::size_t>(r) * X + c;
            if (!Inside_[i]) continue;
            bool wall = false;
            for (int d = 1; d <= 8 && !wall; ++d) {
                const int rr = r + kDirRow[d];
                const int cc = c + kDirColumn[d];
                wall = rr < 0 || rr >= Y || cc < 0 || cc >= X ||
                       !Inside_[static_cast<std::size_t>(rr) * X + cc];
            }
            Interior_[i] = !wall;
        }
    }

    // The frame shared by all decks: transverse corridors and stair wells.
    SternEnd_ = 1 + std::max(3, length / 14);
    TRng frame(SubSeed(seed, 0xF2A3E));
    const int bowColumn = 1 + bowStart;
    for (int t = SternEnd_ + 8 + frame.Range(0, 11); t + kCorridorWidth <= X - 4;
         t += kCorridorWidth + 33 + frame.Range(0, 19)) {
        Corridors_.push_back(t);
    }
    for (std::size_t i = 0; i < Corridors_.size(); i += 2) {
        if (Corridors_[i] + 7 < bowColumn) Stairs_.push_back(Corridors_[i]);
    }

    Grids_.resize(Decks_);
    Captions_.resize(Decks_);
    ExitDeck_.resize(Decks_);
    Dist_.resize(Decks_);
    for (int z = 0; z < Decks_; ++z) {
        ExitDeck_[z] = Decks_ == 1 || z % 3 == 1;
        std::string name = "Cabins";
        if (ExitDeck_[z]) {
            name = "Muster Stations";
        } else if (z == 0) {
            name = "Crew and Machinery";
        } else if (z == Decks_ - 1) {
            name = "Suites";
        }
        Captions_[z] = "Deck " + std::to_string(z + 1) + " - " + name;
        PaintDeck(z, seed);
        ComputeDistances(z);
    }
}

char TShip::At(int z, int r, int c) const {
    if (z < 0 || z >= Decks_ || r < 0 || r >= Rows_ || c < 0 || c >= Columns_) return '.';
    return Grids_[z][static_cast<std::size_t>(r) * Columns_ + c];
}

int TShip::TargetDeck(int z) const {
    if (z < 0 || z >= Decks_ || ExitDeck_[z]) return z;
    if (z % 3 == 0) return z + 1 < Decks_ ? z + 1 : z - 2;
    return z - 1;
}

bool TShip::CanStep(int z, int c, int r, int d) const {
    if (d < 1 || d > 8) return d == 0;
    const int dc = kDirColumn[d];
    const int dr = kDirRow[d];
    if (!IsWalkable(At(z, r + dr, c + dc))) return false;
    if (dc != 0 && dr != 0) {
        return IsWalkable(At(z, r + dr, c)) && IsWalkable(At(z, r, c + dc));
    }
    return true;
}

void TShip::PaintDeck(int z, uint64_t seed) {
    const int X = Columns_;
    const int Y = Rows_;
    std::string& g = Grids_[z];
    g.assign(static_cast<std::size_t>(X) * Y, '.');
    for (std::size_t i = 0; i < g.size(); ++i) {
        if (Inside_[i]) g[i] = Interior_[i] ? '0' : '1';
    }
    auto paint = [&](int r, int c, char ch) {
        if (r < 0 || r >= Y || c < 0 || c >= X) return;
        const std::size_t i = static_cast<std::size_t>(r) * X + c;
        if (Interior_[i]) g[i] = ch;
    };
    TRng rng(SubSeed(seed, 1000 + static_cast<uint64_t>(z)));
    const int cy = Y / 2;
    const int maxOffset = Y / 2 + 1;

    // Walls along the bands.
    for (int r = 0; r < Y; ++r) {
        const int o = std::abs(r - cy);
        if (o < 2) continue;
        const int p = (o - 2) % kBandPeriod;
        if (p == kDoorRowA || p == kPartitionRow || p == kDoorRowB) {
            for (int c = 0; c < X; ++c) paint(r, c, '1');
        }
    }

    // Sections between the transverse corridors.
    std::vector<std::pair<int, int>> sections;
    int a = SternEnd_;
    for (const int t : Corridors_) {
        if (t > a) sections.emplace_back(a, t);
        a = t + kCorridorWidth;
    }
    if (a < X - 1) sections.emplace_back(a, X - 1);

    for (int side = 0; side < 2; ++side) {
        for (int unit = 0; 2 + unit * kBandPeriod <= maxOffset; ++unit) {
            auto rowOf = [&](int p) {
                const int o = 2 + unit * kBandPeriod + p;
                return side == 0 ? cy - o : cy + o;
            };
            for (const auto& [from, to] : sections) {
                const uint32_t roll = rng.Below(1000);
                char open = 0;
                if (roll < 90) {
                    open = '2';  // lounge
                } else if (roll < 220 && z == 0) {
                    open = '5';  // machinery and stores
                }
                if (open != 0) {
                    for (int p = kCabinARows[0]; p <= kCabinBRows[1]; ++p) {
                        for (int c = from; c < to; ++c) paint(rowOf(p), c, open);
                    }
                    for (int c = from + 2; c < to; c += 6) {
                        paint(rowOf(kDoorRowA), c, '0');
                        paint(rowOf(kDoorRowB), c, '0');
                    }
                    continue;
                }
                for (int half = 0; half < 2; ++half) {
                    const int* rows = half == 0 ? kCabinARows : kCabinBRows;
                    const int doorRow = half == 0 ? kDoorRowA : kDoorRowB;
                    int x = from;
                    while (x < to) {
                        const int w = rng.Range(4, 6);
                        const int wallColumn = x + w;
                        const int doorSpan = std::min(w, to - x);
                        paint(rowOf(doorRow), x + rng.Range(0, doorSpan - 1), '0');
                        if (wallColumn >= to - 2) break;
                        for (int p = rows[0]; p <= rows[1]; ++p) paint(rowOf(p), wallColumn, '1');
                        x = wallColumn + 1;
                    }
                }
            }
        }
    }

    for (const int t : Corridors_) {
        for (int c = t; c < t + kCorridorWidth; ++c) {
            for (int r = 0; r < Y; ++r) paint(r, c, '0');
        }
    }

    // Open stern: muster area on exit decks, else a lounge or machinery.
    const char stern = ExitDeck_[z] ? '4' : (z == 0 ? '5' : '2');
    for (int c = 1; c < SternEnd_; ++c) {
        for (int r = 0; r < Y; ++r) paint(r, c, stern);
    }

    // Muster areas along the sides at every transverse corridor.
    if (ExitDeck_[z]) {
        for (const int t : Corridors_) {
            for (int c = std::max(0, t - 5); c < std::min(X, t + 8); ++c) {
                int top = -1;
                int bottom = -1;
                for (int r = 0; r < Y; ++r) {
                    if (!Interior_[static_cast<std::size_t>(r) * X + c]) continue;
                    if (top < 0) top = r;
                    bottom = r;
                }
                if (top < 0) continue;
                for (int k = 0; k < 7; ++k) {
                    paint(top + k, c, '4');
                    paint(bottom - k, c, '4');
                }
            }
        }
    }

    // Stair wells, at the same place on every deck.
    for (const int t : Stairs_) {
        for (int o = 2; o <= 7; ++o) {
            for (int c = t + kCorridorWidth; c < t + kCorridorWidth + 4; ++c) paint(cy - o, c, '3');
        }
    }
}

void TShip::ComputeDistances(int z) {
    const int X = Columns_;
    const std::string& g = Grids_[z];
    std::vector<int32_t>& dist = Dist_[z];
    dist.assign(g.size(), -1);
    const char target = ExitDeck_[z] ? '4' : '3';
    std::vector<uint32_t> queue;
    for (std::size_t i = 0; i < g.size(); ++i) {
        if (g[i] == target) {
            dist[i] = 0;
            queue.push_back(static_cast<uint32_t>(i));
        }
    }
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const uint32_t i = queue[head];
        const int r = static_cast<int>(i / static_cast<uint32_t>(X));
        const int c = static_cast<int>(i % static_cast<uint32_t>(X));
        for (int d = 1; d <= 8; ++d) {
            // Every step is reversible, so the moves that reach i are its own moves.
            if (!CanStep(z, c, r, d)) continue;
            const int rr = r + kDirRow[d];
            const int cc = c + kDirColumn[d];
            const std::size_t j = static_cast<std::size_t>(rr) * X + cc;
            if (dist[j] >= 0) continue;
            dist[j] = dist[i] + 1;
            queue.push_back(static_cast<uint32_t>(j));
        }
    }
}

std::string MakeDeckGrid(int columns, int rows, int level, int levels, uint64_t seed) {
    levels = std::max(levels, 1);
    TShip ship(columns, rows, levels, seed);
    return ship.Grid(std::clamp(level, 0, levels - 1));
}

}  // namespace orlex::gen
