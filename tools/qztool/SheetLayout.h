// Where things go on the sync sheet, in pixels of a picture of a given size: the rows
// from top to bottom (title, time ruler, bar numbers, waveform, scenes, lyric lanes,
// leaders, stills, captions) and the time axis, which maps show milliseconds to columns.
// The waveform takes the height the fixed rows leave. Owns nothing.
#pragma once

#include <string>
#include <vector>

struct SheetRow {
    double top = 0.0;
    double height = 0.0;

    double bottom() const { return top + height; }
};

struct SheetLayout {
    static constexpr int MIN_WIDTH = 800;
    static constexpr int MIN_HEIGHT = 400;
    static constexpr int MAX_SIDE = 16384;
    static constexpr int LYRIC_LANES = 3;

    int width = 0;
    int height = 0;
    double endMs = 1.0;   // the time at the right end of the axis
    double left = 0.0;    // column of 0 ms
    double right = 0.0;   // column of endMs
    SheetRow title, ruler, bars, wave, scenes, lyrics, leaders, stills, captions;
    double thumbWidth = 0.0;
    double thumbHeight = 0.0;
    double thumbGap = 0.0;

    double column(double ms) const { return left + ms * (right - left) / endMs; }
    double pixelsPerSecond() const { return (right - left) * 1000.0 / endMs; }
    double lyricLaneHeight() const { return lyrics.height / LYRIC_LANES; }
};

// The layout for a width x height picture of the time line 0..endMs (> 0) with up to
// stillCount stills of stillAspect (width / height) side by side. False with error set
// when the size is outside MIN..MAX_SIDE or leaves the waveform no room.
bool makeSheetLayout(int width, int height, double endMs, int stillCount, double stillAspect, SheetLayout& layout,
    std::string& error);

// Left edges of boxes of width w, each as near as it can be to centred on its wanted
// centre (ascending), without overlapping (gap apart) and within [low, high].
std::vector<double> placeSideBySide(const std::vector<double>& centres, double w, double gap, double low, double high);
