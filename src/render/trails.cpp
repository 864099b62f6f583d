#include "trails.h"

#include <algorithm>
#include <cstdint>

namespace orlex {

namespace {

// Cell offsets of the track directions 1..8 (north, north-east, ... north-west).
constexpr int kDx[9] = {0, 0, 1, 1, 1, 0, -1, -1, -1};
constexpr int kDy[9] = {0, 1, 1, 0, -1, -1, -1, 0, 1};

// A person walked forward along its track, from its start cell.
class TWalker {
public:
    TWalker(const TPersonData& person, int xmax, int ymax)
        : X(static_cast<float>(int64_t{person.StartX} - xmax / 2) + 0.5f),
          Y(static_cast<float>(int64_t{ymax / 2} - person.StartY) - 0.5f),
          Level(person.StartLevel),
          Cursor_(person) {}

    // Takes the next step; false at the end of the track.
    bool Advance() {
        if (Run_.Count == 0 && !Cursor_.Next(Run_)) return false;
        --Run_.Count;
        const int d = Run_.Step.Direction;
        if (d >= 1 && d <= 8) {
            X += static_cast<float>(kDx[d]);
            Y += static_cast<float>(kDy[d]);
        }
        // Wraps instead of overflowing on absurd tracks, as the playback does.
        Level = static_cast<int>(static_cast<uint32_t>(Level) +
                                 static_cast<uint32_t>(Run_.Step.LevelChange));
        ++Step;
        return true;
    }
    // Steps on to step counter target (or the track's end).
    void AdvanceTo(int target) {
        while (Step < target && Advance()) {
        }
    }

    int Step = 0;
    float X, Y;
    int Level;

private:
    TTrackCursor Cursor_;
    TStepRun Run_;
};

// Walks w on to step counter to, appending the moves on deck to out.
void AppendWalk(TWalker w, int to, int deck, std::vector<float>& out) {
    bool open = false;  // the last segment in out may still grow
    float lastDx = 0, lastDy = 0;
    while (w.Step < to) {
        const float x0 = w.X, y0 = w.Y;
        const int level0 = w.Level;
        if (!w.Advance()) break;
        const float dx = w.X - x0, dy = w.Y - y0;
        if (dx == 0 && dy == 0 && level0 == w.Level) continue;  // a stay
        if (level0 != deck || w.Level != deck) {
            open = false;
            continue;
        }
        if (open && dx == lastDx && dy == lastDy) {
            out[out.size() - 2] = w.X;
            out[out.size() - 1] = w.Y;
            continue;
        }
        out.insert(out.end(), {x0, y0, w.X, w.Y});
        open = true;
        lastDx = dx;
        lastDy = dy;
    }
}

// Walks w on to step counter to, appending the moves between decks drawn, in 3D.
void AppendWalk3D(TWalker w, int to, const TTrailLevels& levels, std::vector<float>& out) {
    const int decks = static_cast<int>(std::min(levels.Z.size(), levels.Shown.size()));
    auto drawn = [&](int level) {
        return level >= 0 && level < decks && levels.Shown[static_cast<std::size_t>(level)];
    };
    bool open = false;
    float lastDx = 0, lastDy = 0;
    while (w.Step < to) {
        const float x0 = w.X, y0 = w.Y;
        const int level0 = w.Level;
        if (!w.Advance()) break;
        const float dx = w.X - x0, dy = w.Y - y0;
        if (dx == 0 && dy == 0 && level0 == w.Level) continue;
        if (!drawn(level0) || !drawn(w.Level)) {
            open = false;
            continue;
        }
        const float z0 = levels.Z[static_cast<std::size_t>(level0)];
        const float z1 = levels.Z[static_cast<std::size_t>(w.Level)];
        if (open && level0 == w.Level && dx == lastDx && dy == lastDy) {
            out[out.size() - 3] = w.X;
            out[out.size() - 2] = w.Y;
            continue;
        }
        out.insert(out.end(), {x0, y0, z0, w.X, w.Y, z1});
        // A change of level stands alone; moves on one floor may join.
        open = level0 == w.Level;
        lastDx = dx;
        lastDy = dy;
    }
}

}  // namespace

void AppendPath3D(const TPersonData& person, int xmax, int ymax, int from, int to,
                  const TTrailLevels& levels, std::vector<float>& out) {
    if (to <= from) return;
    TWalker w(person, xmax, ymax);
    w.AdvanceTo(from);
    AppendWalk3D(w, to, levels, out);
}

void AppendPath(const TPersonData& person, int xmax, int ymax, int from, int to, int deck,
                std::vector<float>& out) {
    if (to <= from) return;
    TWalker w(person, xmax, ymax);
    w.AdvanceTo(from);
    AppendWalk(w, to, deck, out);
}

struct TTrailCache::TTail {
    explicit TTail(const TPersonData& person, int xmax, int ymax) : Walker(person, xmax, ymax) {}
    TWalker Walker;  // at the first step of the trail
};

TTrailCache::TTrailCache() = default;
TTrailCache::~TTrailCache() = default;

void TTrailCache::Clear() {
    Tails_.clear();
    Segments_.clear();
    Persons_ = nullptr;
    Count_ = -1;
    Counter_ = -1;
}

bool TTrailCache::Prepare(const TPersonData* persons, int count, int xmax, int ymax, int counter,
                          int window, int deck, const TTrailLevels* levels) {
    const bool sameLevels = levels ? *levels == Levels_ : Levels_.Z.empty();
    if (persons == Persons_ && count == Count_ && xmax == XMax_ && ymax == YMax_ &&
        counter == Counter_ && window == Window_ && deck == Deck_ && sameLevels)
        return false;
    const int from = std::max(0, counter - window);
    if (persons != Persons_ || count != Count_ || xmax != XMax_ || ymax != YMax_ ||
        counter < Counter_ || window != Window_) {
        Tails_.clear();
        if (persons)
            for (int i = 0; i < count; ++i) Tails_.emplace_back(persons[i], xmax, ymax);
    }
    Persons_ = persons;
    Count_ = count;
    XMax_ = xmax;
    YMax_ = ymax;
    Counter_ = counter;
    Window_ = window;
    Deck_ = deck;
    Levels_ = levels ? *levels : TTrailLevels{};
    Segments_.clear();
    for (TTail& tail : Tails_) tail.Walker.AdvanceTo(from);
    return true;
}

const std::vector<float>& TTrailCache::Segments(const TPersonData* persons, int count, int xmax,
                                                int ymax, int counter, int window, int deck) {
    if (!Prepare(persons, count, xmax, ymax, counter, window, deck, nullptr)) return Segments_;
    for (std::size_t i = 0; i < Tails_.size(); ++i) {
        // Persons that are gone, or elsewhere now, leave no trail on this deck.
        if (persons[i].ShownLevel() != deck) continue;
        AppendWalk(Tails_[i].Walker, counter, deck, Segments_);
    }
    return Segments_;
}

const std::vector<float>& TTrailCache::Segments3D(const TPersonData* persons, int count, int xmax,
                                                  int ymax, int counter, int window,
                                                  const TTrailLevels& levels) {
    if (!Prepare(persons, count, xmax, ymax, counter, window, -1, &levels)) return Segments_;
    for (std::size_t i = 0; i < Tails_.size(); ++i) {
        // Persons that are gone leave no trail.
        if (persons[i].ShownLevel() < 0) continue;
        AppendWalk3D(Tails_[i].Walker, counter, levels, Segments_);
    }
    return Segments_;
}

}  // namespace orlex
