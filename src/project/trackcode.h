// The encoding of the compact tracks, shared by the person's stepping and seeking.
#pragma once

#include <cstdint>
#include <cstring>

#include "person.h"
#include "trackitems.h"

namespace orlex {

// Track encoding. Every item ends with a byte that tells its kind, and multi-byte
// items also start with it, so the track can be walked both ways:
//   0..80     two steps without level change, directions v / 9 and v % 9
//   81..89    one step without level change, direction v - 81
//   90..98    one step one level up, direction v - 90
//   99..107   one step one level down, direction v - 99
//   kGeneral  [kGeneral][character][level change + 1][kGeneral]: one step of any
//             direction (direction = character - '0')
//   kRun      [kRun][count, 4 bytes LE][character][kRun]: count steps, no level change
namespace track {

constexpr int kGeneralBytes = 4;
constexpr int kRunBytes = 7;
// Runs this short are stored as single steps (pairs take half a byte a step).
constexpr int64_t kShortRun = 6;

inline int ItemBytes(uint8_t first) {
    if (first == kGeneral) return kGeneralBytes;
    if (first == kRun) return kRunBytes;
    return 1;
}

inline int ItemSteps(const uint8_t* item) {
    if (item[0] <= 80) return 2;
    if (item[0] == kRun) {
        uint32_t n;
        std::memcpy(&n, item + 1, 4);
        return static_cast<int>(n);
    }
    return 1;
}

inline TStep EntryOf(const uint8_t* item, int offset) {
    const uint8_t v = item[0];
    if (v <= 80) return {offset == 0 ? v / 9 : v % 9, 0};
    if (v < kUp) return {v - kSingle, 0};
    if (v < kDown) return {v - kUp, 1};
    if (v < kDown + 9) return {v - kDown, -1};
    if (v == kGeneral) return {static_cast<int>(item[1]) - '0', static_cast<int>(item[2]) - 1};
    return {static_cast<int>(item[5]) - '0', 0};
}

}  // namespace track

}  // namespace orlex
