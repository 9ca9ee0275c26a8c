// A song's beat grid: evenly spaced beats (one tempo for the whole song), grouped in
// bars, with the bar's first beat fixed. fitBeatGrid builds it from what aubio heard
// (SongBeats): the tracker's tempo only as a first guess, the grid least-squares fitted
// to the beat times, then to the onsets that fall on its beats. Half and double tempo
// are folded into the range asked for, and the grid runs back to the song's start. The
// grid owns nothing; times are milliseconds on the song's time line.
#pragma once

#include "tools/qztool/SongBeats.h"

#include <string>
#include <vector>

struct BeatGridOptions {
    double minBpm = 70.0;
    double maxBpm = 180.0;
    int beatsPerBar = 4;
    bool downbeatGiven = false; // true: the bar starts at the beat nearest downbeatMs
    double downbeatMs = 0.0;
};

// How well the detected beats sit on the grid.
struct BeatGridFit {
    int beats = 0;          // beats the final fit used
    double medianMs = 0.0;  // median distance from the grid
    double worstMs = 0.0;   // largest distance from the grid
};

struct BeatGrid {
    double beatMs = 0.0;        // one beat
    int beatsPerBar = 4;
    double firstBarMs = 0.0;    // the first bar line: the earliest at or after the start
                                // (up to an eighth of a beat before 0 when the song starts on it)
    bool downbeatGiven = false; // the bar's first beat came from the caller, not the low onsets
    BeatGridFit fit;

    double bpm() const { return beatMs > 0.0 ? 60000.0 / beatMs : 0.0; }
    double barMs() const { return beatMs * beatsPerBar; }
    // Bar line number bar, counted from 1 at firstBarMs.
    double barLineMs(int bar) const { return firstBarMs + (bar - 1) * barMs(); }
    // The beat nearest timeMs (beats run on before the first bar line too).
    double nearestBeatMs(double timeMs) const;
    // Every beat from the first at or after the start up to endMs, ascending.
    std::vector<double> beatsUntil(double endMs) const;
};

// Fits the grid for a song of songMs milliseconds. False with reason when too few beats
// were heard or no tempo of the range fits them.
bool fitBeatGrid(const SongBeats& heard, double songMs, const BeatGridOptions& options, BeatGrid& grid,
    std::string& reason);
