// Feeds arbitrary bytes to the 3D log file reader, then plays the project a
// little and writes its report.
#include <cstddef>
#include <cstdint>

#include "fuzzdriver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    orlex::fuzz::RunOne(reinterpret_cast<const char*>(data), size);
    return 0;
}
