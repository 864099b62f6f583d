// The positions of a project's persons in metres, step by step, for the writers of
// other tools' formats.
#pragma once

#include <cstdint>
#include <functional>

namespace orlex {
class TLogFile1;
}

namespace orlex::import {

struct TPosition {
    long long Id = 0;  // the person's tag where the tags are unique, else its number from 1
    int64_t Step = 0;
    double X = 0;  // the centre of the person's cell, metres
    double Y = 0;
    int Level = 0;
    int Heading = 3;  // the direction of the last move (the start heading before one)
};

// The cell size and origin in effect: the project's own where it remembers them.
struct TGridMetres {
    double CellSize = 0.4;
    double OriginX = 0;
    double OriginY = 0;
};
TGridMetres GridMetresOf(const TLogFile1& project, double cellSize);

// Calls visit for every person, from its entry step to the end of its track.
void ForEachPosition(const TLogFile1& project, const TGridMetres& grid,
                     const std::function<void(const TPosition&)>& visit);

}  // namespace orlex::import
