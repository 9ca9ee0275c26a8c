#include "tools/qztool/LyricCues.h"

#include <algorithm>
#include <cctype>

namespace {

bool allDigits(std::string_view text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::int64_t digitsValue(std::string_view digits)
{
    std::int64_t value = 0;
    for (char c : digits)
        value = std::min<std::int64_t>(value * 10 + (c - '0'), MAX_LYRIC_MS);
    return value;
}

}

bool parseClockTime(std::string_view text, std::int64_t& ms)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return false;
    const std::string_view minutes = text.substr(0, colon);
    std::string_view seconds = text.substr(colon + 1);
    std::string_view fraction;
    if (const std::size_t dot = seconds.find('.'); dot != std::string_view::npos) {
        fraction = seconds.substr(dot + 1);
        seconds = seconds.substr(0, dot);
        if (!allDigits(fraction) || fraction.size() > 3)
            return false;
    }
    if (!allDigits(minutes) || seconds.size() != 2 || !allDigits(seconds) || digitsValue(seconds) >= 60)
        return false;
    std::int64_t fractionMs = digitsValue(fraction);
    for (std::size_t i = fraction.size(); i < 3; ++i)
        fractionMs *= 10;
    ms = std::min(MAX_LYRIC_MS, digitsValue(minutes) * 60000 + digitsValue(seconds) * 1000 + fractionMs);
    return true;
}

std::vector<std::string> sourceLines(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return lines;
}

std::string collapseSpaces(std::string_view text)
{
    std::string out;
    bool space = false;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            space = !out.empty();
            continue;
        }
        if (space)
            out += ' ';
        out += c;
        space = false;
    }
    return out;
}

std::string withoutMarkup(std::string_view text, bool (*isMarkup)(char open, std::string_view tag))
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char open = text[i];
        const std::size_t close = open == '<' || open == '{' ? text.find(open == '<' ? '>' : '}', i) : text.npos;
        if (close != text.npos && isMarkup(open, text.substr(i + 1, close - i - 1))) {
            out += ' ';
            i = close;
            continue;
        }
        out += open;
    }
    return out;
}

void sortCues(std::vector<LyricCue>& cues)
{
    std::stable_sort(cues.begin(), cues.end(), [](const LyricCue& a, const LyricCue& b) { return a.ms < b.ms; });
}

std::string lineError(int line, const std::string& why)
{
    return "line " + std::to_string(line) + ": " + why;
}
