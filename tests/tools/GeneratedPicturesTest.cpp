// The pictures, particle sprite, bitmap font and lyrics datagen writes, read as the show
// reads them: pictures through the engine's image loader, the sprite also through the
// particles' bitmap loader, glyphs cut from the font by the width table's rule, lyrics as
// words up to a bar word, timed on the lyrics clock that starts with the music.
#include "demo/effects/BitmapFont.h"
#include "demo/effects/LyricsFile.h"
#include "engine/material/DibLoader.h"
#include "engine/material/Image.h"
#include "tests/support/MountedDisk.h"
#include "tests/support/ScratchDir.h"
#include "tests/tools/GeneratedShow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int CELL = 16;
constexpr double BEAT_MS = 60000.0 / 90.0;

using GeneratedPictures = GeneratedShow;

int brightness(const Image& image, std::uint32_t x, std::uint32_t y)
{
    const std::uint8_t* p = image.pixelAt(x, y);
    return std::max({ p[0], p[1], p[2] });
}

// Columns of glyph code's cell in the font picture holding any ink, as [first, last];
// first > last when there is none.
void inkColumns(const BitmapFont& font, std::uint8_t code, int& first, int& last)
{
    const int cellX = CELL * (code % 16), cellY = CELL * (code / 16);
    first = cellX + CELL;
    last = cellX - 1;
    for (int x = cellX; x < cellX + CELL; ++x)
        for (int y = cellY; y < cellY + CELL; ++y)
            if (brightness(font.image(), std::uint32_t(x), std::uint32_t(y)) > 0) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
}

int textWidth(const BitmapFont& font, const std::string& text)
{
    int sum = 0;
    for (unsigned char c : text)
        sum += font.glyph(c).width;
    return sum;
}

TEST_F(GeneratedPictures, PicturesAreDarkWithBrightContentTheBandBlackAndTheSpriteRound)
{
    MountedDisk disk(folder() + "/Data");
    for (const char* name : { "Scene0_Collectif.jpg", "Scene1_Mur.jpg", "Scene2_mare.jpg", "modeling.jpg", "code.jpg",
             "zik.jpg", "duzer.jpg" }) {
        Image image;
        ASSERT_TRUE(image.load(name)) << name;
        EXPECT_EQ(image.width() * 1000 + image.height(), 1024u * 1000 + 768) << name;
        // Added over black: a dark frame with some bright detail.
        double sum = 0, bright = 0;
        for (std::uint32_t y = 0; y < image.height(); ++y)
            for (std::uint32_t x = 0; x < image.width(); ++x) {
                sum += brightness(image, x, y);
                bright += brightness(image, x, y) > 200;
            }
        EXPECT_LT(sum / (1024.0 * 768), 90.0) << name << " is not dark";
        EXPECT_GT(bright / (1024.0 * 768), 0.002) << name << " has no bright content";
    }
    Image band;
    ASSERT_TRUE(band.load("noir.bmp"));
    EXPECT_GT(band.width(), 0u);
    EXPECT_EQ(std::count(band.pixels(), band.pixels() + band.byteSize(), 0), std::ptrdiff_t(band.byteSize()));

    // Round (the same across both axes and the diagonal), a bright middle, black all round
    // its edge so the quad never shows; the particles' loader reads the same pixels (its
    // rows bottom first).
    Image sprite;
    ASSERT_TRUE(sprite.load("Particle.bmp"));
    std::unique_ptr<DibImage> dib = loadDib(file("Particle.bmp").c_str());
    const std::uint32_t size = sprite.width();
    ASSERT_TRUE(dib && sprite.height() == size && dib->width == std::int32_t(size) && dib->height == std::int32_t(size));
    EXPECT_GT(brightness(sprite, size / 2, size / 2), 200);
    for (std::uint32_t y = 0; y < size; ++y) {
        for (std::uint32_t x = 0; x < size; ++x) {
            const int level = brightness(sprite, x, y);
            const bool edge = x == 0 || y == 0 || x == size - 1 || y == size - 1;
            ASSERT_TRUE(level == 0 || !edge) << "edge pixel " << x << ", " << y;
            ASSERT_NEAR(level, brightness(sprite, size - 1 - x, y), 2) << x << ", " << y;
            ASSERT_NEAR(level, brightness(sprite, x, size - 1 - y), 2) << x << ", " << y;
            ASSERT_NEAR(level, brightness(sprite, y, x), 2) << x << ", " << y;
        }
        EXPECT_EQ(0, std::memcmp(sprite.pixelAt(0, y), dib->pixels.get() + (size - 1 - y) * size * 3, size * 3));
    }
}

// Every glyph's ink lies inside the rectangle the show cuts for it, so nothing is lost
// and nothing of a neighbour comes along; letters fill their rectangle but for spacing.
TEST_F(GeneratedPictures, FontGlyphsFillTheRectanglesTheShowCuts)
{
    MountedDisk disk(folder() + "/Data");
    BitmapFont font;
    ASSERT_TRUE(font.load("Verdana256.bmp") && font.hasWidthTable());
    ASSERT_EQ(font.image().width() * font.image().height(), 256u * 256);
    for (int code = 0; code < 256; ++code) {
        const Glyph& glyph = font.glyph(std::uint8_t(code));
        int first, last;
        inkColumns(font, std::uint8_t(code), first, last);
        if (first <= last) {
            EXPECT_GE(first, glyph.srcX) << "glyph " << code << " is cut on the left";
            EXPECT_LT(last, glyph.srcX + glyph.width) << "glyph " << code << " is cut on the right";
        }
    }
    const std::pair<std::uint8_t, bool> cases[] = { { 'A', true }, { 'g', true }, { 'm', true }, { 'l', true },
        { '0', true }, { 0xC9 /* E acute */, true }, { ' ', false }, { '\t', false }, { 0xA0 /* no-break space */, false } };
    for (const auto& [code, ink] : cases) {
        int first, last;
        inkColumns(font, code, first, last);
        EXPECT_EQ(first <= last, ink) << "glyph " << int(code);
        EXPECT_TRUE(!ink || font.glyph(code).width - (last - first + 1) <= 4) << "glyph " << int(code) << " is loose";
    }
    EXPECT_GE(font.glyph(' ').width, 3) << "words would run together";
}

// Lines start on beats after the intro, change every one or two bars, end with an empty
// line before the credits, fit the canvas and cover what the line before left on it.
TEST_F(GeneratedPictures, LyricsFallOnBeatsBetweenIntroAndCreditsAndFitTheCanvas)
{
    MountedDisk disk(folder() + "/Data");
    BitmapFont font;
    ASSERT_TRUE(font.load("Verdana256.bmp") && font.hasWidthTable());
    const std::vector<std::int32_t> sceneStarts = syncTimes();
    ASSERT_EQ(sceneStarts.size(), 13u);
    std::vector<LyricEntry> read;
    ASSERT_TRUE(readLyricEntries(file("rap.txt").c_str(), read));
    // The reader adds an empty entry before the file's and repeats the last one.
    ASSERT_GE(read.size(), 12u);
    const std::vector<LyricEntry> lines(read.begin() + 1, read.end() - 1);
    const std::string spaces(LYRIC_TRAILING_SPACES, ' ');
    EXPECT_GE(lines.front().showTime, sceneStarts[0]) << "words during the intro";
    EXPECT_LT(lines.back().showTime, sceneStarts[9]) << "words during the credits";
    EXPECT_EQ(lines.back().text, spaces) << "the last line stays on screen through the credits";
    int previousInk = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LyricEntry& e = lines[i];
        EXPECT_NEAR(e.showTime, std::round(e.showTime / BEAT_MS) * BEAT_MS, 1.0) << e.text;
        if (i > 0) {
            EXPECT_GE(e.showTime - lines[i - 1].showTime, 4 * BEAT_MS - 1) << e.text;
            EXPECT_LE(e.showTime - lines[i - 1].showTime, 8 * BEAT_MS + 1) << e.text;
        }
        ASSERT_GE(e.text.size(), spaces.size());
        const std::string words = e.text.substr(0, e.text.size() - spaces.size());
        EXPECT_LE(textWidth(font, words), 1024) << e.text;
        EXPECT_GE(textWidth(font, e.text), previousInk) << "letters of the line before stay beside: " << e.text;
        previousInk = textWidth(font, words);
    }
}

}
