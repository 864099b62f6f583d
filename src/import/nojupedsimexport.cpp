// The JuPedSim export in a build without SQLite or GEOS.
#include "jupedsimexport.h"
#include "unavailable.h"

namespace orlex::import {

std::string WalkableWktOfDeck(const TLogFile1&, const TJuPedSimExportOptions&) {
    NotInThisBuild("--to jupedsim", "walkable areas of decks", "SQLite and GEOS");
}

void WriteJuPedSim(const TLogFile1&, const std::string& path, const TJuPedSimExportOptions&) {
    (void)path;  // a temporary name; the option says what was asked for
    NotInThisBuild("--to jupedsim", "JuPedSim SQLite files", "SQLite and GEOS");
}

}  // namespace orlex::import
