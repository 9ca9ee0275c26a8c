#include "tools/datagen/Lyrics.h"

#include "demo/effects/LyricsFile.h"
#include "tools/datagen/ShowTimeline.h"

#include <cstdint>
#include <sstream>
#include <vector>

namespace {

// UTF-8 to Latin-1; false for malformed bytes or a character beyond U+00FF.
bool toLatin1(std::string_view utf8, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += char(lead);
            continue;
        }
        if ((lead & 0xE0) != 0xC0 || lead > 0xC3 || i + 1 >= utf8.size())
            return false;
        const unsigned char next = static_cast<unsigned char>(utf8[++i]);
        if ((next & 0xC0) != 0x80)
            return false;
        out += char(((lead & 0x03) << 6) | (next & 0x3F));
    }
    return true;
}

// "BAR.BEAT" with BAR >= 1 and BEAT 1..4: the beat from the start of the music.
bool parseTime(const std::string& word, int& beat)
{
    int bar = 0, beatInBar = 0;
    char dot = 0, extra = 0;
    std::istringstream in(word);
    if (!(in >> bar >> dot >> beatInBar) || dot != '.' || (in >> extra))
        return false;
    if (bar < 1 || beatInBar < 1 || beatInBar > showtime::BEATS_PER_BAR)
        return false;
    beat = (bar - 1) * showtime::BEATS_PER_BAR + beatInBar - 1;
    return true;
}

bool fail(std::string& error, int lineNumber, const std::string& why)
{
    error = "lyrics.txt line " + std::to_string(lineNumber) + ": " + why;
    return false;
}

}

bool lyricsFileText(std::string_view source, std::string& out, std::string& error)
{
    out.clear();
    std::istringstream lines{std::string(source)};
    std::string line;
    int lineNumber = 0;
    std::int32_t lastMs = -1;
    while (std::getline(lines, line)) {
        ++lineNumber;
        std::istringstream words(line);
        std::string time;
        if (!(words >> time) || time[0] == '#')
            continue;
        int beat = 0;
        if (!parseTime(time, beat))
            return fail(error, lineNumber, "'" + time + "' is not BAR.BEAT (bars from 1, beats 1 to 4)");
        const std::int32_t ms = showtime::beatMs(beat);
        if (ms <= lastMs)
            return fail(error, lineNumber, "the time does not come after the line before");
        lastMs = ms;
        std::string text;
        std::string word, latin1;
        while (words >> word) {
            if (!toLatin1(word, latin1))
                return fail(error, lineNumber, "'" + word + "' has a character the font does not hold");
            if (latin1[0] == '|')
                return fail(error, lineNumber, "a word may not begin with '|': it ends the line");
            if (latin1.size() > LYRIC_WORD_MAX)
                return fail(error, lineNumber,
                    "'" + word + "' is longer than " + std::to_string(LYRIC_WORD_MAX) + " characters");
            text += latin1 + " ";
        }
        if (text.size() + LYRIC_TRAILING_SPACES > LYRIC_TEXT_MAX)
            return fail(error, lineNumber, "the line is longer than the show holds");
        out += std::to_string(ms) + " " + text + "|\n";
    }
    if (lastMs < 0)
        return fail(error, lineNumber, "no lines");
    return true;
}
