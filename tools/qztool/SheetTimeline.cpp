#include "tools/qztool/SheetTimeline.h"

#include <algorithm>

namespace {

// When each of a list of switch times takes effect: never before an earlier one of the
// list, never before 0.
std::vector<double> effectiveTimes(const std::vector<double>& times)
{
    std::vector<double> effective;
    double latest = 0.0;
    for (double time : times) {
        latest = std::max(latest, time);
        effective.push_back(latest);
    }
    return effective;
}

std::string withoutTrailingSpaces(const std::string& text)
{
    const std::size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

}

double sheetEndMs(double songMs, const std::vector<std::int32_t>& syncTimes)
{
    double lastChange = 0.0;
    for (std::int32_t time : syncTimes)
        lastChange = std::max(lastChange, double(time));
    return std::max(songMs, lastChange + SHEET_TAIL_MS);
}

std::vector<SceneSpan> sceneSpans(const std::vector<std::int32_t>& syncTimes, int sceneCount, double endMs)
{
    std::vector<double> changes;
    for (std::size_t k = 0; k < syncTimes.size() && int(k) + 1 < sceneCount; ++k)
        changes.push_back(double(syncTimes[k]));
    changes = effectiveTimes(changes);
    std::vector<SceneSpan> spans;
    for (std::size_t scene = 0; scene <= changes.size() && sceneCount > 0; ++scene) {
        SceneSpan span;
        span.scene = int(scene);
        span.startMs = scene == 0 ? 0.0 : changes[scene - 1];
        span.endMs = scene < changes.size() ? changes[scene] : std::max(endMs, span.startMs);
        spans.push_back(span);
    }
    return spans;
}

std::vector<LyricSpan> lyricSpans(const std::vector<LyricEntry>& entries, double endMs)
{
    // The last entry is the reader's repeat of the line before it.
    const std::size_t lines = entries.size() < 2 ? entries.size() : entries.size() - 1;
    std::vector<double> times;
    for (std::size_t i = 0; i < lines; ++i)
        times.push_back(double(entries[i].showTime));
    times = effectiveTimes(times);
    std::vector<LyricSpan> spans;
    for (std::size_t i = 0; i < lines; ++i) {
        LyricSpan span;
        span.startMs = times[i];
        span.endMs = i + 1 < lines ? times[i + 1] : std::max(endMs, span.startMs);
        span.text = latin1ToUtf8(withoutTrailingSpaces(entries[i].text));
        if (!span.text.empty() && span.endMs > span.startMs)
            spans.push_back(std::move(span));
    }
    return spans;
}

std::string latin1ToUtf8(std::string_view text)
{
    std::string utf8;
    for (char c : text) {
        const unsigned char code = static_cast<unsigned char>(c);
        if (code < 0x80) {
            utf8 += c;
        } else {
            utf8 += char(0xC0 | (code >> 6));
            utf8 += char(0x80 | (code & 0x3F));
        }
    }
    return utf8;
}
