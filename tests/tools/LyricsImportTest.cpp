// qztool lyrics on the LRC and SRT variants players and subtitle editors write: each row
// a small file and the rap.txt it must give, or the line a malformed file is refused at.
#include "tests/support/ImageFiles.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <string>

TEST(LyricsImport, LrcAndSrtVariantsGiveTheShowsLinesAndMalformedFilesNameTheirLine)
{
    struct Row {
        const char* name;
        std::string file;
        std::string out; // rap.txt; empty for a refused file
        const char* err; // a part of standard error
    };
    const Row rows[] = {
        {"tags.lrc", "[ti:Night]\n[ar:Us]\n[00:12.30]two digits\n[1:02.345]one-digit minutes, ms\n", "12300 two digits |\n62345 one-digit minutes, ms |\n", ""},
        {"several.lrc", "[00:20.00][00:05.00]again\n[00:10.00]\n", "5000 again |\n10000 |\n20000 again |\n", ""},
        {"offset.lrc", "[00:05.00]early\n[offset:+1500]\n[00:01.00]<00:01.00>word <00:01.50>times\n", "0 word times |\n3500 early |\n", ""},
        {"late.lrc", "[offset:-250]\n[00:01.00]later\n", "1250 later |\n", ""},
        {"bad-tag.lrc", "[ar:x]\n\n[00:61.00]sixty-one seconds\n", "", "bad-tag.lrc: line 3: '[00:61.00]'"},
        {"no-tag.lrc", "[00:01.00]fine\nno time\n", "", "no-tag.lrc: line 2: no time tag"},
        {"open.lrc", "[00:01.00 open\n", "", "open.lrc: line 1: '[' without ']'"},
        {"letters.lrc", "[0a:01.00]x\n", "", "letters.lrc: line 1: '[0a:01.00]'"},
        {"crlf.srt", "\xEF\xBB\xBF" "1\r\n00:00:01,500 --> 00:00:03,000\r\n<i>Two</i> lines\r\n{\\an8}joined\r\n\r\n"
                     "2\r\n00:00:02.900 --> 00:00:04.000 X1:0\r\n<font color=\"red\">overlap</font>\r\n\r\n",
            "1500 Two lines joined |\n2900 overlap |\n4000 |\n", ""},
        {"gap.srt", "7\n00:00:05,000 --> 00:00:06,000\nthen\n\n3\n00:00:01,000 --> 00:00:02,000\nfirst\n\n"
                    "8\n00:00:06,000 --> 00:00:07,000\ntouching\n\n9\n00:00:09,000 --> 00:00:10,000\n",
            "1000 first |\n2000 |\n5000 then |\n6000 touching |\n7000 |\n9000 |\n10000 |\n", ""},
        {"arrow.srt", "1\n00:00:01,000 --> 00:00:02,000\nok\n\n2\n00:00:03,000 -> 00:00:04,000\nx\n", "", "arrow.srt: line 6: '00:00:03,000 -> 00:00:04,000'"},
        {"backwards.srt", "1\n00:00:05,000 --> 00:00:04,000\nx\n", "", "backwards.srt: line 2: the cue ends before it starts"},
        {"latin.lrc", "[00:01.00]\xE2\x80\x9C" "caf\xC3\xA9\xE2\x80\x9D \xE2\x80\x94 \xE6\x97\xA5 |bar\n",
            "1000 \"caf\xE9\" - ? \xA6" "bar |\n", "4 characters outside Latin-1 replaced in the lines written (the first on line 1)"},
        {"wide.lrc", "[00:01.00]" + std::string(63, 'm') + "\n[00:02.00]" + std::string(65, 'm') + "\n",
            "1000 " + std::string(63, 'm') + " |\n2000 " + std::string(65, 'm') + " |\n", "line 2: 1040 pixels wide"},
    };
    ScratchDir dir;
    // A font of 16-pixel glyphs: the band holds 64 of them.
    dir.write("font.bmp", solidBmp(256, 256, 0, 0, 0));
    const std::string font = dir.write("font.qzf", std::string(256, char(15)));
    for (const Row& row : rows) {
        ChildResult r = runBuilt("qztool", {"lyrics", dir.write(row.name, row.file), "--font", dir.file("font.bmp")});
        EXPECT_EQ(r.exitStatus, row.out.empty() ? 1 : 0) << row.name << "\n" << r.err;
        EXPECT_EQ(r.out, row.out) << row.name;
        EXPECT_NE(r.err.find(row.err), std::string::npos) << row.name << "\n" << r.err;
        // Only wide.lrc's second line is too wide: its first, 1008 pixels, fits.
        EXPECT_EQ(r.err.find("line 1: 1"), std::string::npos) << row.name << "\n" << r.err;
    }
}
