// velvet-render as a user runs it on a small show: frames of the asked size showing the
// show's background, the same bytes on every run (the virtual clock), the default length
// from the timeline, the benchmark's JSON (a span of video and its soundtrack: the
// export tests), a show folder named anywhere, and a clear message for each way it cannot start.
#include "app/DataFolder.h"
#include "demo/ShowFiles.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Netpbm.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/StandInShow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A small show folder: stand-ins for the show's files, two scene changes and one path.
class RenderRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(writeStandInShow(dir.file("show/Data"), error)) << error;
        dir.write("show/Data/Syncro.txt", "200\n400\n");
        dir.write("show/Data/Fixe.txt", "0\n0\n-20000\n-300000\n0\n0\n0\n"
                                        "500\n10000\n-20000\n-300000\n0\n100000\n0\n"
                                        "1000\n20000\n-20000\n-300000\n0\n200000\n0\n");
    }
    bool addSoundtrack(int seconds)
    {
        return runCommand("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=" + std::to_string(seconds)
                   + " -ac 2 -c:a libmp3lame " + shellQuote(dir.file("show/Data/rap2.mp3"))) == 0;
    }
    ChildResult render(const std::vector<std::string>& args, std::vector<std::string> environment = {})
    {
        ChildOptions options;
        options.workingDirectory = dir.file("show");
        options.environment = std::move(environment);
        return runBuilt("velvet-render", args, options);
    }

    ScratchDir dir;
};

TEST_F(RenderRun, FramesHaveTheAskedSizeShowTheBackgroundAndRepeatExactly)
{
    dir.write("show/Data/Syncro.txt", "5000\n"); // the intro all along: background and lyrics bands only
    for (const char* folder : { "one", "two" }) {
        ChildResult r = render({ "--frames", "../" + std::string(folder), "--seconds", "1", "--fps", "5", "--size", "320x240" });
        ASSERT_EQ(r.exitStatus, 0) << r.err;
    }
    ASSERT_EQ(std::distance(fs::directory_iterator(dir.file("one")), fs::directory_iterator()), 5);
    for (const char* name : { "frame_00000.ppm", "frame_00001.ppm", "frame_00002.ppm", "frame_00003.ppm", "frame_00004.ppm" }) {
        const std::string bytes = readWholeFile(dir.file(std::string("one/") + name));
        NetpbmPicture picture;
        ASSERT_TRUE(parseNetpbm(bytes, picture) && picture.channels == 3) << name;
        EXPECT_EQ(picture.width * 1000 + picture.height, 320u * 1000 + 240);
        // Nothing is drawn over the middle, between the lyrics bands: the dark blue clear.
        EXPECT_EQ(std::vector<int>(&picture.samples[(120 * 320 + 160) * 3], &picture.samples[(120 * 320 + 160) * 3 + 3]),
            (std::vector<int> { 0, 0, 70 }));
        EXPECT_TRUE(bytes == readWholeFile(dir.file(std::string("two/") + name))) << name << " differs between runs";
    }
    ChildResult r = render({ "--frames", "../default", "--fps", "2", "--size", "32x24" });
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.file("default")), fs::directory_iterator()), 30) << "the last scene change plus ten seconds: (5 s + 10 s) * 2";
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
    ASSERT_TRUE(addSoundtrack(3));
    // Arguments, environment, exit status, what standard error says.
    const std::vector<std::tuple<std::vector<std::string>, std::vector<std::string>, int, std::string>> cases = {
        { {}, {}, 2, "--frames DIR or --video FILE" },
        { { "--frames", "x", "--size", "12" }, {}, 2, "bad value '12' for --size" },
        { { "--frames", "x", "--wide" }, {}, 2, "unknown option '--wide'" },
        { { "--video", "v.mp4", "--size", "161x120" }, {}, 1, "even width and height" },
        { { "--video", "v.mp4", "--seconds", "1" }, { "PATH=/nonexistent" }, 1, "ffmpeg command was not found" },
        { { "--video", "/nonexistent/v.mp4" }, {}, 1, "cannot write /nonexistent/v.mp4" },
        { { "--stills", "1000" }, {}, 2, "--stills needs --out DIR" },
        { { "--frames", "x", "--from", "3000", "--to", "2000" }, {}, 2, "--to must come after --from" },
        { { "--video", "v.mp4", "--segment", "3/2" }, {}, 2, "bad value '3/2' for --segment" },
        { { "--video", "v.mp4", "--to", "100", "--fps", "10", "--segment", "1/2" }, {}, 1, "a span of 1 frame(s) cannot be cut into 2 segments" },
        { { "--frames", "x", "--seconds", "1" }, { "SDL_VIDEODRIVER=none" }, 1, "no OpenGL window" },
        { { "--video", "v.mp4", "--seconds", "1" }, {}, 1, "rap2.mp3 is missing" }, // once removed
        { { "--stills", "100", "--out", "x", "--data", "../text" }, {}, 1, "/text is incomplete" }, // once made
    };
    for (const auto& [args, environment, status, says] : cases) {
        if (says == "rap2.mp3 is missing")
            fs::remove(dir.file("show/Data/rap2.mp3"));
        if (says == "/text is incomplete") {
            ASSERT_EQ(runBuilt("datagen", { "--text", dir.file("text") }).exitStatus, 0);
        }
        ChildResult r = render(args, environment);
        EXPECT_EQ(r.exitStatus, status) << says;
        EXPECT_NE(r.err.find(says), std::string::npos) << r.err;
        // The text files alone: every file a picture needs is named.
        for (const showfiles::Entry& e : showfiles::ALL) {
            if (r.exitStatus == 1 && args.back() == "../text" && e.kind != showfiles::Kind::Music) {
                EXPECT_EQ(r.err.find(e.name) == std::string::npos, fs::exists(dir.file("text/") + e.name)) << e.name;
            }
        }
    }
    EXPECT_FALSE(fs::exists(dir.file("show/x"))) << "an output folder made for a run that never started";
    // A copy of the program with nothing beside it, run where there is no data folder.
    if (fs::is_directory(installedDataFolder()))
        GTEST_SKIP() << "an installed data folder exists: " << installedDataFolder();
    const std::string copy = dir.file("bin/velvet-render");
    fs::create_directories(dir.file("bin"));
    fs::copy_file(VELVET_BUILD_DIR "/velvet-render", copy);
    fs::permissions(copy, fs::perms::owner_all);
    fs::remove_all(dir.file("show/Data"));
    fs::create_directories(dir.file("show/Data")); // a folder named Data, without the show in it
    ChildOptions options;
    options.workingDirectory = dir.file("show");
    ChildResult r = runChild({ copy, "--frames", "x" }, options);
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_NE(r.err.find("No data folder found"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(dir.file("show/Data") + " (no Syncro.txt in it)"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(dir.file("bin/Data") + " (no such folder)"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir.file("show/x"))) << "nothing written before the check";
}

// Named with --data, a show folder plays from anywhere: the stills are those the folder
// gives when found by the search, and the driver's report goes beside the data.
TEST_F(RenderRun, DataNamedOutsideTheWorkingDirectoryPlaysTheSameStills)
{
    dir.write("elsewhere/.keep", "");
    ChildOptions options;
    options.workingDirectory = dir.file("elsewhere");
    ChildResult named = runBuilt("velvet-render",
        { "--data", "../show/Data", "--stills", "100,300", "--out", "named", "--size", "64x48" }, options);
    ASSERT_EQ(named.exitStatus, 0) << named.err;
    ChildResult found = render({ "--stills", "100,300", "--out", "../found", "--size", "64x48" });
    ASSERT_EQ(found.exitStatus, 0) << found.err;
    for (const char* still : { "frame-100.png", "frame-300.png" }) {
        const std::string bytes = readWholeFile(dir.file("elsewhere/named/") + still);
        EXPECT_TRUE(!bytes.empty() && bytes == readWholeFile(dir.file("found/") + still)) << still;
    }
    EXPECT_TRUE(fs::exists(dir.file("show/Data/Init.log")) && !fs::exists(dir.file("elsewhere/Init.log")));
}

}
