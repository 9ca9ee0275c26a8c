#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

namespace {

const std::string PROGRAM = VELVET_BUILD_DIR "/velvet-orbit";

ChildOptions headless(const ScratchDir& dir)
{
    std::filesystem::create_directory(dir.file("Data"));
    ChildOptions options;
    options.workingDirectory = dir.path();
    options.environment = { "SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy" };
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

TEST(Program, HelpAndVersionPrintAndExit)
{
    ChildResult help = runChild({ PROGRAM, "--help" });
    EXPECT_EQ(help.exitStatus, 0);
    EXPECT_NE(help.out.find("--windowed"), std::string::npos);
    ChildResult version = runChild({ PROGRAM, "--version" });
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_NE(version.out.find("velvet-orbit "), std::string::npos);
    ChildResult bad = runChild({ PROGRAM, "--bogus" });
    EXPECT_EQ(bad.exitStatus, 2);
    EXPECT_NE(bad.err.find("--bogus"), std::string::npos);
}

TEST(Program, CtrlCEndsTheShowLikeEscapeWithTheFrameRate)
{
    ScratchDir dir;
    ChildOptions options = headless(dir);
    options.signalAfterSeconds = 4.0;
    ChildResult run = runChild({ PROGRAM, "--windowed" }, options);
    EXPECT_EQ(run.termSignal, 0) << run.err;
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out.find("===                          ===\n"
                           "=== duZER - EXTERNAL CONSOLE ===\n"
                           "===--------------------------===\n\n"),
        0u)
        << run.out;
    std::smatch match;
    ASSERT_TRUE(std::regex_search(run.out, match, std::regex("\nFPS=([0-9]+\\.[0-9]{2})\n"))) << run.out;
    EXPECT_GT(std::atof(match[1].str().c_str()), 0.0);
}

TEST(Program, WithoutAWindowItSaysSoAndExitsWithStatusOne)
{
    // The dummy video driver has no OpenGL, so the window cannot be made.
    ScratchDir dir;
    ChildOptions options = headless(dir);
    options.environment = { "SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy" };
    options.killAfterSeconds = 20.0;
    ChildResult run = runChild({ PROGRAM, "--windowed" }, options);
    EXPECT_EQ(run.termSignal, 0) << "the program ran on without a window";
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("[ERROR] Window Creation Error."), std::string::npos) << run.err;
}

TEST(Program, SigtermEndsTheShowCleanlyToo)
{
    ScratchDir dir;
    ChildOptions options = headless(dir);
    options.signalAfterSeconds = 3.0;
    options.signalNumber = 15;
    ChildResult run = runChild({ PROGRAM, "--windowed" }, options);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("FPS="), std::string::npos);
}

}
