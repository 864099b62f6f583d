// Feeds arbitrary bytes to the Vadere scenario reader and its topography on a grid.
#include <cstddef>
#include <cstdint>

#include "importfuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    orlex::fuzz::RunVadereScenario(reinterpret_cast<const char*>(data), size);
    return 0;
}
