// qztool sheet on the generated show: a PNG of the asked size whose scene-change marks
// stand at the columns the scene times give, and the ways it refuses to start.
#include "tests/support/ChildProcess.h"
#include "tests/support/Netpbm.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <vector>

namespace {

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

}

TEST(SyncSheet, MarksTheGeneratedShowsSceneChangesAtTheirColumns)
{
    ScratchDir dir;
    ASSERT_EQ(runBuilt("datagen", { dir.file("Data") }).exitStatus, 0);
    ChildResult run = runBuilt("qztool", { "sheet", "--data", dir.file("Data"), "--size", "1600x560", dir.file("sheet.png") });
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_TRUE(run.out.empty());

    NetpbmPicture sheet;
    ASSERT_TRUE(parseNetpbm(captureCommand("convert " + shellQuote(dir.file("sheet.png")) + " -depth 8 ppm:-"), sheet));
    EXPECT_EQ(sheet.width, 1600u);
    EXPECT_EQ(sheet.height, 560u);
    double left = 0, endMs = 0, right = 0;
    const std::size_t axis = run.err.find("time 0 ms at column ");
    ASSERT_NE(axis, std::string::npos) << run.err;
    ASSERT_EQ(std::sscanf(run.err.c_str() + axis, "time 0 ms at column %lf, %lf ms at column %lf", &left, &endMs, &right), 3);

    std::istringstream sync(readWholeFile(dir.file("Data/Syncro.txt")));
    const std::vector<int> marks = markColumns(sheet);
    std::vector<int> expected;
    for (double ms; sync >> ms;)
        expected.push_back(int(std::lround(left + ms * (right - left) / endMs)));
    ASSERT_EQ(marks.size(), expected.size());
    for (std::size_t k = 0; k < marks.size(); ++k)
        EXPECT_NEAR(marks[k], expected[k], 1) << "scene change " << k;
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
