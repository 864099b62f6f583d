// Feeds arbitrary bytes to the crowd:it CSV reader (plain or gzip) and the conversion to cells.
#include <cstddef>
#include <cstdint>

#include "importfuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    orlex::fuzz::RunCrowdit(reinterpret_cast<const char*>(data), size);
    return 0;
}
