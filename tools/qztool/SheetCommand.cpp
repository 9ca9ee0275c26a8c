// qztool sheet: the whole show on one picture, to check its timing before spending
// minutes on a video: the song's waveform with its beat grid and bar numbers, the scene
// changes, the lyric lines, and a still of each scene drawn by the show itself.
//   sheet [--data DIR] [--size WxH] [--bpm LO-HI] [--downbeat MS] OUT.png
// Standard error: progress, the grid, the time axis's columns and the scene changes
// that miss a bar line. Nothing on standard output.
#include "app/SceneContent.h"
#include "demo/ShowFiles.h"
#include "tools/qztool/Command.h"
#include "tools/qztool/CommandOptions.h"
#include "tools/qztool/GridArguments.h"
#include "tools/qztool/Session.h"
#include "tools/qztool/SheetPainter.h"
#include "tools/qztool/SongAnalysis.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

const char* USAGE =
    "  qztool sheet [--data DIR] [--size WxH] [--bpm LO-HI] [--downbeat MS] OUT.png\n"
    "                                        the show's sync sheet: waveform, beats, scenes, lyrics and stills\n";

constexpr int DEFAULT_WIDTH = 2400;
constexpr int DEFAULT_HEIGHT = 640;
// A scene change further than this from every bar line is pointed out.
constexpr double OFF_BAR_MS = 30.0;

struct SheetRequest {
    std::string dataGiven; // --data, empty: the show's own search
    std::string out;       // absolute
    int width = DEFAULT_WIDTH;
    int height = DEFAULT_HEIGHT;
    BeatGridOptions grid;
};

// "WxH" in whole pixels.
bool parseSize(const std::string& text, int& width, int& height)
{
    const std::size_t x = text.find('x');
    long w = 0, h = 0;
    if (x == std::string::npos || !parseWholeNumber(text.substr(0, x), 1, SheetLayout::MAX_SIDE, w)
        || !parseWholeNumber(text.substr(x + 1), 1, SheetLayout::MAX_SIDE, h))
        return false;
    width = int(w);
    height = int(h);
    return true;
}

// 0, or the usage error's status.
int parseRequest(const std::vector<std::string>& args, SheetRequest& request)
{
    CommandOptions given;
    std::string error;
    if (!splitOptions(args, {"--data", "--size", BPM_OPTION, DOWNBEAT_OPTION}, given, error)
        || !parseGridArguments(given, request.grid, error))
        return qzUsageError(error);
    if (given.positional.size() != 1)
        return qzUsageError("usage: qztool sheet [--data DIR] [--size WxH] [--bpm LO-HI] [--downbeat MS] OUT.png");
    if (given.has("--size") && !parseSize(given.values.at("--size"), request.width, request.height))
        return qzUsageError("--size takes WxH in pixels, such as 2400x640");
    SheetLayout layout;
    if (!makeSheetLayout(request.width, request.height, 1.0, SCENE_COUNT, 4.0 / 3.0, layout, error))
        return qzUsageError("--size " + std::to_string(request.width) + "x" + std::to_string(request.height) + ": " + error);
    request.dataGiven = given.has("--data") ? given.values.at("--data") : "";
    // The show makes its data folder the working directory: fix the output's place first.
    request.out = fs::absolute(given.positional[0]).lexically_normal().string();
    return 0;
}

// A still of every scene that comes on, from the middle of its span. 0, or the failure's status.
int drawStills(ShowStills& show, const std::vector<SceneSpan>& scenes, std::vector<SceneStill>& stills)
{
    std::string error;
    for (const SceneSpan& span : scenes) {
        if (!span.seen())
            continue;
        SceneStill still;
        still.scene = span.scene;
        still.ms = std::floor((span.startMs + span.endMs) / 2);
        std::fprintf(stderr, "sheet: still of scene %d at %.1f s\n", span.scene, still.ms / 1000.0);
        if (!show.still(std::int64_t(still.ms), still.picture, error))
            return qzFailure(error);
        stills.push_back(std::move(still));
    }
    return 0;
}

// Scene changes that miss the grid's bar lines, and scenes that never come on.
void reportScenes(const std::vector<SceneSpan>& scenes, const BeatGrid& grid)
{
    int offBar = 0;
    for (const SceneSpan& span : scenes) {
        if (!span.seen())
            std::fprintf(stderr, "sheet: scene %d never comes on (its change is not after the one before)\n", span.scene);
        if (span.scene == 0 || grid.barMs() <= 0.0)
            continue;
        const int bar = int(std::lround((span.startMs - grid.firstBarMs) / grid.barMs())) + 1;
        const double distance = span.startMs - grid.barLineMs(bar);
        if (std::fabs(distance) > OFF_BAR_MS) {
            ++offBar;
            std::fprintf(stderr, "sheet: scene %d starts %.0f ms %s bar line %d\n", span.scene, std::fabs(distance),
                distance < 0 ? "before" : "after", bar);
        }
    }
    if (offBar == 0 && scenes.size() > 1)
        std::fprintf(stderr, "sheet: every scene change within %.0f ms of a bar line\n", OFF_BAR_MS);
}

std::vector<std::string> titleLines(const std::string& data, const SongAnalysis& song, const SheetContent& content)
{
    const BeatGrid& grid = song.grid;
    char line[512];
    std::snprintf(line, sizeof line,
        "%s: %.1f s, %.2f BPM, bar %.0f ms from %.0f ms, beats within %.1f ms (median) of the grid; "
        "%zu scenes on, %zu lyric lines",
        showfiles::MUSIC, song.audio.seconds(), grid.bpm(), grid.barMs(), grid.firstBarMs, grid.fit.medianMs,
        content.stills.size(), content.lyrics.size());
    return {"Sync sheet of " + data, line};
}

int runSheet(const std::vector<std::string>& args)
{
    SheetRequest request;
    if (int status = parseRequest(args, request))
        return status;
    std::string missing, error;
    const std::string data = ShowSession::findData(request.dataGiven, missing);
    if (data.empty()) {
        std::fprintf(stderr, "%s", missing.c_str());
        return qzFailure("no show data folder (--data DIR names one)");
    }
    if (!fs::is_directory(fs::path(request.out).parent_path()))
        return qzFailure(request.out, "its folder does not exist");

    const std::string songPath = (fs::path(data) / showfiles::MUSIC).string();
    std::fprintf(stderr, "sheet: hearing %s\n", songPath.c_str());
    SongAnalysis song;
    if (!analyseSong(songPath, request.grid, song, error))
        return qzFailure(songPath, error);
    std::fprintf(stderr, "%s", describeGrid(song).c_str());
    std::vector<LyricEntry> entries;
    const std::string lyricsPath = (fs::path(data) / showfiles::LYRICS).string();
    if (!readLyricEntries(lyricsPath.c_str(), entries))
        std::fprintf(stderr, "sheet: %s: cannot open; no lyric lines on the sheet\n", lyricsPath.c_str());

    std::fprintf(stderr, "sheet: loading the show from %s\n", data.c_str());
    ShowStills show;
    ShowLoadReport loaded;
    if (!show.open(data, loaded, error))
        return qzFailure(error);
    if (!loaded.complete())
        std::fprintf(stderr, "sheet: missing or unreadable in %s: %s; the stills show what loaded\n", data.c_str(),
            joinNames(loaded.missing).c_str());

    SheetContent content;
    const std::vector<std::int32_t>& changes = show.show().director().syncTimes();
    const double endMs = sheetEndMs(song.audio.seconds() * 1000.0, changes);
    content.scenes = sceneSpans(changes, SCENE_COUNT, endMs);
    content.lyrics = lyricSpans(entries, endMs);
    if (int status = drawStills(show, content.scenes, content.stills))
        return status;
    show.close();

    SheetLayout layout;
    if (!makeSheetLayout(request.width, request.height, endMs, SCENE_COUNT, 4.0 / 3.0, layout, error))
        return qzFailure(error);
    content.song = &song.audio;
    content.grid = &song.grid;
    content.titleLines = titleLines(data, song, content);
    std::string png;
    if (!paintSheet(layout, content, png, error))
        return qzFailure(request.out, error);
    if (int status = writeOutputFile(request.out, png))
        return status;
    reportScenes(content.scenes, song.grid);
    std::fprintf(stderr, "sheet: %zu scenes on, %zu lyric lines in the band\n", content.stills.size(),
        content.lyrics.size());
    std::fprintf(stderr, "sheet: time 0 ms at column %.1f, %.0f ms at column %.1f (%.1f pixels a second)\n",
        layout.left, layout.endMs, layout.right, layout.pixelsPerSecond());
    std::fprintf(stderr, "sheet: %s written (%dx%d)\n", request.out.c_str(), layout.width, layout.height);
    return 0;
}

const QzCommand sheetCommand("sheet", USAGE, runSheet);

}
