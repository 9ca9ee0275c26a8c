// A song decoded for analysis: the MP3 as libmpg123 decodes it, at the file's own sample
// rate, the channels mixed to one, on the time line it was encoded from (an MP3 without
// a gapless note has the codec's delay taken off). Beat tracking and the sync sheet's
// waveform read it; nothing here plays sound. It owns the samples it returns.
#pragma once

#include <string>
#include <vector>

struct SongAudio {
    int sampleRate = 0;        // Hz, the file's own
    std::vector<float> mono;   // -1..1, the channels averaged

    double seconds() const { return sampleRate > 0 ? double(mono.size()) / sampleRate : 0.0; }
};

// Decodes the whole MP3 at path. False with reason set (without the file name) when the
// file cannot be opened or holds no MPEG audio the decoder can read.
bool decodeSong(const std::string& path, SongAudio& song, std::string& reason);
