// Trails: the way persons walked, as lines just above the floor of the deck
// shown. They are read from the tracks with TTrackCursor, never from a
// person's own cursor, so they follow any jump in time.
#pragma once

#include <vector>

#include "person.h"

namespace orlex {

// Height of the trail lines above the floor.
inline constexpr float kTrailHeight = 0.05f;

// The path of person from step counter from to step counter to (positions
// after that many steps; the track's end stops it), as segments x0, y0, x1, y1
// appended to out: only the moves that start and end on deck. Moves along one
// line in a row make one segment. xmax and ymax place the start cell.
void AppendPath(const TPersonData& person, int xmax, int ymax, int from, int to, int deck,
                std::vector<float>& out);

// The floors of the stack for trails across decks: deck d lies at height Z[d]
// and is drawn when Shown[d]; a move touching a deck not drawn is left out.
struct TTrailLevels {
    std::vector<float> Z;
    std::vector<bool> Shown;
    bool operator==(const TTrailLevels&) const = default;
};

// The path as AppendPath gives it, over every deck drawn: segments x0, y0, z0,
// x1, y1, z1, a change of level going from one floor to the other.
void AppendPath3D(const TPersonData& person, int xmax, int ymax, int from, int to,
                  const TTrailLevels& levels, std::vector<float>& out);

// The trails of everyone on the deck shown: the last window steps of every
// person, kept between frames and brought forward step by step as the step
// counter grows; a step back or another project starts them afresh.
class TTrailCache {
public:
    TTrailCache();
    ~TTrailCache();

    // The segments for these persons at step counter counter; recomputed only
    // when an argument changed.
    const std::vector<float>& Segments(const TPersonData* persons, int count, int xmax, int ymax,
                                       int counter, int window, int deck);
    // The trails of everyone still on board, over the decks of the stack (as
    // AppendPath3D); kept apart from the segments of one deck.
    const std::vector<float>& Segments3D(const TPersonData* persons, int count, int xmax, int ymax,
                                         int counter, int window, const TTrailLevels& levels);
    void Clear();

private:
    struct TTail;
    // Brings the tails to counter - window; false when nothing changed.
    bool Prepare(const TPersonData* persons, int count, int xmax, int ymax, int counter, int window,
                 int deck, const TTrailLevels* levels);
    std::vector<TTail> Tails_;
    std::vector<float> Segments_;
    const TPersonData* Persons_ = nullptr;
    int Count_ = -1, XMax_ = 0, YMax_ = 0, Counter_ = -1, Window_ = -1, Deck_ = 0;
    TTrailLevels Levels_;
};

}  // namespace orlex
