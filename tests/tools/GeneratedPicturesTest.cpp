// The pictures, particle sprite, bitmap font and lyrics datagen writes, read as the show
// reads them: pictures through the engine's image loader, the sprite also through the
// particles' bitmap loader, glyphs cut from the font by the width table's rule, lyrics as
// words up to a bar word, timed on the lyrics clock that starts with the music.
#include "engine/material/DibLoader.h"
#include "engine/material/Image.h"
#include "demo/effects/BitmapFont.h"
#include "demo/effects/LyricsFile.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/MountedDisk.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string DATAGEN = VELVET_BUILD_DIR "/datagen";
constexpr int CELL = 16;
constexpr double BEAT_MS = 60000.0 / 90.0;
constexpr double BAR_MS = 4 * BEAT_MS;
constexpr int CANVAS_WIDTH = 1024;
const std::string TRAILING_SPACES(LYRIC_TRAILING_SPACES, ' ');

class GeneratedPictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = dir.file("Data");
        ChildResult r = runChild({DATAGEN, "--no-soundtrack", data});
        ASSERT_EQ(r.exitStatus, 0) << r.err;
    }

    ScratchDir dir;
    std::string data;
};

int brightness(const Image& image, std::uint32_t x, std::uint32_t y)
{
    const std::uint8_t* p = image.pixelAt(x, y);
    return std::max({p[0], p[1], p[2]});
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

bool loadFont(const std::string& data, BitmapFont& font)
{
    MountedDisk disk(data);
    return font.load("Verdana256.bmp") && font.hasWidthTable();
}

TEST_F(GeneratedPictures, PicturesAndSpriteDecodeToTheirSizesDarkWithBrightContent)
{
    struct Case {
        const char* name;
        std::uint32_t width, height;
    };
    const Case pictures[] = {{"Scene0_Collectif.jpg", 1024, 768}, {"Scene1_Mur.jpg", 1024, 768},
        {"Scene2_mare.jpg", 1024, 768}, {"modeling.jpg", 1024, 768}, {"code.jpg", 1024, 768},
        {"zik.jpg", 1024, 768}, {"duzer.jpg", 1024, 768}};
    MountedDisk disk(data);
    for (const Case& c : pictures) {
        Image image;
        ASSERT_TRUE(image.load(c.name)) << c.name;
        EXPECT_EQ(image.width(), c.width) << c.name;
        EXPECT_EQ(image.height(), c.height) << c.name;
        // Added over black: a dark frame with some bright detail.
        double sum = 0;
        int bright = 0;
        for (std::uint32_t y = 0; y < image.height(); ++y)
            for (std::uint32_t x = 0; x < image.width(); ++x) {
                const int level = brightness(image, x, y);
                sum += level;
                bright += level > 200;
            }
        const double pixels = double(image.width()) * image.height();
        EXPECT_LT(sum / pixels, 90.0) << c.name << " is not dark";
        EXPECT_GT(bright / pixels, 0.002) << c.name << " has no bright content";
    }

    Image band;
    ASSERT_TRUE(band.load("noir.bmp"));
    EXPECT_GT(band.width(), 0u);
    for (std::uint32_t i = 0; i < band.byteSize(); ++i)
        ASSERT_EQ(band.pixels()[i], 0) << "the lyrics band is not black";

    // The sprite: round (the same across both axes and the diagonal), a bright middle,
    // black all round its edge so the quad never shows; the particles' loader reads the
    // same pixels (its rows bottom first).
    Image sprite;
    ASSERT_TRUE(sprite.load("Particle.bmp"));
    std::unique_ptr<DibImage> dib = loadDib((data + "/Particle.bmp").c_str());
    ASSERT_NE(dib, nullptr);
    const std::uint32_t size = sprite.width();
    ASSERT_EQ(sprite.height(), size);
    ASSERT_EQ(dib->width, std::int32_t(size));
    ASSERT_EQ(dib->height, std::int32_t(size));
    EXPECT_GT(brightness(sprite, size / 2, size / 2), 200);
    for (std::uint32_t i = 0; i < size; ++i)
        for (auto [x, y] : {std::pair{i, 0u}, {i, size - 1}, {0u, i}, {size - 1, i}})
            EXPECT_EQ(brightness(sprite, x, y), 0) << "edge pixel " << x << ", " << y;
    for (std::uint32_t y = 0; y < size; ++y)
        for (std::uint32_t x = 0; x < size; ++x) {
            const int level = brightness(sprite, x, y);
            ASSERT_NEAR(level, brightness(sprite, size - 1 - x, y), 2) << x << ", " << y;
            ASSERT_NEAR(level, brightness(sprite, x, size - 1 - y), 2) << x << ", " << y;
            ASSERT_NEAR(level, brightness(sprite, y, x), 2) << x << ", " << y;
        }
    for (std::uint32_t y = 0; y < size; ++y)
        EXPECT_EQ(0, std::memcmp(sprite.pixelAt(0, y), dib->pixels.get() + (size - 1 - y) * size * 3, size * 3))
            << "row " << y;
}

// Every glyph's ink lies inside the rectangle the show cuts for it, so nothing is lost
// and nothing of a neighbour comes along; letters fill their rectangle but for spacing.
TEST_F(GeneratedPictures, FontGlyphsFillTheRectanglesTheShowCuts)
{
    BitmapFont font;
    ASSERT_TRUE(loadFont(data, font));
    ASSERT_EQ(font.image().width(), 256u);
    ASSERT_EQ(font.image().height(), 256u);
    for (int code = 0; code < 256; ++code) {
        const Glyph& glyph = font.glyph(std::uint8_t(code));
        int first, last;
        inkColumns(font, std::uint8_t(code), first, last);
        if (first > last)
            continue;
        EXPECT_GE(first, glyph.srcX) << "glyph " << code << " is cut on the left";
        EXPECT_LT(last, glyph.srcX + glyph.width) << "glyph " << code << " is cut on the right";
    }
    struct Case {
        std::uint8_t code;
        bool ink;
    };
    const Case cases[] = {{'A', true}, {'g', true}, {'m', true}, {'l', true}, {'0', true}, {0xC9 /* E acute */, true},
        {' ', false}, {'\t', false}, {0xA0 /* no-break space */, false}};
    for (const Case& c : cases) {
        int first, last;
        inkColumns(font, c.code, first, last);
        EXPECT_EQ(first <= last, c.ink) << "glyph " << int(c.code);
        if (c.ink) {
            EXPECT_LE(font.glyph(c.code).width - (last - first + 1), 4) << "glyph " << int(c.code) << " is loose";
        }
    }
    EXPECT_GE(font.glyph(' ').width, 3) << "words would run together";
}

// Lines start on beats after the intro, change every one or two bars, end with an empty
// line before the credits, fit the canvas and cover what the line before left on it.
TEST_F(GeneratedPictures, LyricsFallOnBeatsBetweenIntroAndCreditsAndFitTheCanvas)
{
    BitmapFont font;
    ASSERT_TRUE(loadFont(data, font));
    std::vector<std::int32_t> sceneStarts;
    std::istringstream sync(readWholeFile(data + "/Syncro.txt"));
    for (std::int32_t t; sync >> t;)
        sceneStarts.push_back(t);
    ASSERT_EQ(sceneStarts.size(), 13u);
    std::vector<LyricEntry> read;
    ASSERT_TRUE(readLyricEntries((data + "/rap.txt").c_str(), read));
    // The reader adds an empty entry before the file's and repeats the last one.
    ASSERT_GE(read.size(), 12u);
    const std::vector<LyricEntry> lines(read.begin() + 1, read.end() - 1);

    EXPECT_GE(lines.front().showTime, sceneStarts[0]) << "words during the intro";
    EXPECT_LT(lines.back().showTime, sceneStarts[9]) << "words during the credits";
    EXPECT_EQ(lines.back().text, TRAILING_SPACES) << "the last line stays on screen through the credits";
    int previousInk = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const LyricEntry& e = lines[i];
        EXPECT_NEAR(e.showTime, std::round(e.showTime / BEAT_MS) * BEAT_MS, 1.0) << e.text;
        if (i > 0) {
            const double gap = e.showTime - lines[i - 1].showTime;
            EXPECT_GE(gap, BAR_MS - 1) << e.text;
            EXPECT_LE(gap, 2 * BAR_MS + 1) << e.text;
        }
        ASSERT_GE(e.text.size(), TRAILING_SPACES.size());
        const std::string words = e.text.substr(0, e.text.size() - TRAILING_SPACES.size());
        EXPECT_LE(textWidth(font, words), CANVAS_WIDTH) << e.text;
        EXPECT_GE(textWidth(font, e.text), previousInk) << "letters of the line before stay beside: " << e.text;
        previousInk = textWidth(font, words);
    }
}

}
