// JuPedSim's older geometry XML (<geometry version="0.8">): rooms of subrooms whose
// polygons of vertices (px, py) are walls; crossings and transitions close the
// doors between them; obstacles are closed polygons.
#pragma once

#include <string>
#include <string_view>

#include "geometry.h"

namespace orlex::import {

// Whether text's root element is <geometry>.
bool IsJuPedSimGeometry(std::string_view text);

// The rooms closed by the walls, crossings and transitions are walkable; walls and
// obstacles are raised blocks; transitions to the outside are exits. Throws
// TImportError naming the file (and the line for broken XML).
TGeometry ParseJuPedSimGeometry(std::string_view text, const std::string& name);

}  // namespace orlex::import
