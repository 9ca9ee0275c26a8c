// velvet-render as a user runs it: frames of the asked size showing the show's
// background, the same bytes on every run (the virtual clock), the default length from
// the timeline, stills that are the frames a played run draws, a span of video with its
// soundtrack cut to match, the benchmark's JSON, and a clear message for each way it
// cannot start.
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

    void addSoundtrack(int seconds = 3)
    {
        const std::string mp3 = dir.file("show/Data/rap2.mp3");
        ASSERT_EQ(runCommand("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=" + std::to_string(seconds)
                      + " -ac 2 -c:a libmp3lame " + shellQuote(mp3)),
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

TEST_F(RenderRun, ASpanOfVideoHasItsFramesAndTheSoundtrackCutToMatch)
{
    addSoundtrack(20);
    ChildResult r = render({"--video", "../span.mp4", "--from", "2000", "--to", "12000", "--size", "160x120"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_NE(r.err.find(dir.file("span.mp4")), std::string::npos) << "says where the video went: " << r.err;
    int status = -1;
    const std::string streams = captureCommand("ffprobe -v error -count_frames -show_entries "
        "stream=codec_type,width,height,r_frame_rate,nb_read_frames,duration -of csv=p=0 "
        + shellQuote(dir.file("span.mp4")), &status);
    ASSERT_EQ(status, 0);
    EXPECT_NE(streams.find("video,160,120,30/1,10.000000,300"), std::string::npos) << streams;
    const std::size_t audio = streams.find("audio,");
    ASSERT_NE(audio, std::string::npos) << streams;
    // audio,0/0,DURATION,FRAMES
    const std::string fields = streams.substr(audio + 10);
    EXPECT_NEAR(std::stod(fields.substr(0, fields.find(','))), 10.0, 0.05) << streams;
}

// Stills are the frames a run that draws every frame shows at those times, although the
// frames before them are only simulated; on the generated show, so that they show its
// scenes, and the same bytes on every run.
TEST_F(RenderRun, StillsRepeatExactlyAndAreTheFramesAPlayedRunDraws)
{
    fs::remove_all(dir.file("show/Data"));
    ChildResult generated = runChild({VELVET_BUILD_DIR "/datagen", dir.file("show/Data")});
    ASSERT_EQ(generated.exitStatus, 0) << generated.err;
    const std::vector<std::string> common = {"--stills", "15000,26000", "--fps", "10", "--size", "64x48"};
    auto stills = [&](const std::string& out, std::vector<std::string> extra) {
        std::vector<std::string> args = common;
        args.insert(args.end(), {"--out", "../" + out});
        args.insert(args.end(), extra.begin(), extra.end());
        ChildResult r = render(args);
        EXPECT_EQ(r.exitStatus, 0) << r.err;
    };
    stills("png1", {});
    stills("png2", {});
    stills("ppm", {"--format", "ppm"});
    ChildResult played = render({"--frames", "../played", "--to", "26100", "--fps", "10", "--size", "64x48"});
    ASSERT_EQ(played.exitStatus, 0) << played.err;

    const struct {
        const char* still;
        const char* frame;
    } cases[] = {{"frame-15000", "frame_00150.ppm"}, {"frame-26000", "frame_00260.ppm"}};
    for (const auto& c : cases) {
        const std::string png = readWholeFile(dir.file(std::string("png1/") + c.still + ".png"));
        ASSERT_GT(png.size(), 24u) << c.still;
        EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\x40\0\0\0\x30", 8)) << "64 x 48";
        EXPECT_TRUE(png == readWholeFile(dir.file(std::string("png2/") + c.still + ".png"))) << c.still;
        const std::string still = readWholeFile(dir.file(std::string("ppm/") + c.still + ".ppm"));
        EXPECT_FALSE(still.empty()) << c.still;
        EXPECT_TRUE(still == readWholeFile(dir.file(std::string("played/") + c.frame))) << c.still;
    }
}

// The figures go alone to standard output as one JSON object, one entry per scene the
// timeline reaches (three here).
TEST_F(RenderRun, BenchmarkPrintsOneJsonObject)
{
    ChildResult r = render({"--bench", "--json", "--frames", "3", "--size", "64x48"});
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    ScratchDir files;
    const std::string json = files.write("bench.json", r.out);
    int status = -1;
    const std::string summary = captureCommand("python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); "
        "print(len(d[\"scenes\"]), [s[\"scene\"] for s in d[\"scenes\"]], "
        "all(s[\"frames\"] == 3 and s[\"median_ms\"] > 0 for s in d[\"scenes\"]), d[\"load_ms\"] > 0)' "
        + shellQuote(json), &status);
    EXPECT_EQ(status, 0) << r.out;
    EXPECT_EQ(summary, "3 [0, 1, 2] True True\n") << r.out;
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
        {{"--video", "/nonexistent/v.mp4"}, {}, true, 1, "cannot write /nonexistent/v.mp4"},
        {{"--stills", "1000"}, {}, true, 2, "--stills needs --out DIR"},
        {{"--frames", "x", "--from", "3000", "--to", "2000"}, {}, true, 2, "--to must come after --from"},
        {{"--frames", "x", "--seconds", "1"}, {"SDL_VIDEODRIVER=none"}, true, 1, "no OpenGL window"},
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
