// The show's soundtrack, synthesised: a laid-back swung hip-hop instrumental at 90 BPM
// (kick, snare, swung sixteenth hats, a round bass, electric-piano chords, a short lead
// hook that returns, arpeggio and pad in the climax), arranged so each scene of the show
// is a section that starts on its bar. Pure computation: same samples on every run. It
// owns the samples it returns; encoding is the caller's.
#pragma once

#include <vector>

struct StereoPcm {
    int sampleRate = 0;      // Hz
    std::vector<float> left; // -1..1
    std::vector<float> right;
};

// The whole soundtrack at showtime::SAMPLE_RATE, its peaks below full scale.
StereoPcm synthesiseSoundtrack();
