// The whole program on a small data folder, headless: the timeline's scene lines come
// out at their times, Ctrl+C ends the show with the frame rate, and --start begins
// later in the show with the music from the same place.
#include "ToneMp3.h"
#include "app/DataFolder.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <regex>

namespace {

const std::string PROGRAM = VELVET_BUILD_DIR "/velvet-orbit";

std::string smallPath()
{
    std::string text;
    for (int t = 0; t <= 3000; t += 1000)
        text += std::to_string(t) + "\n" + std::to_string(t * 10) + "\n0\n-50000\n0\n0\n0\n";
    return text;
}

TEST(ShowProgramTest, ScenesChangeAtTheSyncTimesUntilCtrlC)
{
    ScratchDir dir;
    // Scene 0 ends at 500 ms, scene 1 at 1000 ms; scene 2 would end only after a minute.
    dir.write("Data/Syncro.txt", "500\n1000\n60000\n");
    for (const char* name : {"Fixe.txt", "Fixe2.txt", "Scene4.txt", "Scene5.txt", "Scene6.txt", "Scene7.txt",
             "Scene8.txt"})
        dir.write(std::string("Data/") + name, smallPath());
    ASSERT_TRUE(makeToneMp3(dir.file("Data/rap2.mp3"), 0.5));

    ChildOptions options;
    options.workingDirectory = dir.path();
    options.environment = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"};
    options.signalAfterSeconds = 6.0; // room for a slow start-up before the timeline starts
    ChildResult run = runChild({PROGRAM, "--windowed"}, options);

    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out.find("Impossible d'ouvrir"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Init: "), std::string::npos) << run.out;
    std::size_t first = run.out.find("scene : 0\n");
    std::size_t second = run.out.find("scene : 1\n");
    ASSERT_NE(first, std::string::npos) << run.out;
    ASSERT_NE(second, std::string::npos) << run.out;
    EXPECT_LT(first, second);
    EXPECT_EQ(run.out.find("scene : 2\n"), std::string::npos) << "scene 2 runs for a minute";
    EXPECT_EQ(run.out.find("scene : 0\n", first + 1), std::string::npos) << "each scene is left once";
    std::smatch fps;
    EXPECT_TRUE(std::regex_search(run.out, fps, std::regex("\nFPS=[0-9]+\\.[0-9]{2}\n"))) << run.out;
    EXPECT_GT(run.out.find("FPS="), second);
}

TEST(ShowProgramTest, StartInSceneSevenPlaysThatSceneWithTheMusicFromThere)
{
    ScratchDir dir;
    // Scenes 0..6 last a second each; scene 7 runs from 7 s for close to a minute.
    dir.write("Data/Syncro.txt", "1000 2000 3000 4000 5000 6000 7000 60000\n");
    for (const char* name : {"Fixe.txt", "Fixe2.txt", "Scene4.txt", "Scene5.txt", "Scene6.txt", "Scene7.txt",
             "Scene8.txt"})
        dir.write(std::string("Data/") + name, smallPath());
    // The music is quiet for its first 7 s and loud after: what is heard first tells
    // where it started.
    ASSERT_EQ(runCommand("ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=7,volume=0.1 -f lavfi -i "
                  "sine=frequency=440:duration=5,volume=2 -filter_complex '[0][1]concat=n=2:v=0:a=1' -ac 2 "
                  "-ar 44100 -c:a libmp3lame " + shellQuote(dir.file("Data/rap2.mp3"))),
        0);

    ChildOptions options;
    options.workingDirectory = dir.path();
    options.environment = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=disk",
        "SDL_DISKAUDIOFILE=" + dir.file("sound.raw")};
    options.signalAfterSeconds = 4.0;
    ChildResult run = runChild({PROGRAM, "--windowed", "--start", "7.5"}, options);
    ASSERT_EQ(run.exitStatus, 0) << run.err;

    const std::size_t passed = run.out.find("scene : 6\n");
    ASSERT_NE(passed, std::string::npos) << "the seek went through scenes 0 to 6: " << run.out;
    EXPECT_EQ(run.out.find("scene : 7\n"), std::string::npos) << run.out;
    EXPECT_LT(passed, run.out.find("FPS=")) << run.out;

    // 16-bit stereo as the sound card would have had it: silence while loading, then the
    // music, loud from its first sound.
    const std::string raw = readWholeFile(dir.file("sound.raw"));
    std::vector<int> samples(raw.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::abs(static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[2 * i])
            | (static_cast<std::uint8_t>(raw[2 * i + 1]) << 8)));
    const auto onset = std::find_if(samples.begin(), samples.end(), [](int v) { return v > 100; });
    ASSERT_NE(onset, samples.end()) << "the music was not heard";
    const auto window = std::min<std::ptrdiff_t>(samples.end() - onset, 44100 * 2 / 50); // 20 ms
    EXPECT_GT(*std::max_element(onset, onset + window), 2000) << "the music began quiet: from its start";
}

TEST(ShowProgramTest, WithoutADataFolderSaysWhereItLookedAndExitsBeforeAnyWindow)
{
    if (std::filesystem::is_directory(installedDataFolder()))
        GTEST_SKIP() << "an installed data folder exists: " << installedDataFolder();
    // A copy of the program, so that nothing lies beside it; the working directory is empty.
    ScratchDir exeDir, workDir;
    std::string copy = exeDir.file("velvet-orbit");
    std::filesystem::copy_file(PROGRAM, copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_all);
    ChildOptions options;
    options.workingDirectory = workDir.path();
    options.environment = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"};
    options.killAfterSeconds = 30.0;
    ChildResult run = runChild({copy}, options);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find(workDir.file("Data")), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(exeDir.file("Data")), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(installedDataFolder()), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("duZER - EXTERNAL CONSOLE"), std::string::npos) << "stops before the console opens";
}

}
