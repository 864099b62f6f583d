// What the outputs and the summaries of orlex-stats share.
#pragma once

#include <charconv>
#include <string>

#include "runcase.h"
#include "runstats.h"

namespace orlex {
class TJsonWriter;
}

namespace orlex::stats {

// The shortest text that reads back as the same number.
std::string Number(double value);

// The case as a JSON object: xMax, yMax, zMax, vMax, pMax and cells.
void WriteCaseJson(TJsonWriter& json, const TCaseKey& key);

}  // namespace orlex::stats
