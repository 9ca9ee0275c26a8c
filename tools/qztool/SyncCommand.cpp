// qztool sync: a song's scene change times on its bar lines, as a "Syncro.txt".
//   sync SONG.mp3 [--bpm LO-HI] [--bars-per-scene N] [--first-bar B] [--downbeat MS]
// Standard output: the 13 times (one per line, milliseconds). Standard error: the
// tempo, the bar, the downbeat used and how well the beats fit the grid.
#include "app/Director.h"
#include "tools/qztool/Command.h"
#include "tools/qztool/CommandOptions.h"
#include "tools/qztool/GridArguments.h"
#include "tools/qztool/SongAnalysis.h"
#include "tools/qztool/Session.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const char* USAGE =
    "  qztool sync SONG.mp3 [--bpm LO-HI] [--bars-per-scene N] [--first-bar B] [--downbeat MS]\n"
    "                                        scene change times on the song's bar lines (Syncro.txt)\n";

constexpr long MAX_BARS = 10000;

struct SyncOptions {
    BeatGridOptions grid;
    long barsPerScene = 4;
    long firstBar = 2; // the first scene change: bar lines counted from 1
};

// The options, or a usage error's text.
bool parseSyncOptions(const CommandOptions& given, SyncOptions& options, std::string& error)
{
    if (!parseGridArguments(given, options.grid, error))
        return false;
    if (given.has("--bars-per-scene") && !parseWholeNumber(given.values.at("--bars-per-scene"), 1, MAX_BARS, options.barsPerScene))
        error = "--bars-per-scene takes a whole number of bars from 1";
    else if (given.has("--first-bar") && !parseWholeNumber(given.values.at("--first-bar"), 1, MAX_BARS, options.firstBar))
        error = "--first-bar takes a bar line number from 1 (the song's first bar line)";
    return error.empty();
}

int runSync(const std::vector<std::string>& args)
{
    CommandOptions given;
    SyncOptions options;
    std::string error;
    if (!splitOptions(args, {BPM_OPTION, "--bars-per-scene", "--first-bar", DOWNBEAT_OPTION}, given, error)
        || !parseSyncOptions(given, options, error))
        return qzUsageError(error);
    if (given.positional.size() != 1)
        return qzUsageError("usage: qztool sync SONG.mp3 [--bpm LO-HI] [--bars-per-scene N] [--first-bar B] [--downbeat MS]");
    const std::string& path = given.positional[0];

    SongAnalysis song;
    if (!analyseSong(path, options.grid, song, error))
        return qzFailure(path, error);
    std::string times;
    double last = 0.0;
    for (int change = 0; change < SCENE_COUNT - 1; ++change) {
        last = song.grid.barLineMs(int(options.firstBar + change * options.barsPerScene));
        times += std::to_string(std::max(0L, std::lround(last))) + "\n";
    }
    std::fprintf(stderr, "%sscene changes: every %ld bars from bar %ld\n", describeGrid(song).c_str(),
        options.barsPerScene, options.firstBar);
    if (last > song.audio.seconds() * 1000.0)
        std::fprintf(stderr, "qztool: %s: the last scene change (%.1f s) comes after the song ends (%.1f s)\n",
            path.c_str(), last / 1000.0, song.audio.seconds());
    return writeStandardOutput(times);
}

const QzCommand syncCommand("sync", USAGE, runSync);

}
