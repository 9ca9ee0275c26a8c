#include "demo/effects/ShowRandom.h"

#include <random>

namespace {

// The Mersenne Twister's output is fixed by the C++ standard for a given seed, so the
// sequence does not depend on the library or the platform.
std::mt19937& generator()
{
    static std::mt19937 engine;
    return engine;
}

}

void seedShowRandom(std::uint32_t seed)
{
    generator().seed(seed);
}

int showRand()
{
    return static_cast<int>(generator()() >> 1);
}

ShowRandomState showRandomState()
{
    return ShowRandomState{generator()};
}

void restoreShowRandom(const ShowRandomState& state)
{
    generator() = state.engine;
}
