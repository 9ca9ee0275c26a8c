#include "tools/datagen/ShowTimeline.h"

namespace showtime {
namespace {

// Intro: two bars under the opening words, so the title card comes before the music has
// run long on an empty frame. Title (two), wall, pond: short; cave to reprise: the body;
// credits: quick cuts.
constexpr int BARS[SCENES] = {2, 4, 4, 4, 4, 8, 8, 8, 8, 8, 2, 2, 2, OUTRO_BARS};

}

int sceneBars(int scene)
{
    return (scene >= 0 && scene < SCENES) ? BARS[scene] : 0;
}

int sceneStartBar(int scene)
{
    int bar = 0;
    for (int s = 0; s < scene && s < SCENES; ++s)
        bar += BARS[s];
    return bar;
}

int totalBars()
{
    return sceneStartBar(SCENES);
}

std::int32_t barMs(int bar)
{
    const std::int64_t samples = std::int64_t(bar) * SAMPLES_PER_BAR;
    return static_cast<std::int32_t>((samples * 1000 + SAMPLE_RATE / 2) / SAMPLE_RATE);
}

std::int32_t beatMs(int beat)
{
    const std::int64_t samples = std::int64_t(beat) * SAMPLES_PER_BEAT;
    return static_cast<std::int32_t>((samples * 1000 + SAMPLE_RATE / 2) / SAMPLE_RATE);
}

std::vector<std::int32_t> syncTimes()
{
    std::vector<std::int32_t> times;
    for (int s = 1; s < SCENES; ++s)
        times.push_back(barMs(sceneStartBar(s)));
    return times;
}

int sceneAtSample(std::int64_t sample)
{
    const std::int64_t bar = sample / SAMPLES_PER_BAR;
    for (int s = SCENES - 1; s > 0; --s)
        if (bar >= sceneStartBar(s))
            return s;
    return 0;
}

}
