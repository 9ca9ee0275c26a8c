// A short MP3 made at test time: a stereo 440 Hz tone at 44 100 Hz, loud from its first
// sample, written as WAV and encoded with the lame command.
#pragma once

#include <string>

constexpr int TONE_RATE = 44100;
// Peak amplitude of the tone, in 16-bit sample units.
constexpr double TONE_PEAK = 12000.0;

// Writes the WAV to wavPath; false when it cannot be written.
bool writeToneWav(const std::string& wavPath, double seconds);
// Writes the tone as WAV beside mp3Path and encodes it there; false on failure.
bool makeToneMp3(const std::string& mp3Path, double seconds);
