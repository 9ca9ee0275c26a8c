#include "demo/effects/LyricsFile.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <fstream>

namespace {

// Leading sign and digits of word, as atoi reads them, held to the 32-bit range.
std::int32_t timeOf(const std::string& word)
{
    const long long value = std::strtoll(word.c_str(), nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

// The next whitespace-separated word, cut to LYRIC_WORD_MAX characters (the rest of it
// is read and dropped, so a huge word costs no memory). False at the end of the stream.
bool readWord(std::istream& in, std::string& word)
{
    word.clear();
    in >> std::ws;
    for (int c = in.get(); c != std::char_traits<char>::eof() && !std::isspace(c); c = in.get())
        if (word.size() < LYRIC_WORD_MAX)
            word += static_cast<char>(c);
    return !word.empty();
}

}

bool readLyricEntries(const char* fileName, std::vector<LyricEntry>& entries)
{
    entries.clear();
    std::ifstream in(fileName ? fileName : "");
    if (!in.is_open())
        return false;

    constexpr std::size_t wordsMax = LYRIC_TEXT_MAX - LYRIC_TRAILING_SPACES;
    entries.push_back(LyricEntry{});
    std::string word;
    while (readWord(in, word)) {
        LyricEntry entry;
        entry.showTime = timeOf(word);
        while (readWord(in, word) && word[0] != '|') {
            if (entry.text.size() < wordsMax) {
                entry.text += word;
                entry.text += ' ';
            }
        }
        if (entry.text.size() > wordsMax)
            entry.text.resize(wordsMax);
        entry.text.append(LYRIC_TRAILING_SPACES, ' ');
        entries.push_back(std::move(entry));
    }
    entries.push_back(entries.back());
    return true;
}
