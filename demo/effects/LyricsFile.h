// The lyrics file ("rap.txt"): whitespace-separated words read straight from the
// operating system's file system. Each entry is a start time in milliseconds, the words
// of the line and a word beginning with "|". This reader owns nothing beyond the entries
// it returns and needs no GL, so tools and tests parse lyrics exactly as the show does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct LyricEntry {
    std::int32_t showTime = 0; // milliseconds on the lyrics clock
    std::string text;          // at most LYRIC_TEXT_MAX characters
};

// Longest word kept (longer ones are cut, the rest of the word dropped).
constexpr std::size_t LYRIC_WORD_MAX = 39;
// Longest line kept, the trailing spaces included.
constexpr std::size_t LYRIC_TEXT_MAX = 199;
// Spaces after every line: they wipe what a longer previous line left on the canvas.
constexpr std::size_t LYRIC_TRAILING_SPACES = 35;

// Replaces entries with the show's list: (0, "") first; then one entry per line, its
// text each word followed by one space, then the 35 trailing spaces (words past the
// first LYRIC_TEXT_MAX - 35 characters are cut so the spaces always fit); then the last
// entry once more. A time word that is no number gives 0; trailing whitespace after the
// last bar adds no entry; a last line without its bar keeps its words.
// False, entries emptied, when the file does not open.
bool readLyricEntries(const char* fileName, std::vector<LyricEntry>& entries);
