// JuPedSim's SQLite files in a build without SQLite: recognised, and refused.
#include <cstring>

#include "jupedsim.h"
#include "unavailable.h"

namespace orlex::import {

bool LooksLikeSqlite(const char* data, std::size_t size) {
    static const char kMagic[] = "SQLite format 3";  // with its terminating zero: 16 bytes
    return size >= sizeof kMagic && std::memcmp(data, kMagic, sizeof kMagic) == 0;
}

TTrajectorySet ReadJuPedSimFile(const std::string& path) {
    NotInThisBuild(path, "JuPedSim SQLite files", "SQLite");
}

}  // namespace orlex::import
