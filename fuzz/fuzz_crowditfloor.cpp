// Feeds arbitrary bytes to the crowd:it floor reader, its rooms and walls on a grid.
#include <cstddef>
#include <cstdint>

#include "importfuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    orlex::fuzz::RunCrowditFloor(reinterpret_cast<const char*>(data), size);
    return 0;
}
