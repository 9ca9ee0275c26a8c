// qztool sync and sheet on the generated show: its bar lines found again, and a PNG of
// the asked size whose scene-change marks stand at the columns the scene times give; on a
// small show the scene times and lyric lines as the show runs through them; and the ways
// the sheet refuses to start.
#include "tests/support/ChildProcess.h"
#include "tests/support/Netpbm.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/StandInShow.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <vector>

namespace {

// The times of a Syncro.txt.
std::vector<double> timesOf(const std::string& text)
{
    std::istringstream in(text);
    return { std::istream_iterator<double>(in), std::istream_iterator<double>() };
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

}

// One generated show for both commands: sync finds the soundtrack's 90 BPM and puts
// bars 5, 10, ... 65 (counted from 1) on datagen's bar lines, the first and last of them
// scene changes of its Syncro.txt; the sheet marks those changes at their columns.
TEST(SyncSheet, OnTheGeneratedShowSyncFindsItsBarLinesAndTheSheetMarksItsSceneChanges)
{
    ScratchDir dir;
    ASSERT_EQ(runBuilt("datagen", { dir.file("Data") }).exitStatus, 0);
    const std::vector<double> changes = timesOf(readWholeFile(dir.file("Data/Syncro.txt")));
    ChildResult sync = runBuilt("qztool", { "sync", dir.file("Data/rap2.mp3"), "--first-bar", "5", "--bars-per-scene", "5" });
    ASSERT_EQ(sync.exitStatus, 0) << sync.err;
    const std::size_t tempo = sync.err.find("tempo: ");
    EXPECT_NEAR(tempo == std::string::npos ? 0.0 : std::stod(sync.err.substr(tempo + 7)), 90.0, 0.45) << sync.err;
    const std::vector<double> times = timesOf(sync.out);
    ASSERT_EQ(times.size(), 13u) << sync.out;
    for (std::size_t k = 0; k < times.size(); ++k)
        EXPECT_NEAR(times[k], (4 + 5 * k) * 4 * 60000.0 / 90.0, 30.0) << "scene change " << k;
    EXPECT_TRUE(std::abs(times[0] - changes.at(0)) < 30.0 && std::abs(times[12] - changes.at(11)) < 30.0) << sync.out;

    const SheetRun drawn = drawSheet(dir, dir.file("Data"), changes);
    EXPECT_TRUE(drawn.run.out.empty());
    EXPECT_TRUE(drawn.sheet.width == 1600u && drawn.sheet.height == 560u);
    expectMarksAt(drawn);
    EXPECT_NE(drawn.run.err.find("every scene change within 30 ms of a bar line"), std::string::npos);
    EXPECT_NE(drawn.run.err.find("14 scenes on, 33 lyric lines in the band"), std::string::npos);
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
