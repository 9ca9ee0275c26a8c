// The show's musical clock: tempo, the length of each scene in bars, and the scene change
// times that follow from them. The soundtrack, the sync file and the camera paths all
// read it, so sections of the music change exactly where the scenes do. It owns no data
// beyond its constant tables.
#pragma once

#include <cstdint>
#include <vector>

namespace showtime {

constexpr int SAMPLE_RATE = 44100;       // Hz
constexpr int BEATS_PER_MINUTE = 90;
constexpr int BEATS_PER_BAR = 4;
constexpr int SAMPLES_PER_BEAT = SAMPLE_RATE * 60 / BEATS_PER_MINUTE; // 29400, exact
constexpr int SAMPLES_PER_BAR = SAMPLES_PER_BEAT * BEATS_PER_BAR;
constexpr int SCENES = 14;
// The last scene never ends in the show; the music plays this many bars over it.
constexpr int OUTRO_BARS = 5;

// Bars of scene s (0..13); for the last scene, the outro.
int sceneBars(int scene);
// First bar of scene s; sceneStartBar(SCENES) is the end of the music.
int sceneStartBar(int scene);
int totalBars();
// Milliseconds of bar b from the start, rounded to the nearest millisecond.
std::int32_t barMs(int bar);
// Milliseconds of beat b (counted from 0 at the start), rounded the same way.
std::int32_t beatMs(int beat);
// The thirteen scene change times in milliseconds: entry k ends scene k.
std::vector<std::int32_t> syncTimes();
// Scene playing at sample position (0..13).
int sceneAtSample(std::int64_t sample);

}
