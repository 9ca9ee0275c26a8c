// The lyrics file "rap.txt" as the show reads it, the font's width table, and what a
// viewer sees of the bands and the text strip.
#include "demo/effects/BitmapFont.h"
#include "demo/effects/LyricsFile.h"
#include "demo/effects/LyricsText.h"
#include "platform/TimeSource.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/MountedDisk.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

// Entries are "time words... |"; the last is repeated, words are cut to 39 characters and
// a line's words to what the text strip holds, then padded with the trailing spaces.
TEST(LyricsFile, EntriesAreBarTerminatedLinesWithTheLastRepeatedAndLongTextCut)
{
    const std::string SPACES(LYRIC_TRAILING_SPACES, ' '), longWord(50, 'w');
    std::string longLine;
    for (int i = 0; i < 30; ++i)
        longLine += "abcdefgh ";
    const struct {
        std::string file;
        std::vector<std::string> expected; // "time:text" after the leading empty entry "0:"
    } cases[] = {
        {"0 hello night |\n5000 orbit |\n\n", {"0:hello night " + SPACES, "5000:orbit " + SPACES, "5000:orbit " + SPACES}},
        {"12 " + longWord + " |", {"12:" + longWord.substr(0, 39) + " " + SPACES, "12:" + longWord.substr(0, 39) + " " + SPACES}},
        {"7 " + longLine + "|", {"7:" + longLine.substr(0, 164) + SPACES, "7:" + longLine.substr(0, 164) + SPACES}},
        {"soon a |\n34 b c", {"0:a " + SPACES, "34:b c " + SPACES, "34:b c " + SPACES}},
        {"99999999999 x |", {"2147483647:x " + SPACES, "2147483647:x " + SPACES}},
        {"", {"0:"}},
    };
    ScratchDir dir;
    for (const auto& c : cases) {
        std::vector<LyricEntry> entries;
        ASSERT_TRUE(readLyricEntries(dir.write("rap.txt", c.file).c_str(), entries)) << c.file;
        std::vector<std::string> texts;
        for (const LyricEntry& e : entries)
            texts.push_back(std::to_string(e.showTime) + ":" + e.text);
        EXPECT_EQ(texts, ([&] { auto all = c.expected; return all.insert(all.begin(), "0:"), all; }())) << c.file;
    }
    std::vector<LyricEntry> entries(1);
    EXPECT_TRUE(!readLyricEntries(dir.file("missing.txt").c_str(), entries) && entries.empty());
}

TEST(BitmapFont, AWidthTableShorterThan256BytesLeavesTheGlyphsFixedWidth)
{
    for (auto [tableSize, width] : {std::pair{-1, 16}, {255, 16}, {256, 4}, {300, 4}}) {
        ScratchDir dir;
        MountedDisk disk(dir.path());
        dir.write("font.bmp", solidBmp(256, 256, 200, 200, 200));
        if (tableSize >= 0)
            dir.write("font.qzf", std::string(std::size_t(tableSize), char(3)));
        BitmapFont font;
        ASSERT_TRUE(font.load("font.bmp"));
        EXPECT_EQ(font.glyph('A').width, width) << tableSize;
    }
}

// A 256 x 256 font of 16 x 16 cells: every pixel of glyph c's cell at cell column k is
// (c, 16k + 8, 200) in the cell's top half, (c, 16k + 8, 100) in its bottom half; the
// space's cell is black.
std::string fixtureFontBmp()
{
    std::vector<std::vector<std::uint32_t>> rows(256, std::vector<std::uint32_t>(256));
    for (std::uint32_t y = 0; y < 256; ++y)
        for (std::uint32_t x = 0; x < 256; ++x) {
            const std::uint32_t code = (y / 16) * 16 + x / 16;
            rows[y][x] = code == ' ' ? 0 : (code << 16) | ((x % 16 * 16 + 8) << 8) | (y % 16 < 8 ? 200 : 100);
        }
    BmpLayout layout;
    layout.width = layout.height = 256;
    layout.pixelData = bmpRows24(rows, true);
    return makeBmp(layout);
}

TEST(LyricsPixels, BandsAre106PixelsAndTheStripShowsTheLinesGlyphColumns)
{
    GLTestContext gl(1084, 768); // the design's height: bands and strip at their design size
    if (!gl.ok())
        GTEST_SKIP() << "no GL context";
    ScratchDir dir;
    MountedDisk disk(dir.path());
    dir.write("noir.bmp", solidBmp(8, 8, 0, 0, 0));
    dir.write("font.bmp", fixtureFontBmp());
    std::string widths(256, char(7)); // 8 wide, but 'A' 4, 'B' 16, 'C' 1
    widths['A'] = 3, widths['B'] = 15, widths['C'] = 0, widths[' '] = 0;
    dir.write("font.qzf", widths);
    dir.write("rap.txt", "0 ABCBB |\n5000 CA |\n");
    const struct {
        std::int32_t ms;
        std::vector<std::tuple<char, int, int>> runs; // glyph, first cell column copied, width
    } frames[] = {
        {1, {{'A', 6, 4}, {'B', 0, 16}, {'C', 7, 1}, {'B', 0, 16}, {'B', 0, 16}}},
        {5001, {{'C', 7, 1}, {'A', 6, 4}}}, // no trace of the longer line before
    };
    platform::useVirtualClock(0);
    RenderDevice& device = gl.device();
    FontRegistry fonts;
    LyricsText lyrics;
    lyrics.startClock();
    lyrics.init(device, fonts, "rap.txt", "font.bmp", "noir.bmp");
    const int w = gl.width(), h = gl.height();
    std::int32_t now = 0;
    for (const auto& frame : frames) {
        platform::advanceVirtualClockBy(std::int64_t(frame.ms - now) * 1000000);
        now = frame.ms;
        device.setClearColor(0.2f, 0.4f, 0.8f), device.clearAll();
        device.beginFrame();
        device.setLighting(true); // as a scene may leave it, behind the device's cache
        device.setBlending(true); // the letterbox stays opaque: the show clips the scene to it
        lyrics.draw(device);
        for (int x : {0, 10, w / 2, w - 1}) {
            for (int y : {0, 105, h - 106, h - 1})
                EXPECT_TRUE(nearColour(gl.pixel(x, y), 0, 0, 0)) << x << "," << y;
            for (int y : {106, h - 107})
                EXPECT_TRUE(nearColour(gl.pixel(x, y), 51, 102, 204)) << x << "," << y;
        }
        // Rows in the top and the bottom half of the strip: the glyphs stand upright.
        int x = 0;
        for (auto [code, firstColumn, width] : frame.runs)
            for (int k = 0; k < width; ++k, ++x)
                for (auto [y, blue] : {std::pair{h - 80, 200}, {h - 40, 100}})
                    EXPECT_TRUE(nearColour(gl.pixel(30 + x, y), code, (firstColumn + k) * 16 + 8, blue))
                        << frame.ms << " canvas column " << x << " row " << y;
        for (; x < 80; ++x)
            EXPECT_TRUE(nearColour(gl.pixel(30 + x, h - 58), 0, 0, 0)) << frame.ms << " canvas column " << x;
    }
    LyricsText silent; // no lyrics: a black strip, never the new texture's green
    silent.init(device, fonts, "missing.txt", "font.bmp", "noir.bmp");
    silent.draw(device);
    EXPECT_TRUE(nearColour(gl.pixel(w / 2, h - 58), 0, 0, 0));
    // Told the band rows hold black already, the black bands are left out (the rows keep
    // this clear's blue, which the show never leaves there).
    device.clearAll();
    lyrics.draw(device, true);
    EXPECT_TRUE(nearColour(gl.pixel(0, 0), 51, 102, 204) && nearColour(gl.pixel(w - 1, h - 1), 51, 102, 204));
    platform::useRealClock();
}

}
