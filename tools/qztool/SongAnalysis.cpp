#include "tools/qztool/SongAnalysis.h"

#include <cmath>
#include <cstdio>

bool analyseSong(const std::string& path, const BeatGridOptions& options, SongAnalysis& song, std::string& reason)
{
    return decodeSong(path, song.audio, reason) && detectSongBeats(song.audio, song.heard, reason)
        && fitBeatGrid(song.heard, song.audio.seconds() * 1000.0, options, song.grid, reason);
}

std::string describeGrid(const SongAnalysis& song)
{
    const BeatGrid& grid = song.grid;
    char text[512];
    std::snprintf(text, sizeof text,
        "song: %.1f s at %d Hz\n"
        "tempo: %.2f BPM (beat %.1f ms)\n"
        "bar: %.1f ms (%d beats)\n"
        "downbeat: %ld ms (%s)\n"
        "fit: %d beats, median %.1f ms, worst %.1f ms from the grid\n",
        song.audio.seconds(), song.audio.sampleRate, grid.bpm(), grid.beatMs, grid.barMs(), grid.beatsPerBar,
        std::lround(grid.firstBarMs),
        grid.downbeatGiven ? "the beat nearest --downbeat" : "the strongest low-frequency onsets",
        grid.fit.beats, grid.fit.medianMs, grid.fit.worstMs);
    return text;
}
