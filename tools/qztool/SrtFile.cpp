#include "tools/qztool/SrtFile.h"

#include "tools/qztool/CommandOptions.h"

#include <algorithm>
#include <cctype>

namespace {

struct TimedCue {
    LyricCue cue;
    std::int64_t endMs = 0;
};

bool blank(const std::string& line)
{
    return line.find_first_not_of(" \t") == std::string::npos;
}

// "H:MM:SS,mmm" or with '.': hours of any width, then minutes below 60 as a clock time.
bool parseStamp(std::string_view text, std::int64_t& ms)
{
    const std::size_t colon = text.find(':');
    long hours = 0;
    if (colon == std::string_view::npos || !parseWholeNumber(std::string(text.substr(0, colon)), 0, 24, hours)
        || !std::isdigit(static_cast<unsigned char>(text[0])))
        return false;
    std::string clock(text.substr(colon + 1));
    std::replace(clock.begin(), clock.end(), ',', '.');
    std::int64_t rest = 0;
    if (clock.find(':') != 2 || !parseClockTime(clock, rest) || rest >= 3600000)
        return false;
    ms = std::min(MAX_LYRIC_MS, hours * 3600000 + rest);
    return true;
}

// "START --> END", anything after END (position settings) ignored.
bool parseTimeLine(const std::string& line, std::int64_t& start, std::int64_t& end)
{
    const std::size_t arrow = line.find("-->");
    if (arrow == std::string::npos)
        return false;
    const std::string_view after = std::string_view(line).substr(arrow + 3);
    const std::size_t from = after.find_first_not_of(" \t");
    const std::string_view endText = from == std::string_view::npos ? std::string_view{} : after.substr(from);
    return parseStamp(collapseSpaces(line.substr(0, arrow)), start)
        && parseStamp(endText.substr(0, endText.find_first_of(" \t")), end);
}

// Formatting tags: "<i>", "</b>", "<font ...>", "{\an8}".
bool isFormatting(char open, std::string_view tag)
{
    return open == '<' || (!tag.empty() && tag[0] == '\\');
}

// One cue from lines[at]: an optional number, the time line, text up to a blank line.
// at moves past the cue.
bool parseCue(const std::vector<std::string>& lines, std::size_t& at, TimedCue& cue, std::string& error)
{
    if (lines[at].find("-->") == std::string::npos && at + 1 < lines.size())
        ++at; // the cue's number
    std::int64_t start = 0, end = 0;
    if (!parseTimeLine(lines[at], start, end)) {
        error = lineError(int(at + 1), "'" + lines[at] + "' is not a time line (00:00:01,000 --> 00:00:04,000)");
        return false;
    }
    if (end < start) {
        error = lineError(int(at + 1), "the cue ends before it starts");
        return false;
    }
    cue = TimedCue{LyricCue{start, {}, int(at + 1)}, end};
    std::string text;
    for (++at; at < lines.size() && !blank(lines[at]); ++at)
        text += lines[at] + " ";
    cue.cue.text = collapseSpaces(withoutMarkup(text, isFormatting));
    return true;
}

}

bool parseSrt(std::string_view text, std::vector<LyricCue>& cues, std::string& error)
{
    cues.clear();
    const std::vector<std::string> lines = sourceLines(text);
    std::vector<TimedCue> timed;
    for (std::size_t at = 0; at < lines.size();) {
        if (blank(lines[at])) {
            ++at;
            continue;
        }
        TimedCue cue;
        if (!parseCue(lines, at, cue, error))
            return false;
        timed.push_back(cue);
    }
    std::stable_sort(timed.begin(), timed.end(), [](const TimedCue& a, const TimedCue& b) { return a.cue.ms < b.cue.ms; });
    for (std::size_t i = 0; i < timed.size(); ++i) {
        cues.push_back(timed[i].cue);
        if (i + 1 == timed.size() || timed[i + 1].cue.ms > timed[i].endMs)
            cues.push_back(LyricCue{timed[i].endMs, {}, timed[i].cue.line});
    }
    return true;
}
