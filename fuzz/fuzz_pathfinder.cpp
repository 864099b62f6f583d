// Feeds arbitrary bytes to the Pathfinder occupant CSV reader and the conversion to
// cells with its floors.
#include <cstddef>
#include <cstdint>

#include "importfuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    orlex::fuzz::RunPathfinder(reinterpret_cast<const char*>(data), size);
    return 0;
}
