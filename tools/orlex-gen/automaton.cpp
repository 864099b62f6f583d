// The automaton's steps. Every step is a parallel update: each person who may move
// picks a cell that was free when the step began, conflicts for a cell go to one
// of the claimants at random, and the others stay. Since only free cells are
// claimed, nobody shares a cell and nobody swaps.
#include "automaton.h"

#include <algorithm>

#include "rng.h"

namespace orlex::gen {
namespace {

// Streams of the seed: the case, and the runs.
constexpr uint64_t kCaseStream = 0xCA5E0000ull;
constexpr uint64_t kRunStream = 0x52554E00000000ull;

constexpr double kSqrt2 = 1.4142135623730951;

struct TWalker {
    uint32_t Node = 0;
    uint32_t Previous = 0;  // the node left last, not walked back to sideways
    int64_t Response = 0;   // steps before the first move
    double Pace = 0;        // cells per step at walking speed
    double Budget = 0;      // cells the person may still walk
    int64_t Stays = 0;      // stays not yet written
    std::string Track;
};

struct TMove {
    uint32_t Target = 0;
    int32_t Distance = 0;
    double Cost = 0;  // cells of walking at full speed
    char Item[3] = {};
    uint64_t Tie = 0;
};

void PutStays(TWalker& w) {
    if (w.Stays >= 4) {
        w.Track += 'P';
        w.Track += std::to_string(w.Stays);
        w.Track += "x0";
    } else {
        w.Track.append(static_cast<std::size_t>(w.Stays), '0');
    }
    w.Stays = 0;
}

// Uniform in [lo, hi].
double Uniform(TRng& rng, double lo, double hi) {
    const double u = static_cast<double>(rng.Next() >> 11) * 0x1.0p-53;
    return lo + (hi - lo) * u;
}

std::string Count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

class TAutomaton {
public:
    TAutomaton(const TShip& ship, const TGenOptions& o)
        : Ship_(ship), Options_(o), Field_(ship), Cells_(Field_.CellsPerDeck()) {}

    TAutomatonRun Run() {
        TAutomatonRun run;
        if (!PlaceStarts(run)) return run;
        StartRun();
        Occupant_.assign(static_cast<std::size_t>(Cells_) * Ship_.Decks(), -1);
        Winner_.assign(Occupant_.size(), -1);
        Claims_.assign(Occupant_.size(), 0);
        std::vector<uint32_t> active(Walkers_.size());
        for (uint32_t p = 0; p < Walkers_.size(); ++p) {
            Occupant_[Walkers_[p].Node] = static_cast<int32_t>(p);
            active[p] = p;
        }
        std::vector<uint32_t> leaving;  // saved in the last step, still standing there
        std::vector<std::pair<uint32_t, TMove>> wants;
        for (int64_t t = 0; !active.empty(); ++t) {
            if (t >= Options_.Steps) {
                run.Error = Count(active.size(), "person is", "persons are") +
                            " still on the way after " + std::to_string(Options_.Steps) +
                            " steps; raise --steps";
                return run;
            }
            wants.clear();
            for (const uint32_t p : active) {
                TMove move;
                if (Choose(Walkers_[p], t, move)) {
                    wants.emplace_back(p, move);
                    Claim(p, move.Target);
                } else {
                    ++Walkers_[p].Stays;
                }
            }
            for (const uint32_t p : leaving) Occupant_[Walkers_[p].Node] = -1;
            leaving.clear();
            for (const auto& [p, move] : wants) {
                TWalker& w = Walkers_[p];
                if (Winner_[move.Target] != static_cast<int32_t>(p)) {
                    ++w.Stays;
                    w.Budget = std::min(w.Budget, move.Cost);
                    continue;
                }
                PutStays(w);
                w.Track += move.Item;
                Occupant_[w.Node] = -1;
                Occupant_[move.Target] = static_cast<int32_t>(p);
                w.Previous = w.Node;
                w.Node = move.Target;
                w.Budget -= move.Cost;
                if (move.Distance == 0) {
                    w.Track += 'S';
                    leaving.push_back(p);
                    run.LastStep = t + 1;
                }
            }
            for (const auto& [p, move] : wants) {
                Winner_[move.Target] = -1;
                Claims_[move.Target] = 0;
            }
            std::erase_if(active, [&](uint32_t p) { return Field_.At(Walkers_[p].Node) == 0; });
        }
        run.Tracks.reserve(Walkers_.size());
        for (TWalker& w : Walkers_) run.Tracks.push_back(std::move(w.Track));
        run.Ok = true;
        return run;
    }

private:
    // Distinct start cells of the case: cabins, lounges, machinery and corridors.
    // A room that the layout sealed off (a cabin cut by the bow without its door)
    // holds nobody; but a deck from which no cell leads to a muster area keeps its
    // cells, so that the case is refused rather than quietly emptied.
    bool PlaceStarts(TAutomatonRun& run) {
        std::vector<uint32_t> cells;
        for (int z = 0; z < Ship_.Decks(); ++z) {
            const std::string& g = Ship_.Grid(z);
            const uint32_t first = static_cast<uint32_t>(z) * Cells_;
            const std::size_t from = cells.size();
            bool routed = false;
            for (uint32_t i = 0; i < Cells_; ++i) {
                if (g[i] != '0' && g[i] != '2' && g[i] != '5') continue;
                cells.push_back(first + i);
                routed = routed || Field_.At(first + i) >= 0;
            }
            if (routed) {
                cells.erase(
                    std::remove_if(cells.begin() + static_cast<std::ptrdiff_t>(from), cells.end(),
                                   [&](uint32_t node) { return Field_.At(node) < 0; }),
                    cells.end());
            }
        }
        const std::size_t persons = static_cast<std::size_t>(std::max(Options_.Persons, 0));
        if (persons > cells.size()) {
            run.Error = Count(persons, "person does", "persons do") + " not fit on the decks: " +
                        Count(cells.size(), "cell takes", "cells take") +
                        " one person each at the start";
            return false;
        }
        TRng rng(SubSeed(Options_.Seed, kCaseStream));
        std::size_t unreachable = 0;
        Walkers_.resize(persons);
        run.Starts.resize(persons);
        for (std::size_t k = 0; k < persons; ++k) {
            const std::size_t j = k + rng.Below(static_cast<uint32_t>(cells.size() - k));
            std::swap(cells[k], cells[j]);
            const uint32_t node = cells[k];
            TStart& s = run.Starts[k];
            const uint32_t cell = node % Cells_;
            s.Level = static_cast<int>(node / Cells_);
            s.Row = static_cast<int>(cell / static_cast<uint32_t>(Ship_.Columns()));
            s.Column = static_cast<int>(cell % static_cast<uint32_t>(Ship_.Columns()));
            s.Heading = rng.Range(1, 8);
            s.Tag = rng.Chance(100) ? 1 : 0;  // 1 crew, 0 passenger
            Walkers_[k].Node = node;
            Walkers_[k].Previous = node;
            unreachable += Field_.At(node) < 0;
        }
        if (unreachable > 0) {
            run.Error = Count(unreachable, "person", "persons") + " of " + std::to_string(persons) +
                        " start on a deck from which no muster area can be reached (no "
                        "stairs lead off it)";
            return false;
        }
        return true;
    }

    // The run's own draws: response times and speeds, then the stream for ties and
    // conflicts.
    void StartRun() {
        const uint64_t seed =
            SubSeed(Options_.Seed, kRunStream + static_cast<uint64_t>(Options_.Run));
        TRng people(SubSeed(seed, 1));
        const double cellsPerStep = 1.0 / (kCellMetres * Options_.VMax);
        for (TWalker& w : Walkers_) {
            const double response = Uniform(people, Options_.ResponseMin, Options_.ResponseMax);
            const double speed = Uniform(people, Options_.SpeedMin, Options_.SpeedMax);
            w.Response = static_cast<int64_t>(response * Options_.VMax);
            // One cell a step at most: the grid allows no faster walk.
            w.Pace = std::min(1.0, speed * cellsPerStep);
        }
        Rng_ = TRng(SubSeed(seed, 2));
    }

    bool IsStair(uint32_t node) const {
        return Ship_.Grid(static_cast<int>(node / Cells_))[node % Cells_] == '3';
    }

    // The moves that do not lead away from the muster area, best first; ties in a
    // random order.
    int Candidates(const TWalker& w, TMove* out) {
        const uint32_t node = w.Node;
        const int32_t here = Field_.At(node);
        const int z = static_cast<int>(node / Cells_);
        const uint32_t cell = node % Cells_;
        const int X = Ship_.Columns();
        const int r = static_cast<int>(cell / static_cast<uint32_t>(X));
        const int c = static_cast<int>(cell % static_cast<uint32_t>(X));
        const bool onStair = IsStair(node);
        int n = 0;
        const auto consider = [&](uint32_t target, double cells, char a, char b) {
            const int32_t d = Field_.At(target);
            if (d < 0 || d > here || (d == here && target == w.Previous)) return;
            TMove& m = out[n++];
            m.Target = target;
            m.Distance = d;
            m.Cost = cells;
            m.Item[0] = a;
            m.Item[1] = b;
            m.Tie = Rng_.Next();
        };
        for (int dir = 1; dir <= 8; ++dir) {
            if (!Ship_.CanStep(z, c, r, dir)) continue;
            const uint32_t target = static_cast<uint32_t>(
                static_cast<int64_t>(node) + kDirRow[dir] * int64_t{X} + kDirColumn[dir]);
            const bool diagonal = kDirColumn[dir] != 0 && kDirRow[dir] != 0;
            double cells = diagonal ? kSqrt2 : 1.0;
            if (onStair || IsStair(target)) cells /= kStairSpeedShare;
            consider(target, cells, static_cast<char>('0' + dir), 0);
        }
        if (onStair) {
            for (const int dz : {-1, 1}) {
                if (Ship_.At(z + dz, r, c) != '3') continue;
                consider(static_cast<uint32_t>(static_cast<int64_t>(node) + dz * int64_t{Cells_}),
                         kFlightCells / kStairSpeedShare, dz > 0 ? 'U' : 'D', '0');
            }
        }
        std::sort(out, out + n, [](const TMove& a, const TMove& b) {
            return a.Distance != b.Distance ? a.Distance < b.Distance : a.Tie < b.Tie;
        });
        return n;
    }

    // The move a person makes in step t, if any: the best cell when it is free, or
    // the next best free one that does not lead away; none while the person still
    // responds or has not walked far enough for it.
    bool Choose(TWalker& w, int64_t t, TMove& move) {
        if (t < w.Response) return false;
        w.Budget += w.Pace;
        TMove options[10];
        const int n = Candidates(w, options);
        if (n == 0) return false;
        for (int k = 0; k < n; ++k) {
            if (Occupant_[options[k].Target] >= 0) continue;
            if (w.Budget < options[k].Cost) return false;
            move = options[k];
            return true;
        }
        // Blocked: a waiting person keeps no more than one step in hand.
        w.Budget = std::min(w.Budget, options[0].Cost);
        return false;
    }

    // Claims target for person p; each further claimant takes it over with the
    // chance that leaves every claimant the same chance.
    void Claim(uint32_t p, uint32_t target) {
        const uint32_t count = ++Claims_[target];
        if (count == 1 || Rng_.Below(count) == 0) Winner_[target] = static_cast<int32_t>(p);
    }

    const TShip& Ship_;
    const TGenOptions& Options_;
    TFloorField Field_;
    uint32_t Cells_;
    std::vector<TWalker> Walkers_;
    std::vector<int32_t> Occupant_;
    std::vector<int32_t> Winner_;
    std::vector<uint32_t> Claims_;
    TRng Rng_{0};
};

}  // namespace

TAutomatonRun RunAutomaton(const TShip& ship, const TGenOptions& options) {
    return TAutomaton(ship, options).Run();
}

}  // namespace orlex::gen
