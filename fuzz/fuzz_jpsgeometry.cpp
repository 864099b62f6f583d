// Feeds arbitrary bytes to the reader of JuPedSim's geometry XML and puts the
// rooms, walls and exits on a grid.
#include <cstddef>
#include <cstdint>

#include "importfuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    orlex::fuzz::RunJuPedSimGeometry(reinterpret_cast<const char*>(data), size);
    return 0;
}
