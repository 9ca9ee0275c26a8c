#include "tools/qztool/RapText.h"

#include "demo/effects/LyricsFile.h"
#include "demo/effects/LyricsText.h"

#include <algorithm>
#include <climits>
#include <sstream>

namespace {

// Broken bar: stands in for '|' at a word's start, which would end the reader's line.
constexpr char BROKEN_BAR = '\xA6';

struct Stand {
    char32_t code;
    const char* text;
};
constexpr Stand PLAIN_FORMS[] = {{U'\u2018', "'"}, {U'\u2019', "'"}, {U'\u201A', "'"}, {U'\u201C', "\""},
    {U'\u201D', "\""}, {U'\u201E', "\""}, {U'\u2013', "-"}, {U'\u2014', "-"}, {U'\u2026', "..."}};

// The next UTF-8 character of text from at (moved past it); U+FFFD for a malformed byte.
char32_t nextCharacter(std::string_view text, std::size_t& at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at++]);
    const int length = lead < 0x80 ? 0 : lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (length < 0 || lead >= 0xF5)
        return U'\uFFFD';
    char32_t code = length == 0 ? lead : lead & (0x3F >> length);
    for (int i = 0; i < length; ++i, ++at) {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
            return U'\uFFFD';
        code = (code << 6) | (static_cast<unsigned char>(text[at]) & 0x3F);
    }
    return code;
}

// text in Latin-1, each character outside it replaced and counted.
std::string toLatin1(std::string_view text, int line, RapTextReport& report)
{
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const char32_t code = nextCharacter(text, at);
        if (code <= 0xFF) {
            out += static_cast<char>(code);
            continue;
        }
        const Stand* plain = std::find_if(std::begin(PLAIN_FORMS), std::end(PLAIN_FORMS),
            [code](const Stand& s) { return s.code == code; });
        out += plain != std::end(PLAIN_FORMS) ? plain->text : "?";
        if (report.replaced++ == 0)
            report.firstReplacedLine = line;
    }
    return out;
}

// The words as the reader will hold them; notes words it cuts and guards the '|'.
std::string readerWords(const std::string& latin1, int line, RapTextReport& report)
{
    std::istringstream in(latin1);
    std::string words, word;
    while (in >> word) {
        if (word[0] == '|') {
            word[0] = BROKEN_BAR;
            report.warnings.push_back(lineError(line, "a word starting with '|' would end the line: written with a broken bar"));
        }
        if (word.size() > LYRIC_WORD_MAX)
            report.warnings.push_back(lineError(line, "a word of " + std::to_string(word.size()) + " characters: the show keeps "
                + std::to_string(LYRIC_WORD_MAX)));
        words += (words.empty() ? "" : " ") + word;
    }
    return words;
}

void checkFits(const std::string& words, int line, const GlyphWidths* widths, RapTextReport& report)
{
    const std::size_t textMax = LYRIC_TEXT_MAX - LYRIC_TRAILING_SPACES;
    if (words.size() > textMax)
        report.warnings.push_back(lineError(line, std::to_string(words.size()) + " characters: the show keeps "
            + std::to_string(textMax) + " and cuts the rest"));
    if (!widths)
        return;
    int pixels = 0;
    for (char c : words)
        pixels += (*widths)[static_cast<unsigned char>(c)];
    if (pixels > LyricsText::CANVAS_WIDTH)
        report.warnings.push_back(lineError(line, std::to_string(pixels) + " pixels wide: the band shows "
            + std::to_string(LyricsText::CANVAS_WIDTH) + " and cuts the end"));
}

}

std::string rapText(const std::vector<LyricCue>& cues, const GlyphWidths* widths, RapTextReport& report)
{
    std::string out;
    for (const LyricCue& cue : cues) {
        const std::string words = readerWords(toLatin1(cue.text, cue.line, report), cue.line, report);
        checkFits(words, cue.line, widths, report);
        out += std::to_string(std::clamp<std::int64_t>(cue.ms, 0, INT32_MAX)) + " " + words + (words.empty() ? "|\n" : " |\n");
    }
    return out;
}
