// The persons section of a 3D log file: the start positions and the movement data.
#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "loader.h"

namespace orlex::load {

bool TLoader::ReadPersonsSection() {
    while (In.ReadWord(Word)) {
        if (Word == "</persons>") return true;
        if (Word == "<startpositions>") {
            SetInfo("Loading start positions...");
            if (!ReadStartPositions()) return false;
        } else if (Word == "(movement)") {
            SetInfo("Loading movement data...");
            if (!ReadMovement()) return false;
        }
    }
    return Incomplete();
}

bool TLoader::ReadStartPositions() {
    LastPosition = -1;
    SetPosition(0);
    const int count = P.PersonCount();
    for (int i = 0; i < count; ++i) {
        int v[5] = {0, 0, 0, 0, 0};
        for (int k = 0; k < 5; ++k) {
            if (!In.ReadInteger(v[k])) {
                if (In.AtEnd()) return Incomplete();
                if (!ShortStartShown) {
                    ShortStartShown = true;
                    Warn(("The start positions hold records for only " + std::to_string(i) +
                          " of " + std::to_string(count) + " persons.")
                             .c_str());
                }
                return true;
            }
        }
        P.Persons[static_cast<std::size_t>(i)].SetStart(v[0], v[1], P.YMax, P.XMax, v[4], v[3],
                                                        v[2]);
        SetPosition(static_cast<int>(int64_t{i} * 100 / count));
    }
    return true;
}

namespace {

// Eight characters of movement data in one word (first character in the low
// byte, as loaded on little-endian machines).
inline bool AllPlainDigits(uint64_t w) {
    constexpr uint64_t kHigh = 0x8080808080808080ULL;
    // Every byte below 0x80, at least '0' and at most '8'.
    return (w & kHigh) == 0 && ((w + 0x5050505050505050ULL) & kHigh) == kHigh &&
           ((w + 0x4747474747474747ULL) & kHigh) == 0;
}

// Four pair bytes (first digit x 9 + second) from eight plain step digits.
inline uint32_t PackDigitPairs(uint64_t w) {
    constexpr uint64_t kLanes = 0x00FF00FF00FF00FFULL;
    const uint64_t digits = w - 0x3030303030303030ULL;
    uint64_t lanes = (digits & kLanes) * 9 + ((digits >> 8) & kLanes);
    lanes = (lanes | (lanes >> 8)) & 0x0000FFFF0000FFFFULL;
    lanes = (lanes | (lanes >> 16)) & 0x00000000FFFFFFFFULL;
    return static_cast<uint32_t>(lanes);
}

#if defined(__SSE2__)
// Sixteen plain step digits at p as eight pair bytes at out; false (and nothing
// written) when one of them is not a plain step.
inline bool PackSixteen(const char* p, uint8_t* out) {
    const __m128i digits =
        _mm_sub_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_set1_epi8('0'));
    const __m128i eight = _mm_set1_epi8(8);
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_max_epu8(digits, eight), eight)) != 0xFFFF)
        return false;
    const __m128i first = _mm_and_si128(digits, _mm_set1_epi16(0x00FF));
    const __m128i second = _mm_srli_epi16(digits, 8);
    const __m128i pairs = _mm_add_epi16(_mm_mullo_epi16(first, _mm_set1_epi16(9)), second);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(pairs, pairs));
    return true;
}
#endif

}  // namespace

bool TLoader::ReadMovement() {
    LastPosition = -1;
    SetPosition(0);
    const int count = P.PersonCount();
    P.CompleteTracks = 0;
    const int threads = LoaderThreads(P.LoadOptions.Threads);
    // Helper threads read tracks of persons whose index they do not know yet: only
    // a first movement list, onto empty tracks, can be read that way.
    bool fresh = threads > 1;
    for (int i = 0; fresh && i < count; ++i)
        fresh = P.Persons[static_cast<std::size_t>(i)].StepCount == 0;
    if (fresh) return ReadMovementInParallel(threads);
    for (int i = 0; i < count; ++i) {
        TPersonData& person = P.Persons[static_cast<std::size_t>(i)];
        TTrackRead read;
        ReadTrack(In, Scratch, kMaxStepCount - person.StepCount, read);
        if (read.Steps > 0)
            person.AppendEncoded(Scratch, static_cast<int>(read.Steps), read.LevelDelta,
                                 &P.TrackArena);
        bool result = true;
        if (FinishTrack(i, read, result)) return result;
    }
    return true;
}

bool TLoader::FinishTrack(int i, const TTrackRead& read, bool& result) {
    for (int k = 0; k < read.WarningCount; ++k) {
        if (read.Warnings[k] == kCountCut) WarnOnce(CountCutShown, kCountCut);
        if (read.Warnings[k] == kBadCount) WarnOnce(BadCountShown, kBadCount);
    }
    if (read.Stopped && P.CompleteTracks == i) P.CompleteTracks = i + 1;
    if (read.End == TTrackRead::TEnd::FileEnd) {
        result = Incomplete();
        return true;
    }
    const int count = P.PersonCount();
    if (read.End == TTrackRead::TEnd::ListEnd) {
        if (!ShortMovementShown) {
            ShortMovementShown = true;
            Warn(("The movement data holds tracks for only " + std::to_string(i) + " of " +
                  std::to_string(count) + " persons.")
                     .c_str());
        }
        result = true;
        return true;
    }
    SetPosition(static_cast<int>(int64_t{i} * 100 / count));
    return false;
}

void ReadTrack(TTextReader& in, std::vector<uint8_t>& bytes, int64_t room, TTrackRead& read) {
    read = TTrackRead();
    bytes.clear();
    TTrackWriter writer(bytes);
    int64_t steps = 0;
    int levelDelta = 0;
    auto add = [&](int64_t n, int direction, int levelChange) {
        if (n > room - steps) {
            read.Warn(kCountCut);
            n = room - steps;
        }
        if (n <= 0) return;
        writer.Steps(n, direction, levelChange);
        steps += n;
        levelDelta = static_cast<int>(static_cast<uint32_t>(levelDelta) +
                                      static_cast<uint32_t>(levelChange));
    };
    // A section tag where a track should start: the list is shorter than pmax.
    if (in.AtSectionTag()) {
        read.End = TTrackRead::TEnd::ListEnd;
        return;
    }
    // A plain step waiting for its partner, also across a refill of the buffer, so
    // that the track's bytes do not depend on where the buffer ends.
    int pending = -1;
    for (;;) {
        // Plain one-letter steps straight from the buffer, with local state
        // that the compiler keeps in registers; two steps make one byte.
        const char* p = in.Cursor();
        const char* limit = in.Limit();
        uint8_t local[4096];
        uint8_t* out = local;
        const int64_t left = room - steps;  // steps this track may still take
        int64_t taken = 0;
        while (p < limit) {
            if (out == local + sizeof local) {
                bytes.insert(bytes.end(), local, out);
                out = local;
            }
#if defined(__SSE2__)
            if (pending < 0) {
                // Sixteen plain steps at a time, as long as they come: eight bytes.
                const std::size_t blocks =
                    std::min({static_cast<std::size_t>(limit - p) / 16,
                              static_cast<std::size_t>(left - taken) / 16,
                              static_cast<std::size_t>(local + sizeof local - out) / 8});
                const char* const start = p;
                for (std::size_t b = 0; b < blocks && PackSixteen(p, out); ++b) {
                    p += 16;
                    out += 8;
                }
                taken += p - start;
                if (p != start) continue;
            }
#endif
            if (std::endian::native == std::endian::little && pending < 0 && limit - p >= 8 &&
                left - taken >= 8 && out + 4 <= local + sizeof local) {
                // Eight plain steps in a row are the common case: four bytes.
                uint64_t w;
                std::memcpy(&w, p, 8);
                if (AllPlainDigits(w)) {
                    const uint32_t packed = PackDigitPairs(w);
                    std::memcpy(out, &packed, 4);
                    out += 4;
                    p += 8;
                    taken += 8;
                    continue;
                }
            }
            if (pending < 0 && limit - p >= 2 && left - taken >= 2) {
                const unsigned d0 = static_cast<unsigned char>(p[0]) - unsigned{'0'};
                const unsigned d1 = static_cast<unsigned char>(p[1]) - unsigned{'0'};
                if (d0 <= 8 && d1 <= 8) {
                    *out++ = static_cast<uint8_t>(d0 * 9 + d1);
                    p += 2;
                    taken += 2;
                    continue;
                }
            }
            const auto c = static_cast<unsigned char>(*p);
            const unsigned direction = static_cast<unsigned>(c) - '0';
            if (direction <= 8 && taken < left) {
                ++p;
                ++taken;
                if (pending < 0) {
                    pending = static_cast<int>(direction);
                } else {
                    *out++ = static_cast<uint8_t>(pending * 9 + static_cast<int>(direction));
                    pending = -1;
                }
                continue;
            }
            if (!TTextReader::IsSpace(c)) break;
            ++p;
        }
        steps += taken;
        bytes.insert(bytes.end(), local, out);
        in.SetCursor(p);
        if (p == limit && in.Refill()) continue;
        if (pending >= 0) writer.Steps(1, pending, 0);
        pending = -1;
        if (p == limit) {
            read.End = TTrackRead::TEnd::FileEnd;
            break;
        }
        const int c = in.ReadLetter();
        if (c == 'S') {
            read.Stopped = true;
            break;
        }
        if (c == 'P') {
            int64_t n;
            bool valid, atTag;
            int d = -1;
            if (!ReadRunCount(in, n, valid, atTag)) {
                read.End = TTrackRead::TEnd::FileEnd;
                break;
            }
            if (atTag) {
                // The track stops at a tag; the next one will see it as the end of the list.
                read.Warn(kBadCount);
                break;
            }
            if ((d = in.ReadLetter()) < 0) {
                read.End = TTrackRead::TEnd::FileEnd;
                break;
            }
            if (valid)
                add(n, d - '0', 0);
            else
                read.Warn(kBadCount);
        } else if (c == 'U' || c == 'D') {
            const int d = in.ReadLetter();
            if (d < 0) {
                read.End = TTrackRead::TEnd::FileEnd;
                break;
            }
            add(1, d - '0', c == 'U' ? 1 : -1);
        } else {
            add(1, c - '0', 0);
        }
    }
    writer.Flush();
    read.Steps = steps;
    read.LevelDelta = levelDelta;
}

}  // namespace orlex::load
