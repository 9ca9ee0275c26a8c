// qztool sync, lyrics --snap and sheet. Sync on the generated show's soundtrack (90 BPM,
// its bar lines known from datagen) and on a song synthesised here at 128 BPM at another
// sample rate, with a lead-in of 300 ms and a soft start: hats and a pad, a snare fading
// in from bar 3, the kick (louder on the bar's first beat) only from bar 5. The sheet: on
// the generated show a PNG of the asked size whose scene-change marks stand at the
// columns the scene times give; on a small show the scene times and lyric lines as the
// show runs through them; and the ways it refuses to start.
#include "tests/support/ChildProcess.h"
#include "tests/support/Netpbm.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/StandInShow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The number that starts each line (a time of Syncro.txt or rap.txt).
std::vector<double> numbers(const std::string& text)
{
    std::istringstream in(text);
    std::vector<double> values;
    for (std::string line; std::getline(in, line);)
        values.push_back(std::atof(line.c_str()));
    return values;
}

// qztool sync with args must find bpm (within 0.5 %) and print 13 scene changes, every
// barsPerScene bars from firstMs (within 30 ms); returns them.
std::vector<double> expectSync(const std::vector<std::string>& args, double bpm, double firstMs, int barsPerScene)
{
    const ChildResult sync = runBuilt("qztool", args);
    EXPECT_EQ(sync.exitStatus, 0) << sync.err;
    const std::size_t tempo = sync.err.find("tempo: ");
    EXPECT_NEAR(tempo == std::string::npos ? 0.0 : std::stod(sync.err.substr(tempo + 7)), bpm, bpm / 200) << sync.err;
    const std::vector<double> times = numbers(sync.out);
    EXPECT_EQ(times.size(), 13u) << sync.out;
    for (std::size_t k = 0; k < times.size(); ++k)
        EXPECT_NEAR(times[k], firstMs + k * barsPerScene * 240000.0 / bpm, 30.0) << "scene change " << k;
    return times;
}

// The marks' colour, drawn nowhere else on the sheet.
constexpr std::uint8_t MARK[3] = {232, 72, 0};

// First columns of the runs of columns that are mostly mark colour over a quarter of the height.
std::vector<int> markColumns(const NetpbmPicture& sheet)
{
    std::vector<int> starts;
    bool inRun = false;
    for (std::uint32_t x = 0; x < sheet.width; ++x) {
        std::uint32_t marked = 0;
        for (std::uint32_t y = 0; y < sheet.height; ++y) {
            const std::uint8_t* p = &sheet.samples[(std::size_t(y) * sheet.width + x) * 3];
            marked += p[0] == MARK[0] && p[1] == MARK[1] && p[2] == MARK[2];
        }
        const bool mark = marked > sheet.height / 4;
        if (mark && !inRun)
            starts.push_back(int(x));
        inRun = mark;
    }
    return starts;
}

struct SheetRun {
    ChildResult run;
    NetpbmPicture sheet;
    std::vector<int> expectedMarks; // the columns of the times given
};

// qztool sheet on a show folder, 1600x560, read back; the marks expected at changeMs.
SheetRun drawSheet(const ScratchDir& dir, const std::string& data, const std::vector<double>& changeMs)
{
    SheetRun result;
    result.run = runBuilt("qztool", { "sheet", "--data", data, "--size", "1600x560", dir.file("sheet.png") });
    double left = 0, endMs = 1, right = 0;
    const std::size_t axis = result.run.err.find("time 0 ms at column ");
    if (result.run.exitStatus != 0 || axis == std::string::npos
        || std::sscanf(result.run.err.c_str() + axis, "time 0 ms at column %lf, %lf ms at column %lf", &left, &endMs, &right) != 3
        || !parseNetpbm(captureCommand("convert " + shellQuote(dir.file("sheet.png")) + " -depth 8 ppm:-"), result.sheet))
        ADD_FAILURE() << result.run.err;
    for (double ms : changeMs)
        result.expectedMarks.push_back(int(std::lround(left + ms * (right - left) / endMs)));
    return result;
}

void expectMarksAt(const SheetRun& drawn)
{
    const std::vector<int> marks = markColumns(drawn.sheet);
    ASSERT_EQ(marks.size(), drawn.expectedMarks.size()) << drawn.run.err;
    for (std::size_t k = 0; k < marks.size(); ++k)
        EXPECT_NEAR(marks[k], drawn.expectedMarks[k], 1) << "scene change " << k;
}

// u: seconds since the lead-in; a beat is 0.46875 s, a bar 1.875 s.
const char* const SONG = "aevalsrc='st(0,t-0.3);st(1,mod(ld(0),0.9375));st(2,mod(ld(0)-0.46875,0.9375));"
    "st(3,mod(ld(0),0.234375));gte(ld(0),0)*(gte(ld(0),7.5)*(0.5+0.4*lt(mod(ld(0),1.875),0.9375))"
    "*sin(2*PI*(50*ld(1)+1.8*(1-exp(-ld(1)/0.03))))*exp(-ld(1)/0.25)"
    "+gte(ld(0),4.2)*0.1*min(4,floor(ld(0)/1.875))*(2*random(4)-1)*exp(-ld(2)/0.08)"
    "+(0.08+0.07*lt(mod(ld(0),0.46875),0.234375))*(2*random(5)-1)*exp(-ld(3)/0.02))+0.1*sin(2*PI*220*t)':s=48000:d=50";

}

// One generated show for both commands: sync finds the soundtrack's 90 BPM and puts
// bars 3, 8, ... 63 (counted from 1) on datagen's bar lines, the first and last of them
// scene changes of its Syncro.txt; the sheet marks those changes at their columns.
TEST(SongSync, OnTheGeneratedShowSyncFindsItsBarLinesAndTheSheetMarksItsSceneChanges)
{
    ScratchDir dir;
    ASSERT_EQ(runBuilt("datagen", { dir.file("Data") }).exitStatus, 0);
    const std::vector<double> changes = numbers(readWholeFile(dir.file("Data/Syncro.txt")));
    const std::vector<double> times = expectSync({ "sync", dir.file("Data/rap2.mp3"), "--first-bar", "3",
        "--bars-per-scene", "5" }, 90.0, 2 * 240000.0 / 90.0, 5);
    ASSERT_EQ(times.size(), 13u);
    EXPECT_TRUE(std::abs(times[0] - changes.at(0)) < 30.0 && std::abs(times[12] - changes.at(11)) < 30.0);

    const SheetRun drawn = drawSheet(dir, dir.file("Data"), changes);
    EXPECT_TRUE(drawn.run.out.empty());
    EXPECT_TRUE(drawn.sheet.width == 1600u && drawn.sheet.height == 560u);
    expectMarksAt(drawn);
    EXPECT_NE(drawn.run.err.find("every scene change within 30 ms of a bar line"), std::string::npos);
    EXPECT_NE(drawn.run.err.find("14 scenes on, 35 lyric lines in the band"), std::string::npos);
}

// A scene time before the one before it, one beyond the last scene, changes off the bar
// lines; lyric lines that clear the band or are replaced at once ("two") put nothing in it.
TEST(SyncSheet, FollowsTheScenesAndLyricsAsTheShowRunsThroughThem)
{
    ScratchDir dir;
    std::string error;
    ASSERT_TRUE(writeStandInShow(dir.file("Data"), error)) << error;
    // 120 beats a minute, the first beat of every bar louder, bar lines every 2 s from 0.
    ASSERT_EQ(runCommand("ffmpeg -v error -y -f lavfi -i \"aevalsrc='sin(2*PI*(55*t+2*(1-exp(-mod(t,0.5)/0.03))))"
                  "*exp(-mod(t,0.5)/0.12)*(0.5+0.5*lt(mod(t,2),0.5))':s=44100:d=14\" -c:a libmp3lame "
                  + shellQuote(dir.file("Data/rap2.mp3"))), 0);
    dir.write("Data/Syncro.txt", "4000 3000 6100 8000 8500 9000 9500 10000 10500 11000 11500 12000 12500 13000\n");
    dir.write("Data/rap.txt", "1000 one | 2000 two | 1500 early | 5000 five | 6000 |");
    const SheetRun drawn = drawSheet(dir, dir.file("Data"), { 4000, 6100, 8000, 8500, 9000, 9500, 10000, 10500, 11000, 11500, 12000, 12500 });
    expectMarksAt(drawn);
    const std::string& err = drawn.run.err;
    EXPECT_NE(err.find("scene 1 never comes on"), std::string::npos) << err;
    EXPECT_NE(err.find("after bar line 4"), std::string::npos) << err; // 6100 ms
    EXPECT_EQ(err.find("scene 2 starts"), std::string::npos) << err;   // 4000 ms, on bar line 3
    EXPECT_NE(err.find("13 scenes on, 3 lyric lines in the band"), std::string::npos) << err;
}

TEST(SyncSheet, RefusesWhatItCannotDrawAndLeavesNoPicture)
{
    ScratchDir dir;
    dir.write("Data/Syncro.txt", "1000\n");
    struct Row {
        std::vector<std::string> args;
        int status;
        const char* err;
    };
    const Row rows[] = {
        { { "--data", dir.file("Data") }, 1, "rap2.mp3: cannot open" },
        { { "--data", dir.file("none") }, 1, "no show data folder" },
        { { "--size", "1600x300" }, 2, "from 800x400" },
        { { "--size", "4000x400" }, 2, "too low for its width" },
        { { "--size", "wide" }, 2, "--size takes WxH" },
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = { "sheet" };
        args.insert(args.end(), row.args.begin(), row.args.end());
        args.push_back(dir.file("sheet.png"));
        ChildResult run = runBuilt("qztool", args);
        EXPECT_EQ(run.exitStatus, row.status) << row.args[1];
        EXPECT_NE(run.err.find(row.err), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.file("sheet.png")));
    }
}

// Default first bar (the second bar line), every two bars; lines snapped to the beats.
TEST(SongSync, FindsASynthesisedSongsBarsThroughItsSoftStartAndSnapsLyricsToItsBeats)
{
    ScratchDir dir;
    const std::string song = dir.file("song.mp3");
    ASSERT_EQ(runCommand("ffmpeg -v error -y -f lavfi -i \"" + std::string(SONG) + "\" -c:a libmp3lame " + shellQuote(song)), 0);
    expectSync({ "sync", song, "--bars-per-scene", "2" }, 128.0, 300 + 1875.0, 2);

    ChildResult missing = runBuilt("qztool", { "sync", dir.file("none.mp3") });
    EXPECT_EQ(missing.exitStatus, 1);
    EXPECT_NE(missing.err.find("none.mp3: cannot open: No such file"), std::string::npos) << missing.err;

    // A quarter beat after beats 2, 10 and 40, a third before beat 71.
    ChildResult snap = runBuilt("qztool", { "lyrics", dir.write("a.lrc", "[00:01.355]w\n[00:05.105]w\n[00:19.167]w\n[00:33.421]w\n"),
        "--snap", song });
    ASSERT_EQ(snap.exitStatus, 0) << snap.err;
    EXPECT_NE(snap.err.find("snap: 4 lines"), std::string::npos) << snap.err;
    const std::vector<double> snapped = numbers(snap.out), beats = { 1237.5, 4987.5, 19050, 33581.25 };
    ASSERT_EQ(snapped.size(), 4u) << snap.out;
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(snapped[i], beats[i], 15.0) << i;
}
