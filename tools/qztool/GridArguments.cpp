#include "tools/qztool/GridArguments.h"

namespace {

constexpr long MIN_BPM = 20;
constexpr long MAX_BPM = 400;
constexpr long MAX_MS = 24L * 3600 * 1000;

// "LO-HI", whole beats per minute.
bool parseBpmRange(const std::string& text, BeatGridOptions& grid)
{
    const std::size_t dash = text.find('-');
    long low = 0, high = 0;
    if (dash == std::string::npos || !parseWholeNumber(text.substr(0, dash), MIN_BPM, MAX_BPM, low)
        || !parseWholeNumber(text.substr(dash + 1), MIN_BPM, MAX_BPM, high) || low >= high)
        return false;
    grid.minBpm = double(low);
    grid.maxBpm = double(high);
    return true;
}

}

bool parseGridArguments(const CommandOptions& given, BeatGridOptions& grid, std::string& error)
{
    long downbeat = 0;
    if (given.has(BPM_OPTION) && !parseBpmRange(given.values.at(BPM_OPTION), grid))
        error = "--bpm takes LO-HI, whole beats per minute from 20 to 400 (70-180)";
    else if (given.has(DOWNBEAT_OPTION) && !parseWholeNumber(given.values.at(DOWNBEAT_OPTION), 0, MAX_MS, downbeat))
        error = "--downbeat takes the time of a bar's first beat in milliseconds";
    grid.downbeatGiven = given.has(DOWNBEAT_OPTION);
    grid.downbeatMs = double(downbeat);
    return error.empty();
}
