// LyricsText: the song's words as subtitles. A black band across the top and the bottom
// of the show's frame and, inside the bottom band, the current line of "rap.txt", composed on a
// 1024 x 16 TextCanvas with a BitmapFont and stretched over a strip with 30-pixel
// margins. Lines change when the lyrics stopwatch passes their start times; the index
// only moves forward. It owns its entries and canvas and holds the bands' and canvas'
// entries in the render device's texture table until release or the next init; the font
// belongs to the registry it was found in. The destructor makes no device call: release
// before the device is detached.
#pragma once

#include "demo/effects/LyricsFile.h"
#include "demo/effects/TextCanvas.h"
#include "engine/core/Stopwatch.h"

#include <cstdint>
#include <vector>

class BitmapFont;
class FontRegistry;
class RenderDevice;

class LyricsText {
public:
    static constexpr int CANVAS_WIDTH = 1024;
    static constexpr int CANVAS_HEIGHT = 16;
    // Pixels of the 1024 x 768 design, scaled with the viewport's height when drawn.
    static constexpr int BAND_HEIGHT = 106;  // top and bottom
    static constexpr int STRIP_MARGIN = 30;  // left, right and below the strip
    static constexpr int STRIP_TOP = 86;     // strip top, above the viewport's bottom
    // Each band's height in rows for a viewport of that height: the one measure of the
    // bands, for the overlay and for the scene's box between them.
    static float bandHeight(int viewportHeight);

    LyricsText() = default;
    LyricsText(const LyricsText&) = delete;
    LyricsText& operator=(const LyricsText&) = delete;

    // Starts the lyrics stopwatch (the show does so right after the music starts).
    void startClock();
    // Gives back what an earlier init took, then finds or loads the font in fonts (which
    // must outlive the lyrics), makes the canvas and its texture in device's table, loads
    // the bands' picture bandFile as a texture and reads the lyrics. A lyrics file that
    // does not open prints "Erreur de chargement du fichier  : <name>" and leaves no
    // entries.
    void init(RenderDevice& device, FontRegistry& fonts, const char* lyricsFile, const char* fontFile,
        const char* bandFile);
    // Gives the bands' and the canvas' table entries back.
    void release();
    // Moves the entry index past every entry whose time the stopwatch has passed,
    // printing "tailleText : <length>" for each entry reached. No GL: seeking calls it
    // alone to reach the state a played show reaches.
    void advance();
    // Back to the first entry with the stopwatch restarted now: the lyrics replay from
    // the show's start.
    void rewind();
    // Once per frame, after the scene: advance; when the shown line changed, compose it
    // on the cleared canvas and upload it; then draw the two bands and the text strip
    // over the viewport, in design pixels scaled to its height. Leaves lighting on,
    // blending off, culling off and the blend factors (one, one).
    // bandRowsBlack: the rows outside the scene's box hold black (the frame was cleared
    // so and nothing drew there); bands of an all-black picture over whole rows are then
    // left out, as they would change nothing.
    void draw(RenderDevice& device, bool bandRowsBlack = false);

    // The line draw shows: entries[current - 1], entries[0] before the first entry is
    // reached; empty without entries.
    const char* shownText() const;
    int current() const { return current_; }
    const std::vector<LyricEntry>& entries() const { return entries_; }
    int fontIndex() const { return fontIndex_; }
    // The font in use; null when none loaded.
    const BitmapFont* font() const;
    const TextCanvas& canvas() const { return canvas_; }
    int backgroundTexture() const { return backgroundTexture_; }
    // Whether init decoded the bands' picture.
    bool bandsLoaded() const { return bandsLoaded_; }

private:
    // Index of the entry draw shows; -1 without entries.
    int shownEntry() const;

    Stopwatch clock_;
    std::vector<LyricEntry> entries_;
    FontRegistry* fonts_ = nullptr;
    int fontIndex_ = -1;
    RenderDevice* device_ = nullptr; // the holder of backgroundTexture_
    int backgroundTexture_ = -1;
    bool bandsLoaded_ = false;
    bool bandsBlack_ = false;
    TextCanvas canvas_;
    int current_ = 0;
    // The entry last composed and uploaded; NOT_DRAWN before the first upload.
    static constexpr int NOT_DRAWN = -2;
    int drawnEntry_ = NOT_DRAWN;
};
