#pragma once
// The game's one pseudo-random generator. A linear congruential generator with a
// 32-bit state, so that a seed gives the same track, traffic and pedestrians on every
// machine and every compiler (the standard distributions are not portable).
#include <cstdint>

namespace vorlane {

class TRandom {
  public:
    explicit TRandom(uint32_t seed = 1) : state_(seed) {}
    void Seed(uint32_t seed) { state_ = seed; }
    uint32_t State() const { return state_; }

    // A uniform integer in 0..n-1; 0 when n <= 0.
    int Random(int n) {
        Next();
        if (n <= 0) return 0;
        return int((uint64_t(state_) * uint64_t(uint32_t(n))) >> 32);
    }
    // A uniform double in [0, 1).
    double RandomDouble() {
        Next();
        return double(state_) / 4294967296.0;
    }

    // Moves on exactly as n calls of Random or RandomDouble would, in a few steps
    // (for long runs of draws whose values are not needed).
    void Skip(uint32_t n) {
        uint32_t mul = 134775813u, add = 1u; // one step: s * mul + add
        uint32_t totalMul = 1u, totalAdd = 0u;
        for (; n != 0; n >>= 1) {
            if (n & 1u) {
                totalMul *= mul;
                totalAdd = totalAdd * mul + add;
            }
            add = add * mul + add;
            mul *= mul;
        }
        state_ = state_ * totalMul + totalAdd;
    }

  private:
    void Next() { state_ = state_ * 134775813u + 1u; }
    uint32_t state_;
};

} // namespace vorlane
