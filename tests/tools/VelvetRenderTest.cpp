// velvet-render as a user runs it: frames of the asked size showing the show's
// background, the same bytes on every run (the virtual clock), the default length from
// the timeline, the generated show's scenes, stills that are the frames a played run
// draws, a span of video with its soundtrack cut to match, the benchmark's JSON, and a
// clear message for each way it cannot start.
#include "app/DataFolder.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Netpbm.h"
#include "tests/support/ScratchDir.h"
#include "tests/tools/GeneratedShow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A small show folder: two scene changes and one path.
class RenderRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.write("show/Data/Syncro.txt", "200\n400\n");
        dir.write("show/Data/Fixe.txt", "0\n0\n-20000\n-300000\n0\n0\n0\n"
                                        "500\n10000\n-20000\n-300000\n0\n100000\n0\n"
                                        "1000\n20000\n-20000\n-300000\n0\n200000\n0\n");
    }
    void addSoundtrack(int seconds)
    {
        ASSERT_EQ(runCommand("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=" + std::to_string(seconds)
                      + " -ac 2 -c:a libmp3lame " + shellQuote(dir.file("show/Data/rap2.mp3"))), 0);
    }
    ChildResult render(const std::vector<std::string>& args, std::vector<std::string> environment = {})
    {
        ChildOptions options;
        options.workingDirectory = dir.file("show");
        options.environment = std::move(environment);
        return runBuilt("velvet-render", args, options);
    }
    std::size_t fileCount(const std::string& folder) const
    {
        return std::size_t(std::distance(fs::directory_iterator(dir.file(folder)), fs::directory_iterator()));
    }

    ScratchDir dir;
};

TEST_F(RenderRun, FramesHaveTheAskedSizeShowTheBackgroundAndRepeatExactly)
{
    dir.write("show/Data/Syncro.txt", "5000\n"); // the intro all along: background and lyrics bands only
    for (const char* folder : { "one", "two" }) {
        ChildResult r = render({ "--frames", "../" + std::string(folder), "--seconds", "1", "--fps", "5", "--size", "320x240" });
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_NE(r.err.find("frame 5 / 5"), std::string::npos) << r.err;
    }
    ASSERT_EQ(fileCount("one"), 5u);
    for (int i = 0; i < 5; ++i) {
        const std::string name = "frame_0000" + std::to_string(i) + ".ppm";
        const std::string bytes = readWholeFile(dir.file("one/" + name));
        NetpbmPicture picture;
        ASSERT_TRUE(parseNetpbm(bytes, picture)) << name;
        EXPECT_EQ(picture.width * 1000 + picture.height, 320u * 1000 + 240);
        ASSERT_EQ(picture.channels, 3u);
        // Nothing is drawn over the middle, between the lyrics bands: the dark blue clear.
        const std::uint8_t* centre = &picture.samples[(120 * 320 + 160) * 3];
        EXPECT_EQ(std::vector<int>(centre, centre + 3), (std::vector<int> { 0, 0, 70 }));
        EXPECT_TRUE(bytes == readWholeFile(dir.file("two/" + name))) << name << " differs between runs";
    }
    ChildResult r = render({ "--frames", "../default", "--fps", "2", "--size", "32x24" });
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(fileCount("default"), 30u) << "the last scene change plus ten seconds: (5 s + 10 s) * 2";
}

TEST_F(RenderRun, ASpanOfVideoHasItsFramesAndTheSoundtrackCutToMatch)
{
    addSoundtrack(20);
    ChildResult r = render({ "--video", "../span.mp4", "--from", "2000", "--to", "12000", "--size", "160x120" });
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
    const std::string fields = streams.substr(audio + 10); // audio,0/0,DURATION,FRAMES
    EXPECT_NEAR(std::stod(fields.substr(0, fields.find(','))), 10.0, 0.05) << streams;
}

// The figures go alone to standard output as one JSON object, one entry per scene the
// timeline reaches (three here).
TEST_F(RenderRun, BenchmarkPrintsOneJsonObject)
{
    ChildResult r = render({ "--bench", "--json", "--frames", "3", "--size", "64x48" });
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    const std::string json = dir.write("bench.json", r.out);
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
    addSoundtrack(3);
    struct Case {
        std::vector<std::string> args, environment;
        int status;
        std::string says;
    };
    const std::vector<Case> cases = {
        { {}, {}, 2, "--frames DIR or --video FILE" },
        { { "--frames", "x", "--fps", "0" }, {}, 2, "bad value '0' for --fps" },
        { { "--frames", "x", "--size", "12" }, {}, 2, "bad value '12' for --size" },
        { { "--frames", "x", "--wide" }, {}, 2, "unknown option '--wide'" },
        { { "--video", "v.mp4", "--size", "161x120" }, {}, 1, "even width and height" },
        { { "--video", "v.mp4", "--seconds", "1" }, { "PATH=/nonexistent" }, 1, "ffmpeg command was not found" },
        { { "--video", "/nonexistent/v.mp4" }, {}, 1, "cannot write /nonexistent/v.mp4" },
        { { "--stills", "1000" }, {}, 2, "--stills needs --out DIR" },
        { { "--frames", "x", "--from", "3000", "--to", "2000" }, {}, 2, "--to must come after --from" },
        { { "--frames", "x", "--seconds", "1" }, { "SDL_VIDEODRIVER=none" }, 1, "no OpenGL window" },
        { { "--video", "v.mp4", "--seconds", "1" }, {}, 1, "rap2.mp3 is missing" }, // removed just before
    };
    for (const Case& c : cases) {
        if (&c == &cases.back())
            fs::remove(dir.file("show/Data/rap2.mp3"));
        ChildResult r = render(c.args, c.environment);
        EXPECT_EQ(r.exitStatus, c.status) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    }
    // A copy of the program with nothing beside it, run where there is no data folder.
    if (fs::is_directory(installedDataFolder()))
        GTEST_SKIP() << "an installed data folder exists: " << installedDataFolder();
    const std::string copy = dir.file("bin/velvet-render");
    fs::create_directories(dir.file("bin"));
    fs::copy_file(VELVET_BUILD_DIR "/velvet-render", copy);
    fs::permissions(copy, fs::perms::owner_all);
    fs::remove_all(dir.file("show/Data"));
    fs::remove_all(dir.file("show/x"));
    ChildOptions options;
    options.workingDirectory = dir.file("show");
    ChildResult r = runChild({ copy, "--frames", "x" }, options);
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("No data folder found"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(dir.file("show/Data")), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(dir.file("bin/Data")), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("show/x"))) << "nothing written before the check";
}

using GeneratedRender = GeneratedShow;

// Played one frame a second at a size where the lyrics' bands (fixed in pixels) leave
// room, a frame in the middle of each model scene shows more than its plain background
// and differs from the scene before's. Stills are the frames a played run draws at those
// times, although the frames before them are only simulated.
TEST_F(GeneratedRender, ModelScenesDrawTheirOwnPicturesAndStillsAreThePlayedFrames)
{
    const std::vector<std::int32_t> sync = syncTimes();
    ASSERT_EQ(sync.size(), 13u);
    ScratchDir out;
    ChildOptions options;
    options.workingDirectory = folder();
    auto render = [&](std::vector<std::string> args, const char* fps, const char* size) {
        args.insert(args.end(), { "--fps", fps, "--size", size });
        ChildResult r = runBuilt("velvet-render", args, options);
        EXPECT_EQ(r.exitStatus, 0) << r.err;
    };
    render({ "--frames", out.file("scenes"), "--seconds", std::to_string(sync[9] / 1000 + 1) }, "1", "512x384");
    render({ "--frames", out.file("played"), "--to", "26100" }, "10", "64x48");
    render({ "--stills", "15000,26000", "--out", out.file("ppm"), "--format", "ppm" }, "10", "64x48");
    render({ "--stills", "15000", "--out", out.file("png") }, "10", "64x48");
    auto frame = [&](const char* folder, int index) {
        char name[64];
        std::snprintf(name, sizeof name, "%s/frame_%05d.ppm", folder, index);
        return readWholeFile(out.file(name));
    };
    EXPECT_TRUE(readWholeFile(out.file("ppm/frame-15000.ppm")) == frame("played", 150));
    EXPECT_TRUE(readWholeFile(out.file("ppm/frame-26000.ppm")) == frame("played", 260));
    const std::string png = readWholeFile(out.file("png/frame-15000.png"));
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\0\x40\0\0\0\x30", 8)) << "64 x 48";

    // Share of pixels further than 24 (sum of channels) from the other picture.
    auto differing = [](const NetpbmPicture& a, const std::vector<std::uint8_t>& other) {
        std::size_t n = 0, pixels = a.samples.size() / 3;
        for (std::size_t i = 0; i < 3 * pixels; i += 3) {
            const std::uint8_t* q = &other[other.size() == 3 ? 0 : i];
            n += std::abs(a.samples[i] - q[0]) + std::abs(a.samples[i + 1] - q[1]) + std::abs(a.samples[i + 2] - q[2]) > 24;
        }
        return double(n) / double(pixels);
    };
    NetpbmPicture before;
    for (int scene : { 3, 5, 6, 7, 8, 9 }) {
        NetpbmPicture picture;
        ASSERT_TRUE(parseNetpbm(frame("scenes", (sync[std::size_t(scene) - 1] + sync[std::size_t(scene)]) / 2000), picture));
        for (const std::vector<std::uint8_t>& background : { std::vector<std::uint8_t> { 0, 0, 70 }, { 0, 0, 0 } })
            EXPECT_GT(differing(picture, background), 0.05) << "scene " << scene;
        EXPECT_TRUE(before.samples.empty() || differing(picture, before.samples) > 0.05) << "scene " << scene;
        before = picture;
    }
}

}
