// Writes a conversion as a 3D log file, with its "<import>" section (origin, cell
// size and entry steps) that other readers skip.
#pragma once

#include <ostream>

#include "cells.h"

namespace orlex::import {

void WriteLogFile(const TConversion& conversion, std::ostream& out);

}  // namespace orlex::import
