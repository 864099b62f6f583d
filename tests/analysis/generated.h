// Generated and randomly written projects for the analysis tests that replay them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "logfile.h"

namespace orlex::test {

// A project of orlex-gen's classic model (persons share cells) on decks of 24 x 10
// cells.
std::unique_ptr<TLogFile1> Generated(int decks, int persons, int steps, uint64_t seed);

// Tracks of every kind: runs, stays, level changes, odd directions, starts off the
// grid and on missing levels, over void and floor cells (10 x 6 cells, 2 decks).
std::string WildText(uint64_t seed);

}  // namespace orlex::test
