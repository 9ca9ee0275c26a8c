// Timed lyric lines as subtitle formats give them (LRC, SRT): a start time and the text
// in UTF-8, with the source line each came from so later checks can name it. Also what
// both readers share: the text's lines (byte-order mark, CR LF or LF) and the clean-up
// of a cue's text. Owns nothing beyond the values it returns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct LyricCue {
    std::int64_t ms = 0; // start, milliseconds from the song's start
    std::string text;    // UTF-8, words separated by single spaces; empty clears the band
    int line = 0;        // source line, from 1
};

// Times beyond a day are held there.
constexpr std::int64_t MAX_LYRIC_MS = 24LL * 3600 * 1000;

// "m:ss", "m:ss.x", "m:ss.xx" or "m:ss.xxx" (minutes of any width, seconds below 60, a
// fraction of a second) in milliseconds. False for anything else.
bool parseClockTime(std::string_view text, std::int64_t& ms);

// The lines of a text file: a leading UTF-8 byte-order mark dropped, CR LF or LF ends.
std::vector<std::string> sourceLines(std::string_view text);

// Runs of whitespace become one space; leading and trailing whitespace go.
std::string collapseSpaces(std::string_view text);

// text with each "<...>" or "{...}" for which isMarkup(opening character, what is
// inside) holds replaced by a space.
std::string withoutMarkup(std::string_view text, bool (*isMarkup)(char open, std::string_view tag));

// Sorts by time; lines of equal time keep their order.
void sortCues(std::vector<LyricCue>& cues);

// "line N: why", the text of a malformed-line failure.
std::string lineError(int line, const std::string& why);
