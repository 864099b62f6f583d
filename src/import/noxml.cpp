// XML geometry in a build without pugixml: JuPedSim's geometry and crowd:it's
// floors are refused.
#include "crowdit.h"
#include "jpsgeometry.h"
#include "unavailable.h"

namespace orlex::import {

bool IsJuPedSimGeometry(std::string_view text) {
    return text.find("<geometry") != std::string_view::npos;
}

TGeometry ParseJuPedSimGeometry(std::string_view, const std::string& name) {
    NotInThisBuild(name, "JuPedSim geometry files", "pugixml");
}

TGeometry ParseCrowditFloor(std::string_view, const std::string& name) {
    NotInThisBuild(name, "crowd:it floors", "pugixml");
}

}  // namespace orlex::import
