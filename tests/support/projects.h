// Small projects for the tests: the two-person example, and loading from text.
#pragma once

#include <memory>
#include <string>

#include "logfile.h"
#include "recorders.h"

namespace orlex::test {

// Two persons on one 6 x 4 deck, 2 steps a second, 30 s offset.
inline constexpr const char* kExampleFile =
    "<header>\nversion 1\npmax 2\nxmax 6\nymax 4\nzmax 1\nvmax 2\ntoff 30\n</header>\n"
    "<deck>\nlevel 0\ncaption Main deck\n(celldata)\n11 11 11\n1P3x051\n1000 4 1\nP6x1\n"
    "</deck>\n<persons>\n<startpositions>\n1 1 0 3 0\n1 2 0 3 0\n(movement)\n33P2x0S\nP3x3S\n"
    "</persons>\n";

struct TLoaded {
    std::unique_ptr<TLogFile1> Project;
    TRecorder Recorder;
};

// Loads text as a file of that content would be loaded, recording everything shown.
TLoaded LoadText(const std::string& text, TLoadLimits limits = {});

// A project text of one deck per caption (6 x 4 white floor in a ring of blocks)
// with one person per track, every person starting at column 1, row 1 of deck 0.
std::string ProjectText(const std::vector<std::string>& captions, int vmax,
                        const std::vector<std::string>& tracks, int toff = 0);

}  // namespace orlex::test
