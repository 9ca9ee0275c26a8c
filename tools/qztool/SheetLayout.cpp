#include "tools/qztool/SheetLayout.h"

#include <algorithm>

namespace {

constexpr double MARGIN = 12.0;
constexpr double LEFT_MARGIN = 56.0; // room for the rows' names
constexpr double TITLE = 44.0;
constexpr double RULER = 20.0;
constexpr double BARS = 16.0;
constexpr double SCENES = 30.0;
constexpr double LYRIC_LANE = 20.0;
constexpr double LEADERS = 18.0;
constexpr double CAPTIONS = 18.0;
constexpr double THUMB_GAP = 8.0;
constexpr double MAX_THUMB_WIDTH = 240.0;
constexpr double MIN_WAVE = 48.0;

// Lays rows one under the other from top.
SheetRow nextRow(double& top, double height)
{
    SheetRow row{top, height};
    top += height;
    return row;
}

}

bool makeSheetLayout(int width, int height, double endMs, int stillCount, double stillAspect, SheetLayout& layout,
    std::string& error)
{
    if (width < SheetLayout::MIN_WIDTH || height < SheetLayout::MIN_HEIGHT || width > SheetLayout::MAX_SIDE
        || height > SheetLayout::MAX_SIDE) {
        error = "the sheet's size must be from 800x400 to 16384x16384 pixels";
        return false;
    }
    layout = SheetLayout{};
    layout.width = width;
    layout.height = height;
    layout.endMs = std::max(endMs, 1.0);
    layout.left = LEFT_MARGIN;
    layout.right = width - MARGIN;
    const int count = std::max(stillCount, 1);
    layout.thumbGap = THUMB_GAP;
    layout.thumbWidth = std::min(MAX_THUMB_WIDTH, (layout.right - layout.left - (count - 1) * THUMB_GAP) / count);
    layout.thumbHeight = layout.thumbWidth / std::max(stillAspect, 0.1);

    const double fixed = 2 * MARGIN + TITLE + RULER + BARS + SCENES + SheetLayout::LYRIC_LANES * LYRIC_LANE + LEADERS
        + layout.thumbHeight + CAPTIONS;
    const double wave = height - fixed;
    if (wave < MIN_WAVE) {
        error = "the sheet is too low for its width: the stills leave the waveform no room (try a greater height)";
        return false;
    }
    double top = MARGIN;
    layout.title = nextRow(top, TITLE);
    layout.ruler = nextRow(top, RULER);
    layout.bars = nextRow(top, BARS);
    layout.wave = nextRow(top, wave);
    layout.scenes = nextRow(top, SCENES);
    layout.lyrics = nextRow(top, SheetLayout::LYRIC_LANES * LYRIC_LANE);
    layout.leaders = nextRow(top, LEADERS);
    layout.stills = nextRow(top, layout.thumbHeight);
    layout.captions = nextRow(top, CAPTIONS);
    return true;
}

std::vector<double> placeSideBySide(const std::vector<double>& centres, double w, double gap, double low, double high)
{
    std::vector<double> lefts;
    for (double centre : centres)
        lefts.push_back(centre - w / 2);
    // Pushed right past their left neighbours, then left inside the right end.
    for (std::size_t i = 0; i < lefts.size(); ++i)
        lefts[i] = std::max(lefts[i], i == 0 ? low : lefts[i - 1] + w + gap);
    for (std::size_t i = lefts.size(); i-- > 0;)
        lefts[i] = std::min(lefts[i], i + 1 == lefts.size() ? high - w : lefts[i + 1] - w - gap);
    return lefts;
}
