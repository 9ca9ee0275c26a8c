// The whole program, headless, as a child process: its options, the show on a small data
// folder (scene lines at the sync times, --start with the music from the same place,
// Ctrl+C ending it with the frame rate) and the ways it refuses to start; its frame loop
// and the frame rate it reports.
#include "app/DataFolder.h"
#include "app/FrameLoop.h"
#include "app/FrameRateReport.h"
#include "platform/Events.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/StandInShow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <regex>

namespace {

const std::string PROGRAM = VELVET_BUILD_DIR "/velvet-orbit";

ChildOptions headless(const ScratchDir& dir)
{
    std::filesystem::create_directories(dir.file("Data"));
    ChildOptions options;
    options.workingDirectory = dir.path();
    options.environment = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"};
    return options;
}

TEST(Program, EveryTestRunsHeadlessWithEachVariableCTestIsGiven)
{
    // A list handed over as a property of gtest_discover_tests would reach CTest as its
    // first variable only.
    int status = -1;
    std::string missing = captureCommand("ctest --test-dir " + shellQuote(VELVET_BUILD_DIR)
            + " -N --show-only=json-v1 | python3 -c '"
              "import json, sys\n"
              "want = {\"SDL_VIDEODRIVER=offscreen\", \"SDL_AUDIODRIVER=dummy\", \"LIBGL_ALWAYS_SOFTWARE=1\"}\n"
              "for test in json.load(sys.stdin)[\"tests\"]:\n"
              "    given = [v for p in test.get(\"properties\", []) if p[\"name\"] == \"ENVIRONMENT\" for v in p[\"value\"]]\n"
              "    if not want <= set(given): print(test[\"name\"], given)'",
        &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(missing.substr(0, 500), "");
}

TEST(Program, HelpAndVersionPrintAndExitAndAnUnknownOptionIsRefused)
{
    ChildResult help = runChild({PROGRAM, "--help"}), version = runChild({PROGRAM, "--version"});
    ChildResult bad = runChild({PROGRAM, "--bogus"});
    EXPECT_TRUE(help.exitStatus == 0 && help.out.find("--windowed") != std::string::npos) << help.out;
    EXPECT_TRUE(version.exitStatus == 0 && version.out.find("velvet-orbit ") != std::string::npos) << version.out;
    EXPECT_TRUE(bad.exitStatus == 2 && bad.err.find("--bogus") != std::string::npos) << bad.err;
}

TEST(Program, StartedLaterThePassedScenesAreLeftTheMusicPlaysFromThereAndCtrlCEndsTheShow)
{
    ScratchDir dir;
    ChildOptions options = headless(dir);
    options.environment = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + dir.file("sound.raw")};
    options.signalAfterSeconds = 6.0; // room for a slow start-up before the timeline starts
    std::string error;
    ASSERT_TRUE(writeStandInShow(dir.file("Data"), error)) << error;
    // Scene 0 ends at 1 s, scene 1 at 2 s, scene 2 only after a minute.
    dir.write("Data/Syncro.txt", "1000\n2000\n60000\n");
    std::string path;
    for (int t = 0; t <= 3000; t += 1000)
        path += std::to_string(t) + "\n" + std::to_string(t * 10) + "\n0\n-50000\n0\n0\n0\n";
    for (const char* name : {"Fixe", "Fixe2", "Scene4", "Scene5", "Scene6", "Scene7", "Scene8"})
        dir.write(std::string("Data/") + name + ".txt", path);
    // Quiet for its first 1.5 s and loud after: what is heard first tells where it started.
    ASSERT_EQ(runCommand("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=1.5,volume=0.1 -f lavfi -i "
                  "sine=frequency=440:duration=8,volume=2 -filter_complex '[0][1]concat=n=2:v=0:a=1' -ac 2 "
                  "-ar 44100 -c:a libmp3lame " + shellQuote(dir.file("Data/rap2.mp3"))),
        0);
    ChildResult run = runChild({PROGRAM, "--windowed", "--start", "1.5"}, options);

    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out.find("===                          ===\n=== duZER - EXTERNAL CONSOLE ===\n"), 0u) << run.out;
    EXPECT_EQ(run.out.find("Impossible d'ouvrir"), std::string::npos) << run.out;
    const std::size_t first = run.out.find("scene : 0\n"), second = run.out.find("scene : 1\n");
    ASSERT_TRUE(first != std::string::npos && first < second && second != std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("scene : 2\n"), std::string::npos) << "scene 2 runs for a minute";
    EXPECT_EQ(run.out.find("scene : 0\n", first + 1), std::string::npos) << "each scene is left once";
    std::smatch fps;
    ASSERT_TRUE(std::regex_search(run.out, fps, std::regex("\nFPS=([0-9]+\\.[0-9]{2})\n"))) << run.out;
    EXPECT_TRUE(std::atof(fps[1].str().c_str()) > 0.0 && std::size_t(fps.position(0)) > second);

    // 16-bit stereo as the sound card had it: silence while loading, then the music, loud
    // within 20 ms of its first sound.
    const std::string raw = readWholeFile(dir.file("sound.raw"));
    std::vector<int> samples(raw.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::abs(std::int16_t(std::uint8_t(raw[2 * i]) | std::uint8_t(raw[2 * i + 1]) << 8));
    const auto onset = std::find_if(samples.begin(), samples.end(), [](int v) { return v > 100; });
    ASSERT_NE(onset, samples.end()) << "the music was not heard";
    EXPECT_GT(*std::max_element(onset, onset + std::min<std::ptrdiff_t>(samples.end() - onset, 1764)), 2000);
}

// Without a window (the dummy video driver has no OpenGL) it says so and exits with status
// 1; so it does with a data folder from which no scene can draw anything (datagen's text
// files alone), naming what is missing; without a data folder (a copy of the program
// with nothing beside it, run in an empty folder) it says where it looked and exits with
// status 1 before the console opens.
TEST(Program, WithoutAWindowOrADataFolderItSaysWhyAndExitsWithStatusOne)
{
    ScratchDir dir, exeDir, workDir;
    ChildOptions options = headless(dir);
    dir.write("Data/Syncro.txt", "1000\n");
    options.environment = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"};
    options.killAfterSeconds = 20.0;
    ChildResult run = runChild({PROGRAM, "--windowed"}, options);
    EXPECT_TRUE(run.termSignal == 0 && run.exitStatus == 1) << "the program ran on without a window";
    EXPECT_NE(run.err.find("[ERROR] Window Creation Error."), std::string::npos) << run.err;

    ASSERT_EQ(runBuilt("datagen", {"--text", dir.file("text")}).exitStatus, 0);
    options.environment = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"};
    run = runChild({PROGRAM, "--windowed", "--data", dir.file("text")}, options);
    EXPECT_EQ(run.exitStatus, 1);
    for (const char* file : {showfiles::SPRITE, showfiles::PICTURES[0], showfiles::FIGURE})
        EXPECT_NE(run.err.find(file), std::string::npos) << run.err;

    if (std::filesystem::is_directory(installedDataFolder()))
        GTEST_SKIP() << "an installed data folder exists: " << installedDataFolder();
    const std::string copy = exeDir.file("velvet-orbit");
    std::filesystem::copy_file(PROGRAM, copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
    options.workingDirectory = workDir.path();
    run = runChild({copy}, options);
    EXPECT_EQ(run.exitStatus, 1);
    for (const std::string& place : {workDir.file("Data"), exeDir.file("Data"), installedDataFolder()})
        EXPECT_NE(run.err.find(place), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("duZER - EXTERNAL CONSOLE"), std::string::npos) << "stops before the console opens";
}

int updates = 0;

// Counts updates; the render of the fifth frame posts the quit message.
FrameCallbacks countingFrame()
{
    for (platform::Event event; platform::pollEvent(event);) {
    }
    updates = 0;
    FrameCallbacks frame;
    frame.update = [] { ++updates; };
    frame.render = [] { updates == 5 ? platform::postAppQuit() : void(); };
    return frame;
}

// Five frames until the quit message; pending messages come before frames, the desktop's
// plain quit does not end the loop, and without a window a close request does.
TEST(FrameLoop, CountsFramesUntilTheQuitMessageAndMessagesComeFirst)
{
    EXPECT_EQ(runFrameLoop(nullptr, countingFrame()), 5u);
    FrameCallbacks frame = countingFrame();
    platform::Event event;
    event.type = platform::EventType::Other;
    for (int i = 0; i < 50; ++i)
        platform::postEvent(event);
    event.type = platform::EventType::Quit;
    platform::postEvent(event);
    platform::postAppQuit();
    EXPECT_EQ(runFrameLoop(nullptr, frame), 0u) << "every pass found a message waiting";
    frame = countingFrame();
    platform::requestClose();
    EXPECT_EQ(runFrameLoop(nullptr, frame), 0u);
}

TEST(FrameRateReport, FormatsTwoDecimalsAndGivesZeroWhenNoTimeWasMeasured)
{
    const struct { std::uint32_t frames; long double seconds; const char* text; } cases[] = {
        {300, 5.0L, "FPS=60.00"}, {2, 3.0L, "FPS=0.67"}, {4000000000u, 1.0L, "FPS=4000000000.00"},
        {100, 0.0L, "FPS=0.00"}, {0, 0.0L, "FPS=0.00"}, {10, -1.0L, "FPS=0.00"},
        {10, std::numeric_limits<long double>::denorm_min(), "FPS=0.00"}};
    for (const auto& c : cases)
        EXPECT_EQ(formatFrameRate(c.frames, c.seconds), c.text) << c.frames << " frames in " << double(c.seconds);
}

}
