#include "app/CameraPath.h"

#include "ConsoleCapture.h"
#include "ShowFixture.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace {

// Keys at 0, 100, 200 and 300 ms; key k sits at x = k, pitch = 10 k.
std::string fourKeys()
{
    std::string text;
    for (long k = 0; k < 4; ++k)
        text += ShowFixture::record({100 * k, 10000 * k, 0, 0, 100000 * k, 0, 0});
    return text;
}

// count records one millisecond apart; record r sits at x = r.
std::string xRamp(long count)
{
    std::string text;
    for (long r = 0; r < count; ++r)
        text += ShowFixture::record({r, 10000 * r, 0, 0, 0, 0, 0});
    return text;
}

class CameraPathTest : public ShowFixture {
protected:
    CameraPath path;
    Vec3 translation{-7.0f, -7.0f, -7.0f};
    Vec3 angles{-7.0f, -7.0f, -7.0f};
};

TEST_F(CameraPathTest, PlaybackInterpolatesAndHandsOverAtTheEnd)
{
    scratch.write("p.txt", fourKeys());
    ASSERT_TRUE(path.load("p.txt", 0));
    EXPECT_EQ(path.mode, MODE_PLAYING);
    advanceMs(10000); // the path's clock starts at the first play, not at load
    struct Step {
        int atMs;
        float x;
        int mode;
    };
    // A key whose time equals t is not passed; past 200 ms the path is over and holds
    // the key at 200 ms: the key at 300 ms is never played.
    const Step steps[] = {
        {0, 0.0f, MODE_PLAYING},
        {50, 0.5f, MODE_PLAYING},
        {100, 1.0f, MODE_PLAYING},
        {150, 1.5f, MODE_PLAYING},
        {200, 2.0f, MODE_PLAYING},
        {201, 2.0f, MODE_FREE},
        {5000, 2.0f, MODE_FREE},
    };
    int now = 0;
    for (const Step& step : steps) {
        advanceMs(step.atMs - now);
        now = step.atMs;
        path.play(translation, angles);
        EXPECT_FLOAT_EQ(translation.x, step.x) << step.atMs << " ms";
        EXPECT_FLOAT_EQ(angles.x, 10.0f * step.x) << step.atMs << " ms";
        EXPECT_FLOAT_EQ(translation.y, 0.0f);
        EXPECT_EQ(path.mode, step.mode) << step.atMs << " ms";
    }
}

TEST_F(CameraPathTest, DurationPutsTheThirdKeyFromTheEndAtThatTime)
{
    scratch.write("p.txt", fourKeys() + record({400, 40000, 0, 0, 0, 0, 0}));
    path.load("p.txt", 1000);
    EXPECT_FLOAT_EQ(path.timeScale(), 0.2f);
    path.play(translation, angles);
    advanceMs(1000);
    path.play(translation, angles);
    EXPECT_FLOAT_EQ(translation.x, 2.0f) << "key 2 (200 ms) is reached after 1 s";
    EXPECT_EQ(path.mode, MODE_PLAYING);
}

TEST_F(CameraPathTest, ReadsAnyWhitespaceAndDropsPartialRecords)
{
    const std::string one = record({0, 10000, 20000, 30000, 40000, 50000, 60000});
    std::string bare = one + one;
    bare.pop_back();
    // A 60-digit token stays one token (it saturates) and does not shift the fields.
    const std::string texts[] = {one + one, bare, "0 10000\t20000  30000 40000\r\n50000 60000\n" + one + "5 6 7",
        one + std::string(60, '9') + " 10000 20000 30000 40000 50000 60000\n"};
    for (const std::string& text : texts) {
        scratch.write("p.txt", text);
        CameraPath p;
        p.load("p.txt", 0);
        ASSERT_EQ(p.keys().size(), 2u) << text;
        EXPECT_FLOAT_EQ(p.keys()[1].translation.y, 2.0f) << text;
        EXPECT_FLOAT_EQ(p.keys()[1].angles.z, 6.0f) << text;
    }
}

TEST_F(CameraPathTest, ShortPathsPlayWhatTheyHave)
{
    struct Case {
        int keys;
        float heldX;
    };
    for (Case c : {Case{0, -7.0f}, Case{1, 0.0f}, Case{2, 0.0f}}) {
        std::string text;
        for (long k = 0; k < c.keys; ++k)
            text += record({100 * k, 10000 * k, 0, 0, 0, 0, 0});
        scratch.write("short.txt", text);
        CameraPath p;
        p.load("short.txt", 10000);
        Vec3 t{-7.0f, -7.0f, -7.0f};
        Vec3 a;
        advanceMs(1000);
        p.play(t, a);
        advanceMs(100000);
        p.play(t, a);
        EXPECT_FLOAT_EQ(t.x, c.heldX) << c.keys << " keys";
        EXPECT_EQ(p.mode, MODE_FREE) << c.keys << " keys";
    }
}

TEST_F(CameraPathTest, FailedLoadReportsAndResetsTheTimeScale)
{
    scratch.write("p.txt", record({0, 0, 0, 0, 0, 0, 0}));
    path.load("p.txt", 10000);
    ASSERT_FLOAT_EQ(path.timeScale(), 0.0f);
    ConsoleCapture console;
    EXPECT_FALSE(path.load("absent.txt", 10000));
    EXPECT_EQ(console.text(), "Impossible d'ouvrir le fichier absent.txt\n");
    EXPECT_FLOAT_EQ(path.timeScale(), 1.0f);
    EXPECT_TRUE(path.keys().empty());
    path.play(translation, angles);
    EXPECT_EQ(path.mode, MODE_FREE);
    EXPECT_FLOAT_EQ(translation.x, -7.0f);
}

TEST_F(CameraPathTest, RecordingWritesSevenLinesPerFrameFromTheFirstFrame)
{
    ASSERT_TRUE(path.startRecording());
    EXPECT_EQ(path.mode, MODE_RECORDING);
    EXPECT_EQ(path.fileName(), "New.txt");
    advanceMs(500); // R was pressed; the clock waits for the first key
    path.recordKey(Vec3(0.0f, 0.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
    advanceMs(40);
    path.recordKey(Vec3(1.5f, -2.0f, 0.25f), Vec3(10.0f, 0.0f, 0.0f));
    // Written through each frame: readable before the recording stops.
    EXPECT_EQ(readWholeFile(scratch.file("New.txt")),
        "0\n0\n0\n0\n0\n0\n0\n"
        "40\n15000\n-20000\n2500\n100000\n0\n0\n");
    path.rewind();
    EXPECT_FALSE(path.recording()) << "a rewind stops the recording";

    path.load("New.txt", 0);
    ASSERT_EQ(path.keys().size(), 2u);
    EXPECT_FLOAT_EQ(path.keys()[1].translation.z, 0.25f);
    std::filesystem::remove(scratch.file("New.txt"));
    std::filesystem::create_directory(scratch.file("New.txt"));
    ConsoleCapture console;
    EXPECT_FALSE(path.startRecording());
    EXPECT_EQ(console.text(), "Impossible d'ouvrir le fichier New.txt\n");
}

TEST_F(CameraPathTest, RewindReplaysFromTheFirstKey)
{
    // x = 0, 10, 2, 3: a key index left over would not give the first half-way point.
    scratch.write("p.txt", record({0, 0, 0, 0, 0, 0, 0}) + record({100, 100000, 0, 0, 0, 0, 0})
            + record({200, 20000, 0, 0, 0, 0, 0}) + record({300, 30000, 0, 0, 0, 0, 0}));
    path.load("p.txt", 0);
    path.play(translation, angles);
    advanceMs(150);
    path.play(translation, angles);
    ASSERT_FLOAT_EQ(translation.x, 6.0f);
    path.mode = MODE_FREE;
    path.rewind();
    EXPECT_EQ(path.mode, MODE_PLAYING);
    path.play(translation, angles);
    advanceMs(50);
    path.play(translation, angles);
    EXPECT_FLOAT_EQ(translation.x, 5.0f) << "halfway to the second key";
}

TEST_F(CameraPathTest, SmoothingFiveRecordsAveragesTheFirstFourAndDropsTheLast)
{
    const long xs[] = {0, 10000, 20000, 35000, 999999};
    std::string text;
    for (int r = 0; r < 5; ++r)
        text += record({40L * r, xs[r], -xs[r], 7, 0, 0, 3});
    scratch.write("s.txt", text);
    path.load("s.txt", 0);
    ConsoleCapture console;
    EXPECT_TRUE(path.smooth(20));
    EXPECT_EQ(console.text(), "time.size 5 sigSize 5");
    EXPECT_EQ(path.mode, MODE_FREE);
    std::string expected;
    for (int r = 0; r < 4; ++r)
        expected += record({40L * r, 16250, -16250, 7, 0, 0, 3});
    EXPECT_EQ(readWholeFile(scratch.file("s.txt")), expected);
    EXPECT_EQ(path.keys().size(), 5u) << "the keys in memory stay";
    EXPECT_FALSE(std::filesystem::exists(scratch.file("s.txt.tmp")));
}

TEST_F(CameraPathTest, SmoothingWindowShrinksAtBothEnds)
{
    scratch.write("s.txt", xRamp(25));
    ConsoleCapture quiet;
    ASSERT_TRUE(path.smooth(20, "s.txt"));
    CameraPath smoothed;
    smoothed.load("s.txt", 0);
    ASSERT_EQ(smoothed.keys().size(), 24u);
    EXPECT_FLOAT_EQ(smoothed.keys()[0].translation.x, 4.5f);   // mean of 0..9
    EXPECT_FLOAT_EQ(smoothed.keys()[12].translation.x, 11.5f); // mean of 2..21
    EXPECT_FLOAT_EQ(smoothed.keys()[20].translation.x, 16.5f); // mean of 10..23
}

TEST_F(CameraPathTest, SmoothingAMissingFileOrAFailedRewriteWritesNothing)
{
    path.mode = MODE_SMOOTHING;
    {
        ConsoleCapture console;
        EXPECT_FALSE(path.smooth(20, "gone.txt"));
        EXPECT_EQ(console.text(), "Convolution Echouee. gone.txt inexistant");
    }
    EXPECT_EQ(path.mode, MODE_FREE);
    EXPECT_FALSE(std::filesystem::exists(scratch.file("gone.txt")));
    const std::string text = xRamp(50);
    scratch.write("s.txt", text);

    // The disk fills up after 64 bytes: the write fails partway through.
    struct rlimit previous;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = previous;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    ConsoleCapture quiet;
    bool smoothed = path.smooth(20, "s.txt");
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(smoothed);
    EXPECT_EQ(readWholeFile(scratch.file("s.txt")), text);
    EXPECT_FALSE(std::filesystem::exists(scratch.file("s.txt.tmp")));
    EXPECT_EQ(path.mode, MODE_FREE);
}

}
