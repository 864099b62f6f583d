// The item codes of the compact tracks and what every one-byte item does, for the
// inlined stepping of the persons (see trackcode.h for the whole encoding).
#pragma once

#include <array>
#include <cstdint>

#include "directions.h"

namespace orlex::track {

constexpr uint8_t kSingle = 81;
constexpr uint8_t kUp = 90;
constexpr uint8_t kDown = 99;
constexpr uint8_t kGeneral = 0xFD;
constexpr uint8_t kRun = 0xFE;
// One-byte items are the codes below this one.
constexpr uint8_t kOneByteItems = kDown + 9;

// One step of an item: the column and row offsets of the position, the heading it
// leaves (0: none, the heading stays; Keep is then all ones, else 0, so that the
// new heading is (heading & Keep) | Heading) and the level change.
struct TStepMove {
    int8_t Dx = 0;
    int8_t Dy = 0;
    int8_t Heading = 0;
    int8_t Keep = -1;
    int8_t Level = 0;
};

// What a one-byte item does: Steps steps, those before Split moving by First,
// the others by Rest. Steps is 0 for the codes of longer items.
struct TItemMoves {
    uint8_t Steps = 0;
    uint8_t Split = 0;
    TStepMove First;
    TStepMove Rest;

    constexpr TStepMove At(int offset) const { return offset < Split ? First : Rest; }
};

constexpr TStepMove MoveOf(int direction, int level) {
    TStepMove m;
    if (IsMoveDirection(direction)) {
        m.Dx = static_cast<int8_t>(kDirectionColumn[direction]);
        m.Dy = static_cast<int8_t>(-kDirectionRow[direction]);
        m.Heading = static_cast<int8_t>(direction);
        m.Keep = 0;
    }
    m.Level = static_cast<int8_t>(level);
    return m;
}

constexpr std::array<TItemMoves, 256> MakeItemMoves() {
    std::array<TItemMoves, 256> moves{};
    for (int v = 0; v < kOneByteItems; ++v) {
        TItemMoves& m = moves[static_cast<std::size_t>(v)];
        if (v <= 80) {
            m = {2, 1, MoveOf(v / 9, 0), MoveOf(v % 9, 0)};
        } else {
            const int base = v < kUp ? kSingle : v < kDown ? kUp : kDown;
            const TStepMove one = MoveOf(v - base, base == kSingle ? 0 : base == kUp ? 1 : -1);
            m = {1, 1, one, one};
        }
    }
    return moves;
}

inline constexpr std::array<TItemMoves, 256> kItemMoves = MakeItemMoves();

inline int AddLevel(int level, int change) {
    // Wraps instead of overflowing on absurd tracks.
    return static_cast<int>(static_cast<uint32_t>(level) + static_cast<uint32_t>(change));
}

}  // namespace orlex::track
