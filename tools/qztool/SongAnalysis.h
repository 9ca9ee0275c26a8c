// One song, analysed: decoded (SongAudio), heard by aubio (SongBeats) and its beat grid
// fitted (BeatGrid). The commands that place scenes, lyrics or a timeline picture on the
// beat start here. It owns the decoded samples and what was heard.
#pragma once

#include "tools/qztool/BeatGrid.h"
#include "tools/qztool/SongAudio.h"
#include "tools/qztool/SongBeats.h"

#include <string>

struct SongAnalysis {
    SongAudio audio;
    SongBeats heard;
    BeatGrid grid;
};

// Decodes the MP3 at path and fits its grid. False with reason (without the file name)
// when it cannot be decoded or holds no beat that fits the options.
bool analyseSong(const std::string& path, const BeatGridOptions& options, SongAnalysis& song, std::string& reason);

// The grid in a few lines for standard error: tempo, bar length, the downbeat used and
// how well the beats fit.
std::string describeGrid(const SongAnalysis& song);
