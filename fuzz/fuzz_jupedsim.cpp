// Feeds arbitrary bytes, as a database file, to the JuPedSim reader and the
// conversion to cells.
#include <cstddef>
#include <cstdint>

#include "importfuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    orlex::fuzz::RunJuPedSim(reinterpret_cast<const char*>(data), size);
    return 0;
}
