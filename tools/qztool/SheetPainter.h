// Draws the sync sheet with cairo, row by row as SheetLayout places them: the title, a
// time ruler, the bar numbers, the song's waveform over the beat grid (beats light, bar
// lines darker), the scenes as numbered spans, the lyric lines as labelled spans on
// alternating lanes, and each scene's still under its span, joined to it by a leader.
// The scene changes are drawn last, as solid 2-pixel columns of SCENE_MARK from the
// ruler down through the lyric lanes, so they can be found in the picture. It borrows
// everything it draws and returns the PNG's bytes.
#pragma once

#include "tools/qztool/BeatGrid.h"
#include "tools/qztool/SheetLayout.h"
#include "tools/qztool/SheetTimeline.h"
#include "tools/qztool/ShowStills.h"
#include "tools/qztool/SongAudio.h"

#include <cstdint>
#include <string>
#include <vector>

// The scene changes' colour (red, green, blue); nothing else on the sheet is drawn in it.
inline constexpr std::uint8_t SCENE_MARK[3] = {232, 72, 0};
inline constexpr int SCENE_MARK_WIDTH = 2;

struct SceneStill {
    int scene = 0;
    double ms = 0.0; // the show time it shows
    RgbPicture picture;
};

struct SheetContent {
    std::vector<std::string> titleLines; // UTF-8: a heading, then smaller lines
    const SongAudio* song = nullptr;
    const BeatGrid* grid = nullptr;
    std::vector<SceneSpan> scenes;
    std::vector<LyricSpan> lyrics;
    std::vector<SceneStill> stills; // in scene order
};

// Column of a scene change's mark: its 2 pixels start here.
int sceneMarkColumn(const SheetLayout& layout, double ms);

// The sheet as PNG bytes. False with error set when cairo cannot make or encode it.
bool paintSheet(const SheetLayout& layout, const SheetContent& content, std::string& png, std::string& error);
