// The lyrics file "rap.txt" as the show reads it, and the font's width table.
#include "demo/effects/BitmapFont.h"
#include "demo/effects/LyricsFile.h"
#include "tests/support/BmpWriter.h"
#include "tests/support/MountedDisk.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

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

}
