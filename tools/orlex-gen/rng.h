// The generator's own random numbers: fixed algorithms, so that the same seed
// gives the same file with every compiler and library.
#pragma once

#include <cstdint>

namespace orlex::gen {

// SplitMix64 finaliser: a good mix of one 64-bit value.
inline uint64_t Mix64(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// A seed for the sub-stream `stream` of `seed`.
inline uint64_t SubSeed(uint64_t seed, uint64_t stream) {
    return Mix64(seed ^ Mix64(stream + 0x9E3779B97F4A7C15ull));
}

class TRng {
public:
    explicit TRng(uint64_t seed) : State_(seed) {}

    uint64_t Next() { return Mix64(State_ += 0x9E3779B97F4A7C15ull); }
    // Uniform in [0, n); 0 when n is 0.
    uint32_t Below(uint32_t n) {
        return static_cast<uint32_t>(((Next() >> 32) * uint64_t{n}) >> 32);
    }
    // Uniform in [lo, hi] (lo <= hi).
    int Range(int lo, int hi) {
        return lo + static_cast<int>(Below(static_cast<uint32_t>(hi - lo) + 1u));
    }
    // True with probability perMille / 1000.
    bool Chance(uint32_t perMille) { return Below(1000) < perMille; }

private:
    uint64_t State_;
};

}  // namespace orlex::gen
