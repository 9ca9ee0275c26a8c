#include "tools/qztool/SheetPainter.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace {

using Surface = std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)>;
using Context = std::unique_ptr<cairo_t, decltype(&cairo_destroy)>;

const char* const FONT = "DejaVu Sans";

struct Rgb {
    double r, g, b;
};
constexpr Rgb PAPER{0.97, 0.97, 0.955};
constexpr Rgb INK{0.12, 0.12, 0.15};
constexpr Rgb FAINT{0.42, 0.42, 0.48};
constexpr Rgb WAVE_BACK{1.0, 1.0, 1.0};
constexpr Rgb BEAT{0.88, 0.88, 0.9};
constexpr Rgb BAR{0.6, 0.6, 0.66};
constexpr Rgb WAVE_PEAK{0.55, 0.7, 0.82};
constexpr Rgb WAVE_LOUDNESS{0.16, 0.38, 0.56};
constexpr Rgb SCENE_FILL[2] = {{0.85, 0.89, 0.95}, {0.74, 0.8, 0.9}};
constexpr Rgb LYRIC_FILL[SheetLayout::LYRIC_LANES] = {{0.97, 0.91, 0.76}, {0.93, 0.85, 0.65}, {0.95, 0.88, 0.7}};

constexpr double SMALL = 11.0;
constexpr double MIN_RULER_STEP_PX = 70.0;
constexpr double MIN_BAR_LABEL_PX = 28.0;

void setColour(cairo_t* cr, const Rgb& colour)
{
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
}

void setFont(cairo_t* cr, double size, bool bold = false)
{
    cairo_select_font_face(cr, FONT, CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

void fillRect(cairo_t* cr, double x, double y, double w, double h, const Rgb& colour)
{
    setColour(cr, colour);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

// A one-pixel vertical line on a whole column.
void columnLine(cairo_t* cr, double x, double top, double bottom, const Rgb& colour)
{
    fillRect(cr, std::floor(x), top, 1.0, bottom - top, colour);
}

double textWidth(cairo_t* cr, const std::string& text)
{
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return extents.x_advance;
}

// Drops the last UTF-8 character.
void dropLastCharacter(std::string& text)
{
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
        text.pop_back();
    if (!text.empty())
        text.pop_back();
}

// text with its baseline at (x, y), cut to maxWidth with an ellipsis; nothing when not
// even a letter fits.
void drawText(cairo_t* cr, std::string text, double x, double y, double maxWidth)
{
    if (textWidth(cr, text) > maxWidth) {
        while (!text.empty() && textWidth(cr, text + "\u2026") > maxWidth)
            dropLastCharacter(text);
        if (text.empty())
            return;
        text += "\u2026";
    }
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, text.c_str());
}

// "m:ss", or "m:ss.s" with tenths.
std::string clockText(double ms, bool tenths)
{
    const long tenthsTotal = std::lround(std::max(ms, 0.0) / 100.0);
    char text[32];
    if (tenths)
        std::snprintf(text, sizeof text, "%ld:%02ld.%ld", tenthsTotal / 600, tenthsTotal / 10 % 60, tenthsTotal % 10);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", tenthsTotal / 600, tenthsTotal / 10 % 60);
    return text;
}

void drawRowName(cairo_t* cr, const SheetRow& row, const char* name)
{
    setFont(cr, SMALL);
    setColour(cr, FAINT);
    drawText(cr, name, 6.0, row.top + row.height / 2 + SMALL / 3, 46.0);
}

void drawTitle(cairo_t* cr, const SheetLayout& layout, const std::vector<std::string>& lines)
{
    double baseline = layout.title.top + 16.0;
    for (std::size_t i = 0; i < lines.size() && baseline < layout.title.bottom(); ++i) {
        setFont(cr, i == 0 ? 16.0 : 12.0, i == 0);
        setColour(cr, i == 0 ? INK : FAINT);
        drawText(cr, lines[i], layout.left, baseline, layout.right - layout.left);
        baseline += 18.0;
    }
}

void drawRuler(cairo_t* cr, const SheetLayout& layout)
{
    static const double STEPS[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 1800, 3600};
    double step = STEPS[std::size(STEPS) - 1];
    for (double seconds : STEPS)
        if (seconds * layout.pixelsPerSecond() >= MIN_RULER_STEP_PX) {
            step = seconds;
            break;
        }
    drawRowName(cr, layout.ruler, "time");
    setFont(cr, SMALL);
    const SheetRow& row = layout.ruler;
    for (double ms = 0.0; ms <= layout.endMs; ms += step * 1000.0) {
        const double x = layout.column(ms);
        columnLine(cr, x, row.bottom() - 6.0, row.bottom(), INK);
        setColour(cr, INK);
        drawText(cr, clockText(ms, false), std::floor(x) + 3.0, row.bottom() - 6.0, MIN_RULER_STEP_PX);
    }
}

void drawBeatGrid(cairo_t* cr, const SheetLayout& layout, const BeatGrid& grid)
{
    const SheetRow& wave = layout.wave;
    fillRect(cr, layout.left, wave.top, layout.right - layout.left, wave.height, WAVE_BACK);
    if (grid.beatMs <= 0.0)
        return;
    for (double ms : grid.beatsUntil(layout.endMs))
        columnLine(cr, layout.column(ms), wave.top, wave.bottom(), BEAT);
    drawRowName(cr, layout.bars, "bar");
    const double barPx = grid.barMs() * layout.pixelsPerSecond() / 1000.0;
    int labelEvery = 1;
    while (labelEvery * barPx < MIN_BAR_LABEL_PX)
        labelEvery *= 2;
    setFont(cr, SMALL);
    for (int bar = 1; grid.barLineMs(bar) <= layout.endMs; ++bar) {
        const double x = layout.column(grid.barLineMs(bar));
        const bool labelled = (bar - 1) % labelEvery == 0;
        columnLine(cr, x, labelled ? layout.bars.top + 2.0 : wave.top, wave.bottom(), BAR);
        if (labelled) {
            setColour(cr, INK);
            drawText(cr, std::to_string(bar), std::floor(x) + 3.0, layout.bars.bottom() - 4.0,
                labelEvery * barPx - 5.0);
        }
    }
}

void drawWaveform(cairo_t* cr, const SheetLayout& layout, const SongAudio& song)
{
    drawRowName(cr, layout.wave, "song");
    if (song.mono.empty() || song.sampleRate <= 0)
        return;
    float peak = 1e-6f;
    for (float sample : song.mono)
        peak = std::max(peak, std::fabs(sample));
    const double middle = layout.wave.top + layout.wave.height / 2;
    const double half = layout.wave.height / 2 - 2.0;
    const double samplesPerPixel = layout.endMs / 1000.0 * song.sampleRate / (layout.right - layout.left);
    for (int x = int(std::ceil(layout.left)); x < int(layout.right); ++x) {
        const std::size_t first = std::size_t((x - layout.left) * samplesPerPixel);
        const std::size_t end = std::min(song.mono.size(), std::size_t((x + 1 - layout.left) * samplesPerPixel) + 1);
        if (first >= end)
            break;
        float low = song.mono[first], high = low;
        double energy = 0.0;
        for (std::size_t i = first; i < end; ++i) {
            low = std::min(low, song.mono[i]);
            high = std::max(high, song.mono[i]);
            energy += double(song.mono[i]) * song.mono[i];
        }
        const double loudness = std::sqrt(energy / double(end - first)) / peak * half;
        fillRect(cr, x, middle - high / peak * half, 1.0, (high - low) / peak * half + 1.0, WAVE_PEAK);
        fillRect(cr, x, middle - loudness, 1.0, 2.0 * loudness + 1.0, WAVE_LOUDNESS);
    }
}

void drawScenes(cairo_t* cr, const SheetLayout& layout, const std::vector<SceneSpan>& scenes)
{
    drawRowName(cr, layout.scenes, "scene");
    const SheetRow& row = layout.scenes;
    for (const SceneSpan& span : scenes) {
        if (!span.seen())
            continue;
        const double x0 = layout.column(span.startMs), x1 = layout.column(span.endMs);
        fillRect(cr, x0, row.top, x1 - x0, row.height, SCENE_FILL[span.scene % 2]);
        setColour(cr, INK);
        setFont(cr, 14.0, true);
        const std::string number = std::to_string(span.scene);
        drawText(cr, number, x0 + 5.0, row.bottom() - 9.0, x1 - x0 - 6.0);
        const double after = 5.0 + textWidth(cr, number) + 4.0;
        setFont(cr, SMALL);
        drawText(cr, clockText(span.startMs, true), x0 + after, row.bottom() - 10.0, x1 - x0 - after - 3.0);
    }
}

void drawLyrics(cairo_t* cr, const SheetLayout& layout, const std::vector<LyricSpan>& lyrics)
{
    drawRowName(cr, layout.lyrics, "words");
    setFont(cr, SMALL);
    const double lane = layout.lyricLaneHeight();
    for (std::size_t i = 0; i < lyrics.size(); ++i) {
        const int laneIndex = int(i % SheetLayout::LYRIC_LANES);
        const double top = layout.lyrics.top + laneIndex * lane;
        const double x0 = layout.column(lyrics[i].startMs), x1 = layout.column(lyrics[i].endMs);
        fillRect(cr, x0, top + 2.0, std::max(1.0, x1 - x0 - 1.0), lane - 4.0, LYRIC_FILL[laneIndex]);
        // The label may run on until the next line of its lane.
        const std::size_t next = i + SheetLayout::LYRIC_LANES;
        const double room = (next < lyrics.size() ? layout.column(lyrics[next].startMs) : layout.right) - x0 - 6.0;
        setColour(cr, INK);
        drawText(cr, lyrics[i].text, x0 + 3.0, top + lane - 6.0, room);
    }
}

Surface stillSurface(const RgbPicture& picture)
{
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture.width, picture.height),
        cairo_surface_destroy);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS
        || picture.rgb.size() < std::size_t(picture.width) * picture.height * 3)
        return surface;
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < picture.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + std::size_t(y) * stride);
        const std::uint8_t* rgb = picture.rgb.data() + std::size_t(y) * picture.width * 3;
        for (int x = 0; x < picture.width; ++x, rgb += 3)
            row[x] = 0xFF000000u | std::uint32_t(rgb[0]) << 16 | std::uint32_t(rgb[1]) << 8 | rgb[2];
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

void drawStill(cairo_t* cr, const SheetLayout& layout, const SceneStill& still, double left)
{
    const double w = layout.thumbWidth, h = layout.thumbHeight, top = layout.stills.top;
    Surface picture = stillSurface(still.picture);
    if (cairo_surface_status(picture.get()) == CAIRO_STATUS_SUCCESS && still.picture.width > 0) {
        cairo_save(cr);
        cairo_rectangle(cr, left, top, w, h);
        cairo_clip(cr);
        cairo_translate(cr, left, top);
        cairo_scale(cr, w / still.picture.width, h / still.picture.height);
        cairo_set_source_surface(cr, picture.get(), 0.0, 0.0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);
    }
    setColour(cr, INK);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, std::floor(left) + 0.5, std::floor(top) + 0.5, std::round(w), std::round(h));
    cairo_stroke(cr);
    setFont(cr, SMALL);
    std::string caption = "scene " + std::to_string(still.scene) + " at " + clockText(still.ms, true);
    if (textWidth(cr, caption) > w)
        caption = std::to_string(still.scene) + " \u00b7 " + clockText(still.ms, true);
    drawText(cr, caption, left + std::max(0.0, (w - textWidth(cr, caption)) / 2), layout.captions.top + 13.0, w);
}

void drawStills(cairo_t* cr, const SheetLayout& layout, const SheetContent& content)
{
    std::vector<double> centres;
    for (const SceneStill& still : content.stills)
        centres.push_back(layout.column(still.ms));
    const std::vector<double> lefts =
        placeSideBySide(centres, layout.thumbWidth, layout.thumbGap, layout.left, layout.right);
    cairo_set_line_width(cr, 1.0);
    for (std::size_t i = 0; i < content.stills.size(); ++i) {
        setColour(cr, FAINT);
        cairo_move_to(cr, centres[i], layout.leaders.top + 1.0);
        cairo_line_to(cr, lefts[i] + layout.thumbWidth / 2, layout.stills.top - 1.0);
        cairo_stroke(cr);
        drawStill(cr, layout, content.stills[i], lefts[i]);
    }
}

// Solid, on whole columns, over everything from the ruler to the lyric lanes.
void drawSceneMarks(cairo_t* cr, const SheetLayout& layout, const std::vector<SceneSpan>& scenes)
{
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_source_rgb(cr, SCENE_MARK[0] / 255.0, SCENE_MARK[1] / 255.0, SCENE_MARK[2] / 255.0);
    for (const SceneSpan& span : scenes)
        if (span.scene > 0)
            cairo_rectangle(cr, sceneMarkColumn(layout, span.startMs), layout.ruler.top, SCENE_MARK_WIDTH,
                layout.lyrics.bottom() - layout.ruler.top);
    cairo_fill(cr);
    cairo_restore(cr);
}

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

}

int sceneMarkColumn(const SheetLayout& layout, double ms)
{
    return int(std::lround(layout.column(ms)));
}

bool paintSheet(const SheetLayout& layout, const SheetContent& content, std::string& png, std::string& error)
{
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, layout.width, layout.height), cairo_surface_destroy);
    Context context(cairo_create(surface.get()), cairo_destroy);
    cairo_t* cr = context.get();
    fillRect(cr, 0.0, 0.0, layout.width, layout.height, PAPER);
    drawTitle(cr, layout, content.titleLines);
    drawRuler(cr, layout);
    if (content.grid)
        drawBeatGrid(cr, layout, *content.grid);
    if (content.song)
        drawWaveform(cr, layout, *content.song);
    drawScenes(cr, layout, content.scenes);
    drawLyrics(cr, layout, content.lyrics);
    drawStills(cr, layout, content);
    drawSceneMarks(cr, layout, content.scenes);
    cairo_surface_flush(surface.get());
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
        error = std::string("cannot draw the sheet: ") + cairo_status_to_string(cairo_status(cr));
        return false;
    }
    png.clear();
    const cairo_status_t written = cairo_surface_write_to_png_stream(surface.get(), appendBytes, &png);
    if (written != CAIRO_STATUS_SUCCESS) {
        error = std::string("cannot encode the sheet as PNG: ") + cairo_status_to_string(written);
        return false;
    }
    return true;
}
