// What aubio hears in a song: the beat tracker's beat times and tempo, the onsets (note
// and drum attacks) and a low-frequency onset curve (spectral flux below the kick's
// cut-off), all on the song's time line in milliseconds. Raw material for BeatGrid: a
// tracker errs by a few BPM and settles late, so nothing here is a grid yet.
#pragma once

#include "tools/qztool/SongAudio.h"

#include <vector>

struct SongBeats {
    std::vector<double> beatMs;   // the tracker's beats, ascending
    double trackerBpm = 0.0;      // the tracker's median tempo, 0 when it found none
    std::vector<double> onsetMs;  // every onset, ascending
    double lowFrameMs = 0.0;      // spacing of lowFlux's frames
    double lowFirstMs = 0.0;      // time of lowFlux[0] (the middle of its window)
    std::vector<float> lowFlux;   // low-frequency onset strength per frame, >= 0

    // The strongest low-frequency onset within +-radiusMs of timeMs (0 outside the song).
    float lowStrengthNear(double timeMs, double radiusMs) const;
};

// Runs aubio's beat tracker, onset detector and a low-band phase vocoder over the song.
// False with reason when aubio cannot be set up for the song's sample rate.
bool detectSongBeats(const SongAudio& song, SongBeats& beats, std::string& reason);
