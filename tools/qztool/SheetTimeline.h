// What the sync sheet shows, on the show's time line (milliseconds from the music's
// start, which is the timeline's start): when each scene is on and when each lyric line
// is in the band, worked out as the director and the lyrics advance through their
// times. Both only move forward and switch once the time is strictly past, so a time
// earlier than the one before it switches together with that one; times before 0
// switch at once. Owns only the values it returns.
#pragma once

#include "demo/effects/LyricsFile.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct SceneSpan {
    int scene = 0;
    double startMs = 0.0; // the change that brings it on (0 for scene 0)
    double endMs = 0.0;   // the next change, or the sheet's end for the last scene on

    bool seen() const { return endMs > startMs; }
};

struct LyricSpan {
    double startMs = 0.0;
    double endMs = 0.0;
    std::string text; // UTF-8, without the reader's trailing spaces
};

// Past the last scene change the sheet runs this long, or to the song's end if later.
constexpr double SHEET_TAIL_MS = 10000.0;

double sheetEndMs(double songMs, const std::vector<std::int32_t>& syncTimes);
// One span per scene the sync times reach (at most sceneCount): scene k + 1 follows
// syncTimes[k]; times beyond the last scene are ignored, as the director does.
std::vector<SceneSpan> sceneSpans(const std::vector<std::int32_t>& syncTimes, int sceneCount, double endMs);
// One span per line of the show's lyric list (as readLyricEntries gives it: an empty
// entry first, the last one twice) that puts words in the band; the last line stays to
// endMs.
std::vector<LyricSpan> lyricSpans(const std::vector<LyricEntry>& entries, double endMs);

// The bitmap font's codes (Latin-1) as UTF-8, for drawing with a system font.
std::string latin1ToUtf8(std::string_view text);
