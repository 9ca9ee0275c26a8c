// velvet-render as a user runs it: frames of the asked size showing the show's
// background, the same bytes on every run (the virtual clock), the default length from
// the timeline, a video ffprobe reads with both streams, and a clear message for each
// way it cannot start.
#include "app/DataFolder.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Netpbm.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string RENDER = VELVET_BUILD_DIR "/velvet-render";

// A small show folder: two scene changes, one path, and (when asked) a 3 s soundtrack.
class RenderRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.write("show/Data/Syncro.txt", "200\n400\n");
        dir.write("show/Data/Fixe.txt", "0\n0\n-20000\n-300000\n0\n0\n0\n"
                                        "500\n10000\n-20000\n-300000\n0\n100000\n0\n"
                                        "1000\n20000\n-20000\n-300000\n0\n200000\n0\n");
    }

    void addSoundtrack()
    {
        const std::string mp3 = dir.file("show/Data/rap2.mp3");
        ASSERT_EQ(runCommand("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=3 -ac 2 -c:a libmp3lame "
                      + shellQuote(mp3)),
            0);
    }

    ChildResult render(const std::vector<std::string>& args, std::vector<std::string> environment = {})
    {
        std::vector<std::string> argv{RENDER};
        argv.insert(argv.end(), args.begin(), args.end());
        ChildOptions options;
        options.workingDirectory = dir.file("show");
        options.environment = std::move(environment);
        return runChild(argv, options);
    }

    std::vector<std::string> frameFiles(const std::string& folder) const
    {
        std::vector<std::string> files;
        for (const auto& entry : fs::directory_iterator(dir.file(folder)))
            files.push_back(entry.path().filename().string());
        std::sort(files.begin(), files.end());
        return files;
    }

    ScratchDir dir;
};

TEST_F(RenderRun, FramesHaveTheAskedSizeShowTheBackgroundAndRepeatExactly)
{
    dir.write("show/Data/Syncro.txt", "5000\n"); // the intro all along: background and lyrics bands only
    for (const char* folder : {"one", "two"}) {
        ChildResult r = render({"--frames", "../" + std::string(folder), "--seconds", "1", "--fps", "5", "--size",
            "320x240"});
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_NE(r.err.find("frame 5 / 5"), std::string::npos) << r.err;
    }
    const std::vector<std::string> expected = {"frame_00000.ppm", "frame_00001.ppm", "frame_00002.ppm",
        "frame_00003.ppm", "frame_00004.ppm"};
    ASSERT_EQ(frameFiles("one"), expected);
    ASSERT_EQ(frameFiles("two"), expected);
    for (const std::string& name : expected) {
        const std::string bytes = readWholeFile(dir.file("one/" + name));
        NetpbmPicture picture;
        ASSERT_TRUE(parseNetpbm(bytes, picture)) << name;
        EXPECT_EQ(picture.width, 320u);
        EXPECT_EQ(picture.height, 240u);
        ASSERT_EQ(picture.channels, 3u);
        // Nothing is drawn over the middle here, between the lyrics bands: the dark blue
        // clear, in R, G, B order.
        const std::size_t centre = (120 * 320 + 160) * 3;
        EXPECT_EQ(picture.samples[centre], 0);
        EXPECT_EQ(picture.samples[centre + 1], 0);
        EXPECT_EQ(picture.samples[centre + 2], 70);
        EXPECT_TRUE(bytes == readWholeFile(dir.file("two/" + name))) << name << " differs between runs";
    }
}

TEST_F(RenderRun, DefaultLengthIsTheLastSceneChangePlusTenSeconds)
{
    ChildResult r = render({"--frames", "../frames", "--fps", "2", "--size", "32x24"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(frameFiles("frames").size(), 21u); // (0.4 s + 10 s) * 2, rounded
}

TEST_F(RenderRun, VideoHasAPictureAndTheSoundtrack)
{
    addSoundtrack();
    ChildResult r = render({"--video", "../show.mp4", "--seconds", "1", "--fps", "10", "--size", "160x120"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.err.find(dir.file("show.mp4")), std::string::npos) << "says where the video went: " << r.err;
    int status = -1;
    const std::string streams = captureCommand("ffprobe -v error -show_entries stream=codec_type,width,height "
        "-of csv=p=0 " + shellQuote(dir.file("show.mp4")), &status);
    ASSERT_EQ(status, 0);
    EXPECT_NE(streams.find("video,160,120"), std::string::npos) << streams;
    EXPECT_NE(streams.find("audio"), std::string::npos) << streams;
    const std::string duration = captureCommand("ffprobe -v error -show_entries format=duration -of csv=p=0 "
        + shellQuote(dir.file("show.mp4")));
    EXPECT_NEAR(std::stod(duration), 1.0, 0.2) << "the soundtrack is cut to the picture";
}

TEST_F(RenderRun, SaysWhyItCannotStart)
{
    addSoundtrack();
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> environment;
        bool withSoundtrack;
        int status;
        std::string says;
    };
    const std::vector<Case> cases = {
        {{}, {}, true, 2, "--frames DIR or --video FILE"},
        {{"--frames", "x", "--fps", "0"}, {}, true, 2, "bad value '0' for --fps"},
        {{"--frames", "x", "--size", "12"}, {}, true, 2, "bad value '12' for --size"},
        {{"--frames", "x", "--wide"}, {}, true, 2, "unknown option '--wide'"},
        {{"--video", "v.mp4", "--size", "161x120"}, {}, true, 1, "even width and height"},
        {{"--video", "v.mp4", "--seconds", "1"}, {"PATH=/nonexistent"}, true, 1, "ffmpeg command was not found"},
        {{"--video", "v.mp4", "--seconds", "1"}, {}, false, 1, "rap2.mp3 is missing"},
    };
    for (const Case& c : cases) {
        if (!c.withSoundtrack)
            fs::remove(dir.file("show/Data/rap2.mp3"));
        ChildResult r = render(c.args, c.environment);
        EXPECT_EQ(r.exitStatus, c.status) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
}

TEST_F(RenderRun, WithoutADataFolderSaysWhereItLooked)
{
    if (fs::is_directory(installedDataFolder()))
        GTEST_SKIP() << "an installed data folder exists: " << installedDataFolder();
    // A copy of the program, so that nothing lies beside it.
    const std::string copy = dir.file("bin/velvet-render");
    fs::create_directories(dir.file("bin"));
    fs::copy_file(RENDER, copy);
    fs::permissions(copy, fs::perms::owner_all);
    fs::remove_all(dir.file("show/Data"));
    ChildOptions options;
    options.workingDirectory = dir.file("show");
    ChildResult r = runChild({copy, "--frames", "x"}, options);
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("No data folder found"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(dir.file("show/Data")), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(dir.file("bin/Data")), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("show/x"))) << "nothing written before the check";
}

}
