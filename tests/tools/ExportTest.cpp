// Exports as users run them on a small show: the 4:3 framing kept inside outputs of
// other shapes; a span rendered in segments (local job slots, two hosts reached through
// a stand-in for ssh, a Slurm array run task by task, a segment that fails once) joining
// into the very frames one process renders; and exports that do not finish leaving
// nothing under the output's name.
#include "tests/support/ChildProcess.h"
#include "tests/support/Netpbm.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/StandInShow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string RENDER = VELVET_BUILD_DIR "/velvet-render";
const std::string EXPORT = VELVET_SOURCE_DIR "/tools/velvet-render/parallel-export.sh";
const std::string SLURM = VELVET_SOURCE_DIR "/tools/slurm/";
// 20 s from the show's first scene change on (segments start in different scenes).
const std::vector<std::string> SPAN = {"--from", "1000", "--to", "21000", "--fps", "30", "--size", "320x240"};

class Export : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(writeStandInShow(dir.file("Data"), error)) << error;
        dir.write("Data/Syncro.txt", "3000\n9000\n15000\n");
        ASSERT_EQ(runCommand("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=30 -ac 2 -c:a libmp3lame "
                      + shellQuote(dir.file("Data/rap2.mp3"))),
            0);
    }
    ChildResult run(std::vector<std::string> argv, const std::vector<std::string>& extra,
        std::vector<std::string> environment = {}, double signalAfter = -1.0, int signal = 2)
    {
        argv.insert(argv.end(), extra.begin(), extra.end());
        ChildOptions options;
        options.workingDirectory = dir.path();
        options.environment = {"VELVET_RENDER=" + RENDER}; // unless the test names another
        options.environment.insert(options.environment.end(), environment.begin(), environment.end());
        options.signalAfterSeconds = signalAfter;
        options.signalNumber = signal;
        options.killAfterSeconds = 240.0;
        return runChild(argv, options);
    }
    NetpbmPicture still(const std::string& size)
    {
        NetpbmPicture picture;
        ChildResult r = run({RENDER, "--data", "Data", "--stills", "5000", "--format", "ppm", "--out", size, "--size", size}, {});
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_TRUE(parseNetpbm(readWholeFile(dir.file(size + "/frame-5000.ppm")), picture)) << size;
        return picture;
    }
    // The decoded frames' checksums with their times, and what ffprobe counts.
    std::string frames(const std::string& video)
    {
        return captureCommand("ffmpeg -v error -i " + shellQuote(dir.file(video)) + " -map 0:v -f framemd5 -");
    }
    std::string streams(const std::string& video)
    {
        return captureCommand("ffprobe -v error -count_packets -show_entries stream=codec_type,nb_read_packets,duration "
                              "-of csv=p=0 "
            + shellQuote(dir.file(video)));
    }

    ScratchDir dir;
};

// The 4:3 show in the middle, black around it; the bands scale with the frame: 106 of
// 768 rows are 149 of 1080 and 33 of 240.
TEST_F(Export, AnyShapeFramesTheShowAsItsOwnSizeDrawsIt)
{
    const struct {
        const char* output;
        const char* frame;
        int x, y, band;
    } cases[] = {{"1920x1080", "1440x1080", 240, 0, 149}, {"320x480", "320x240", 0, 120, 33}};
    for (const auto& c : cases) {
        const NetpbmPicture out = still(c.output), in = still(c.frame);
        ASSERT_TRUE(out.width && in.width) << c.output;
        int outside = 0, apart = 0;
        for (int y = 0; y < int(out.height); ++y)
            for (int x = 0; x < int(out.width); ++x) {
                const std::uint8_t* p = &out.samples[(std::size_t(y) * out.width + x) * 3];
                const int fx = x - c.x, fy = y - c.y;
                if (fx < 0 || fy < 0 || fx >= int(in.width) || fy >= int(in.height)) {
                    outside += p[0] + p[1] + p[2] != 0;
                    continue;
                }
                const std::uint8_t* q = &in.samples[(std::size_t(fy) * in.width + fx) * 3];
                for (int k = 0; k < 3; ++k)
                    apart += std::abs(p[k] - q[k]) > 2;
            }
        EXPECT_EQ(outside, 0) << c.output << ": pixels drawn over the bars";
        EXPECT_EQ(apart, 0) << c.output << ": samples further than 2 from the " << c.frame << " still";
        auto lit = [&in](int y) { // left of the lyrics' strip
            const std::uint8_t* p = &in.samples[(std::size_t(y) * in.width + 5) * 3];
            return p[0] + p[1] + p[2] > 30;
        };
        const int h = int(in.height);
        for (int y : {0, c.band - 1, h - c.band, h - 1})
            EXPECT_FALSE(lit(y)) << c.frame << " row " << y;
        for (int y : {c.band, h - c.band - 1})
            EXPECT_TRUE(lit(y)) << c.frame << " row " << y;
    }
}

TEST_F(Export, SegmentsRenderedAnywhereJoinIntoTheFramesOfOneProcess)
{
    ChildResult one = run({RENDER, "--data", "Data", "--lossless", "--video", "one.mp4"}, SPAN);
    ASSERT_EQ(one.exitStatus, 0) << one.err;
    const std::string expected = frames("one.mp4");
    ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n') - 10, 600) << "ten lines of header, then one a frame";

    // The hosts: folders of their own, reached by a command that stands in for ssh.
    dir.write("hosts", "alpha\nbeta\n");
    const std::string fakeSsh = dir.write("ssh", "#!/bin/sh\n"
        "while [ $# -gt 0 ]; do case $1 in -l|-p|-o|-i|-S|-F) shift 2;; --) shift; break;; -*) shift;; *) break;; esac; done\n"
        "host=$1; shift; [ \"$1\" = -- ] && shift; mkdir -p \"$REMOTE/$host\" && echo \"$host\" >> \"$REMOTE/used\"\n"
        "cd \"$REMOTE/$host\" && HOME=$PWD SHELL=${LOGIN_SHELL-/bin/sh} exec /bin/sh -c \"$*\"\n");
    // Fails segment 2 the first time (or every time with ALWAYS set), then is velvet-render.
    const std::string flaky = dir.write("flaky", "#!/bin/sh\n"
        "case \"$*\" in *'--segment 2/'*) if [ -n \"$ALWAYS\" ] || ! [ -e failed ]; then touch failed; exit 3; fi;; esac\n"
        "exec " + RENDER + " \"$@\"\n");
    fs::permissions(fakeSsh, fs::perms::owner_all);
    fs::permissions(flaky, fs::perms::owner_all);
    const std::string remote = "REMOTE=" + dir.file("remote");
    const struct {
        const char* name;
        std::vector<std::vector<std::string>> steps;
        std::vector<std::string> environment;
    } ways[] = {
        {"jobs", {{EXPORT, "jobs.mp4", "--data", "Data", "--lossless", "--jobs", "2"}}, {}},
        {"hosts", {{EXPORT, "hosts.mp4", "--data", "Data", "--lossless", "--hosts", "hosts", "--ssh", fakeSsh}}, {remote}},
        {"slurm", {{SLURM + "export.sbatch", "slurm", "--data", "Data", "--lossless"},
                      {SLURM + "export.sbatch", "slurm", "--data", "Data", "--lossless"},
                      {SLURM + "export.sbatch", "slurm", "--data", "Data", "--lossless"},
                      {SLURM + "join.sbatch", "slurm", "slurm.mp4", "--data", "Data", "--lossless"}}, {}},
        {"retried", {{EXPORT, "retried.mp4", "--data", "Data", "--lossless", "--jobs", "2"}}, {"VELVET_RENDER=" + flaky}},
    };
    for (const auto& way : ways) {
        for (std::size_t task = 0; task < way.steps.size(); ++task) {
            std::vector<std::string> environment = way.environment;
            environment.push_back("SLURM_ARRAY_TASK_ID=" + std::to_string(task + 1)); // the array 1-3
            environment.push_back("SLURM_ARRAY_TASK_MIN=1");
            environment.push_back("SLURM_ARRAY_TASK_MAX=3");
            ChildResult r = run(way.steps[task], SPAN, environment);
            ASSERT_EQ(r.exitStatus, 0) << way.name << ": " << r.err;
        }
        const std::string video = std::string(way.name) + ".mp4";
        EXPECT_TRUE(frames(video) == expected) << way.name;
        const std::string counted = streams(video);
        EXPECT_NE(counted.find("video,20.000000,600"), std::string::npos) << way.name << ": " << counted;
        const std::size_t audio = counted.find("audio,");
        ASSERT_NE(audio, std::string::npos) << counted;
        EXPECT_NEAR(std::stod(counted.substr(audio + 6)), 20.0, 0.05) << counted;
    }
    const std::string used = readWholeFile(dir.file("remote/used"));
    EXPECT_TRUE(used.find("alpha") != std::string::npos && used.find("beta") != std::string::npos) << used;
    EXPECT_TRUE(fs::is_empty(dir.file("remote/alpha")) && fs::is_empty(dir.file("remote/beta"))) << "left on a host";
    // Hosts that cannot start a job give no segment back, though parallel counts it done.
    ChildResult lost = run({EXPORT, "lost.mp4", "--data", "Data", "--hosts", "hosts", "--ssh", fakeSsh}, SPAN,
        {remote, "LOGIN_SHELL="});
    EXPECT_EQ(lost.exitStatus, 1);
    EXPECT_NE(lost.err.find("segment 1 of 4 did not come back from its host; see its log "), std::string::npos) << lost.err;
    EXPECT_FALSE(fs::exists(dir.file("lost.mp4")));

    // A segment left from another run (another size here) is refused, by its name.
    for (const char* task : {"1", "2", "3"}) {
        const std::vector<std::string> size = {"--size", task == std::string("3") ? "160x120" : "320x240"};
        ASSERT_EQ(run({SLURM + "export.sbatch", "mixed", "--data", "Data", "--to", "1000", "--fps", "30"}, size,
                      {"SLURM_ARRAY_TASK_ID=" + std::string(task), "SLURM_ARRAY_TASK_MIN=1", "SLURM_ARRAY_TASK_MAX=3"})
                      .exitStatus,
            0);
    }
    ChildResult mixed = run({SLURM + "join.sbatch", "mixed", "mixed.mp4", "--data", "Data", "--to", "1000", "--fps", "30",
        "--size", "320x240"}, {});
    EXPECT_EQ(mixed.exitStatus, 1);
    EXPECT_NE(mixed.err.find("segment-00003.mp4 is not part 3 of 3"), std::string::npos) << mixed.err;
    EXPECT_FALSE(fs::exists(dir.file("mixed.mp4")));

    // Encoded lossily the segments still give every frame once.
    ChildResult lossy = run({EXPORT, "lossy.mp4", "--data", "Data", "--jobs", "2"}, SPAN);
    ASSERT_EQ(lossy.exitStatus, 0) << lossy.err;
    EXPECT_NE(streams("lossy.mp4").find("video,20.000000,600"), std::string::npos) << streams("lossy.mp4");

    // A segment that fails twice fails the export, naming its log.
    ChildResult failed = run({EXPORT, "failed.mp4", "--data", "Data", "--jobs", "2"}, SPAN,
        {"VELVET_RENDER=" + flaky, "ALWAYS=1"});
    EXPECT_EQ(failed.exitStatus, 1);
    const std::string says = "segment 2 of 4 failed twice; see its log ";
    const std::size_t named = failed.err.find(says);
    ASSERT_NE(named, std::string::npos) << failed.err;
    const std::size_t start = named + says.size();
    const std::string log = failed.err.substr(start, failed.err.find(';', start) - start);
    EXPECT_TRUE(fs::is_regular_file(log)) << log;
    EXPECT_FALSE(fs::exists(dir.file("failed.mp4")));
}

// Stopped or failing exports exit 1 and leave nothing beside what was there.
TEST_F(Export, AnExportThatDoesNotFinishLeavesNothing)
{
    dir.write("bin/ffmpeg", "#!/bin/sh\nexit 1\n");
    fs::permissions(dir.file("bin/ffmpeg"), fs::perms::owner_all);
    const std::string path = std::string("PATH=") + dir.file("bin") + ":" + std::getenv("PATH");
    const std::vector<std::string> long_ = {"--seconds", "100", "--size", "320x240"};
    const struct {
        std::vector<std::string> argv;
        std::vector<std::string> environment;
        int signal;
    } cases[] = {
        {{RENDER, "--data", "Data", "--video", "out.mp4"}, {}, 2},
        {{RENDER, "--data", "Data", "--video", "out.mp4"}, {}, 15},
        {{RENDER, "--data", "Data", "--video", "out.mp4"}, {path}, 0},
        {{EXPORT, "out.mp4", "--data", "Data", "--jobs", "2"}, {}, 2},
    };
    for (const auto& c : cases) {
        const auto before = std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator());
        ChildResult r = run(c.argv, long_, c.environment, c.signal ? 4.0 : -1.0, c.signal);
        EXPECT_EQ(r.exitStatus, 1) << c.argv[0] << " " << c.signal << ": " << r.err;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), before)
            << c.argv[0] << " " << c.signal << ": files left";
    }
}

}
