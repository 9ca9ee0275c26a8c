// The show's one pseudo-random generator. Every effect that needs randomness draws from
// it (nothing calls std::rand), and it is seeded once at start-up, so a headless render
// reaches the same pictures on every run. It owns only its generator state; it knows
// nothing of the effects that draw from it. One thread only, like the whole show.
#pragma once

#include <cstdint>
#include <random>

// Restarts the sequence; the same seed gives the same sequence on every machine.
void seedShowRandom(std::uint32_t seed);

// The next value, 0 .. 2^31 - 1 (non-negative, as rand() is); callers take it modulo n.
int showRand();

// The generator's whole state: restoring it replays the sequence from that point.
struct ShowRandomState {
    std::mt19937 engine;
};
ShowRandomState showRandomState();
void restoreShowRandom(const ShowRandomState& state);
