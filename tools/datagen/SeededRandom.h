// The pictures' own pseudo-random numbers: a fixed seed gives the same stars, bricks and
// windows on every run and on every machine (no library generator whose sequence may
// change). SplitMix64; owns its 64-bit state only. Draw each number in its own statement
// or declarator: the order in which a call's arguments are evaluated is not fixed.
#pragma once

#include <cstdint>

class SeededRandom {
public:
    explicit SeededRandom(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    // Uniform in [low, high).
    double range(double low, double high) { return low + (high - low) * unit(); }
    // 0 .. n - 1; 0 when n <= 0.
    int below(int n) { return n > 0 ? int(next() % std::uint64_t(n)) : 0; }
    bool chance(double probability) { return unit() < probability; }

private:
    std::uint64_t state_;
};
