#include "density.h"

#include <algorithm>
#include <cmath>
#include <queue>
#include <tuple>

#include "walk.h"

namespace orlex::analysis {

uint32_t CountLimit(double limit, double area) {
    // Start below the exact quotient and step up with the very comparison of d > limit.
    double guess = std::floor(limit * area) - 2.0;
    uint32_t count = guess > 0 ? static_cast<uint32_t>(std::min(guess, 4.0e9)) : 0;
    while (count < UINT32_MAX && !(static_cast<double>(count + 1) / area > limit)) ++count;
    return count;
}

namespace {

// One person as the density pass follows it.
struct TWalker {
    explicit TWalker(const TPersonData& person)
        : Cursor(person), Place(StartPlace(person)), Last(std::max(0, person.StepCount)) {}
    TTrackCursor Cursor;
    TStepRun Run;
    int64_t RunLeft = 0;
    TPlace Place;
    int64_t Applied = 0;  // track entries applied
    int64_t Last;         // step count: present up to this step counter
    int64_t Arrived = 0;  // step counter at which it came into its cell
    int Deck = -1;        // deck of this group it is counted on, or -1
    int32_t Cell = -1;    // its cell on that deck
};

// A cell change of one person within one step.
struct TMove {
    int FromDeck;
    int32_t From;
    int ToDeck;
    int32_t To;
};

struct TRect {
    int R0, R1, C0, C1;  // inclusive; empty when R0 > R1 or C0 > C1
    bool HasRow(int r) const { return r >= R0 && r <= R1; }
};

class TGroupPass {
public:
    TGroupPass(const TDensityJob& job, const std::vector<int>& group, TAnalysisResult& result)
        : Job_(job), Result_(result), Half_((job.Window - 1) / 2), Limit1_(job.CountLimit + 1) {
        Own_.assign(static_cast<std::size_t>(job.Decks), false);
        const std::size_t cells = static_cast<std::size_t>(job.Columns) * job.Rows;
        for (const int z : group) {
            Own_[static_cast<std::size_t>(z)] = true;
            TDeckMaps& m = result.Maps[static_cast<std::size_t>(z)];
            m.PeakCount.assign(cells, 0);
            m.StepsAbove.assign(cells, 0);
            m.UsageSteps.assign(cells, 0);
        }
        Window_.resize(static_cast<std::size_t>(job.Decks));
        for (const int z : group) Window_[static_cast<std::size_t>(z)].assign(cells, 0);
    }

    bool Run(std::optional<TDensityPeak>& peak, std::atomic<int64_t>& position,
             const std::function<void()>& poll);

private:
    int DeckOf(const TPlace& p) const {
        if (p.Level < 0 || p.Level >= Job_.Decks || !Own_[static_cast<std::size_t>(p.Level)])
            return -1;
        return Inside(p) ? static_cast<int>(p.Level) : -1;
    }
    bool Inside(const TPlace& p) const {
        return p.Column >= 0 && p.Column < Job_.Columns && p.Row >= 0 && p.Row < Job_.Rows;
    }
    TRect WindowOf(int32_t cell) const {
        const int r = cell / Job_.Columns;
        const int c = cell % Job_.Columns;
        return {std::max(0, r - Half_), std::min(Job_.Rows - 1, r + Half_), std::max(0, c - Half_),
                std::min(Job_.Columns - 1, c + Half_)};
    }
    // The next step counter at which w changes, skipping what this group need not see.
    int64_t Schedule(TWalker& w);
    void Step(TWalker& w, int64_t k);
    // Adds delta to the window counts of the cells in a but not in b.
    void Leave(int deck, const TRect& a, const TRect& b, int64_t k);
    void Enter(int deck, const TRect& a, const TRect& b, int64_t k);
    void Take(int deck, int32_t index, uint32_t count, int64_t k);

    const TDensityJob& Job_;
    TAnalysisResult& Result_;
    const int Half_;
    const uint32_t Limit1_;  // the first count above the limit
    std::vector<bool> Own_;
    std::vector<std::vector<uint32_t>> Window_;
    std::vector<TMove> Moves_;
    std::optional<TDensityPeak> Best_;
};

int64_t TGroupPass::Schedule(TWalker& w) {
    for (;;) {
        if (w.Applied >= w.Last) return w.Last + 1;
        if (w.RunLeft == 0) {
            if (!w.Cursor.Next(w.Run)) {
                // A track shorter than its count stands still to the end.
                w.Applied = w.Last;
                continue;
            }
            w.RunLeft = std::min<int64_t>(w.Run.Count, w.Last - w.Applied);
            if (w.RunLeft <= 0) continue;
        }
        const TStep& s = w.Run.Step;
        int64_t skip = 0;
        if (s.LevelChange != 0) {
            skip = 0;
        } else if (!IsMoveDirection(s.Direction) || w.Place.Level < 0 ||
                   w.Place.Level >= Job_.Decks || !Own_[static_cast<std::size_t>(w.Place.Level)]) {
            skip = w.RunLeft;
        } else if (!Inside(w.Place)) {
            const TSpan in =
                InsideSpan(w.Place, s.Direction, Job_.Columns, Job_.Rows, 1, w.RunLeft);
            skip = in.Empty() ? w.RunLeft : in.First - 1;
        }
        if (skip == 0) return w.Applied + 1;
        w.Place.Apply(s, skip);
        w.Applied += skip;
        w.RunLeft -= skip;
    }
}

void TGroupPass::Step(TWalker& w, int64_t k) {
    int deck = -1;
    if (k <= w.Last) {
        w.Place.Apply(w.Run.Step, 1);
        ++w.Applied;
        --w.RunLeft;
        deck = DeckOf(w.Place);
    }
    const int32_t cell =
        deck < 0 ? -1 : static_cast<int32_t>(w.Place.Row * Job_.Columns + w.Place.Column);
    if (deck == w.Deck && cell == w.Cell) return;
    if (w.Deck >= 0) {
        Result_.Maps[static_cast<std::size_t>(w.Deck)]
            .UsageSteps[static_cast<std::size_t>(w.Cell)] += static_cast<uint64_t>(k - w.Arrived);
    }
    Moves_.push_back({w.Deck, w.Cell, deck, cell});
    w.Deck = deck;
    w.Cell = cell;
    w.Arrived = k;
}

void TGroupPass::Leave(int deck, const TRect& a, const TRect& b, int64_t k) {
    auto& window = Window_[static_cast<std::size_t>(deck)];
    auto& above = Result_.Maps[static_cast<std::size_t>(deck)].StepsAbove;
    const auto take = [&](int r, int c0, int c1) {
        std::size_t i = static_cast<std::size_t>(r) * Job_.Columns + c0;
        for (int c = c0; c <= c1; ++c, ++i) {
            if (window[i]-- == Limit1_) above[i] += static_cast<uint32_t>(k);
        }
    };
    for (int r = a.R0; r <= a.R1; ++r) {
        if (!b.HasRow(r)) {
            take(r, a.C0, a.C1);
        } else {
            take(r, a.C0, std::min(a.C1, b.C0 - 1));
            take(r, std::max(a.C0, b.C1 + 1), a.C1);
        }
    }
}

void TGroupPass::Enter(int deck, const TRect& a, const TRect& b, int64_t k) {
    auto& window = Window_[static_cast<std::size_t>(deck)];
    auto& maps = Result_.Maps[static_cast<std::size_t>(deck)];
    const auto add = [&](int r, int c0, int c1) {
        std::size_t i = static_cast<std::size_t>(r) * Job_.Columns + c0;
        for (int c = c0; c <= c1; ++c, ++i) {
            const uint32_t count = ++window[i];
            if (count == Limit1_) maps.StepsAbove[i] -= static_cast<uint32_t>(k);
            if (count > maps.PeakCount[i]) Take(deck, static_cast<int32_t>(i), count, k);
        }
    };
    for (int r = a.R0; r <= a.R1; ++r) {
        if (!b.HasRow(r)) {
            add(r, a.C0, a.C1);
        } else {
            add(r, a.C0, std::min(a.C1, b.C0 - 1));
            add(r, std::max(a.C0, b.C1 + 1), a.C1);
        }
    }
}

void TGroupPass::Take(int deck, int32_t index, uint32_t count, int64_t k) {
    Result_.Maps[static_cast<std::size_t>(deck)].PeakCount[static_cast<std::size_t>(index)] = count;
    if (Best_ && (count < static_cast<uint32_t>(Best_->Count) ||
                  (count == static_cast<uint32_t>(Best_->Count) && k > Best_->Step)))
        return;
    const TCellPlace place{deck, index / Job_.Columns, index % Job_.Columns};
    const TDeck& d = Job_.Project->Decks[static_cast<std::size_t>(deck)];
    const TCell* cell = d.CellAt(place.Row, place.Column);
    if (!cell || cell->Code == kCodeVoid) return;
    if (Best_ && count == static_cast<uint32_t>(Best_->Count) && k == Best_->Step &&
        std::tie(place.Deck, place.Row, place.Column) >=
            std::tie(Best_->Cell.Deck, Best_->Cell.Row, Best_->Cell.Column))
        return;
    Best_ = TDensityPeak{place, k, static_cast<int>(count), 0.0};
}

bool TGroupPass::Run(std::optional<TDensityPeak>& peak, std::atomic<int64_t>& position,
                     const std::function<void()>& poll) {
    const auto& persons = Job_.Project->Persons;
    std::vector<TWalker> walkers;
    walkers.reserve(persons.size());
    for (const TPersonData& p : persons) walkers.emplace_back(p);

    // Persons due at the next step counter, and those due later by their step counter.
    std::vector<uint32_t> now, next;
    using TDue = std::pair<int64_t, uint32_t>;
    std::priority_queue<TDue, std::vector<TDue>, std::greater<>> later;
    const auto due = [&](uint32_t i, int64_t at, int64_t k) {
        if (at == k + 1) {
            next.push_back(i);
        } else {
            later.push({at, i});
        }
    };

    // Step counter 0: everyone at the start.
    for (uint32_t i = 0; i < walkers.size(); ++i) {
        TWalker& w = walkers[i];
        w.Deck = DeckOf(w.Place);
        if (w.Deck >= 0) {
            w.Cell = static_cast<int32_t>(w.Place.Row * Job_.Columns + w.Place.Column);
            Moves_.push_back({-1, -1, w.Deck, w.Cell});
        }
        due(i, Schedule(w), 0);
    }
    int64_t k = 0;
    uint64_t rounds = 0;
    for (;;) {
        // Leaving first, then entering: in between, every count lies between its value
        // before the step and after it, so the peaks see only real values.
        constexpr TRect kNone{1, 0, 1, 0};
        for (const TMove& m : Moves_) {
            if (m.FromDeck < 0) continue;
            const TRect from = WindowOf(m.From);
            Leave(m.FromDeck, from, m.ToDeck == m.FromDeck ? WindowOf(m.To) : kNone, k);
        }
        for (const TMove& m : Moves_) {
            if (m.ToDeck < 0) continue;
            const TRect to = WindowOf(m.To);
            Enter(m.ToDeck, to, m.FromDeck == m.ToDeck ? WindowOf(m.From) : kNone, k);
        }
        Moves_.clear();
        position.store(k, std::memory_order_relaxed);
        if ((++rounds & 63) == 0) {
            if (Job_.Cancelled && Job_.Cancelled->load(std::memory_order_relaxed)) return false;
            if (poll) poll();
        }
        // The next step counter at which anyone changes.
        if (next.empty() && later.empty()) break;
        k = next.empty() ? later.top().first : k + 1;
        now.swap(next);
        next.clear();
        while (!later.empty() && later.top().first == k) {
            now.push_back(later.top().second);
            later.pop();
        }
        for (const uint32_t i : now) {
            TWalker& w = walkers[i];
            Step(w, k);
            if (k <= w.Last) due(i, Schedule(w), k);
        }
    }
    position.store(Job_.LastStep + 1, std::memory_order_relaxed);
    // Void cells have no values of their own.
    const auto& decks = Job_.Project->Decks;
    for (int z = 0; z < Job_.Decks; ++z) {
        if (!Own_[static_cast<std::size_t>(z)]) continue;
        TDeckMaps& m = Result_.Maps[static_cast<std::size_t>(z)];
        for (int r = 0; r < Job_.Rows; ++r) {
            for (int c = 0; c < Job_.Columns; ++c) {
                const TCell* cell = decks[static_cast<std::size_t>(z)].CellAt(r, c);
                if (cell && cell->Code != kCodeVoid) continue;
                const std::size_t i = static_cast<std::size_t>(r) * Job_.Columns + c;
                m.PeakCount[i] = 0;
                m.StepsAbove[i] = 0;
                m.UsageSteps[i] = 0;
            }
        }
    }
    peak = Best_;
    return true;
}

}  // namespace

bool RunDensityGroup(const TDensityJob& job, const std::vector<int>& group, TAnalysisResult& result,
                     std::optional<TDensityPeak>& peak, std::atomic<int64_t>& position,
                     const std::function<void()>& poll) {
    TGroupPass pass(job, group, result);
    return pass.Run(peak, position, poll);
}

}  // namespace orlex::analysis
