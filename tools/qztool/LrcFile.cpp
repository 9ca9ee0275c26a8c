#include "tools/qztool/LrcFile.h"

#include "tools/qztool/CommandOptions.h"

#include <cctype>

namespace {

// An ID tag's name: letters (and '#') before the colon; empty when tag is none.
std::string_view idTagName(std::string_view tag)
{
    const std::size_t colon = tag.find(':');
    if (colon == 0 || colon == std::string_view::npos)
        return {};
    for (char c : tag.substr(0, colon))
        if (!std::isalpha(static_cast<unsigned char>(c)) && c != '#')
            return {};
    return tag.substr(0, colon);
}

// "+500", "-250" or "500" milliseconds.
bool parseOffset(std::string_view value, std::int64_t& offset)
{
    long ms = 0;
    if (!parseWholeNumber(std::string(value), -MAX_LYRIC_MS, MAX_LYRIC_MS, ms))
        return false;
    offset = ms;
    return true;
}

// Word-time tags: "<mm:ss.xx>".
bool isWordTime(char open, std::string_view tag)
{
    std::int64_t unused = 0;
    return open == '<' && parseClockTime(tag, unused);
}

// One line: time tags and text (cues appended), an ID tag (offset set when it is one),
// or blank. False with error when it is none of these.
bool parseLine(const std::string& line, int number, std::vector<LyricCue>& cues, std::int64_t& offset,
    std::string& error)
{
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos)
        return true;
    std::vector<std::int64_t> times;
    while (at < line.size() && line[at] == '[') {
        const std::size_t close = line.find(']', at);
        if (close == std::string::npos) {
            error = lineError(number, "'[' without ']'");
            return false;
        }
        const std::string_view tag = std::string_view(line).substr(at + 1, close - at - 1);
        std::int64_t ms = 0;
        if (parseClockTime(tag, ms))
            times.push_back(ms);
        else if (times.empty() && !idTagName(tag).empty() && line.find_first_not_of(" \t", close + 1) == std::string::npos) {
            if (idTagName(tag) == "offset" && !parseOffset(tag.substr(7), offset)) {
                error = lineError(number, "'[" + std::string(tag) + "]' is not an offset in milliseconds ([offset:+500])");
                return false;
            }
            return true;
        } else {
            error = lineError(number, "'[" + std::string(tag) + "]' is not a time tag ([mm:ss.xx])");
            return false;
        }
        at = close + 1;
    }
    if (times.empty()) {
        error = lineError(number, "no time tag ([mm:ss.xx]) before the words");
        return false;
    }
    const std::string text = collapseSpaces(withoutMarkup(std::string_view(line).substr(at), isWordTime));
    for (std::int64_t ms : times)
        cues.push_back(LyricCue{ms, text, number});
    return true;
}

}

bool parseLrc(std::string_view text, std::vector<LyricCue>& cues, std::string& error)
{
    cues.clear();
    std::int64_t offset = 0;
    const std::vector<std::string> lines = sourceLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!parseLine(lines[i], int(i + 1), cues, offset, error))
            return false;
    for (LyricCue& cue : cues)
        cue.ms -= offset;
    sortCues(cues);
    return true;
}
