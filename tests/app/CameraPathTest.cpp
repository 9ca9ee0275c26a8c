#include "app/CameraPath.h"

#include "ConsoleCapture.h"
#include "ShowFixture.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

namespace {

// count records one millisecond apart; record r sits at x = r, turned to yaw -r.
std::string xRamp(long count)
{
    std::string text;
    for (long r = 0; r < count; ++r)
        text += ShowFixture::record({r, 10000 * r, 0, 7, 0, -10000 * r, 3});
    return text;
}

class CameraPathTest : public ShowFixture {
protected:
    // Keys at 100, 200, 300 and 400 ms at x = 0, 1, 3, 6 (never on one line, so a key
    // index off by one shows), pitch = 10 x; then extra.
    void writeKeys(const std::string& extra = "")
    {
        scratch.write("p.txt", record({100, 0, 0, 0, 0, 0, 0}) + record({200, 10000, 0, 0, 100000, 0, 0})
                + record({300, 30000, 0, 0, 300000, 0, 0}) + record({400, 60000, 0, 0, 600000, 0, 0}) + extra);
    }
    // Moves the clock by ms, plays, and returns x.
    float playAfter(std::int64_t ms)
    {
        advanceMs(ms);
        path.play(translation, angles);
        return translation.x;
    }

    CameraPath path;
    Vec3 translation{-7.0f, -7.0f, -7.0f};
    Vec3 angles{-7.0f, -7.0f, -7.0f};
};

// Before the first key the path holds it; a key whose time equals t is not passed; past
// 300 ms the path is over and holds the key at 300 ms: the key at 400 ms is never played.
// A rewind plays it again from its start.
TEST_F(CameraPathTest, PlaybackInterpolatesHandsOverAtTheEndAndRewinds)
{
    writeKeys();
    ASSERT_TRUE(path.load("p.txt", 0));
    advanceMs(10000); // the path's clock starts at the first play, not at load
    const struct { int atMs; float x; int mode; } steps[] = {
        {0, 0, MODE_PLAYING}, {50, 0, MODE_PLAYING}, {150, 0.5f, MODE_PLAYING}, {200, 1, MODE_PLAYING},
        {250, 2, MODE_PLAYING}, {300, 3, MODE_PLAYING}, {301, 3, MODE_FREE}, {5000, 3, MODE_FREE}};
    int now = 0;
    for (const auto& step : steps) {
        EXPECT_FLOAT_EQ(playAfter(step.atMs - now), step.x) << step.atMs << " ms";
        now = step.atMs;
        EXPECT_FLOAT_EQ(angles.x, 10.0f * step.x) << step.atMs << " ms";
        EXPECT_FLOAT_EQ(translation.y, 0.0f);
        EXPECT_EQ(path.mode, step.mode) << step.atMs << " ms";
    }
    path.rewind();
    EXPECT_EQ(path.mode, MODE_PLAYING);
    playAfter(0);
    EXPECT_FLOAT_EQ(playAfter(50), 0.0f) << "held before the first key, as at the start";
    EXPECT_FLOAT_EQ(playAfter(100), 0.5f);
}

TEST_F(CameraPathTest, DurationPutsTheThirdKeyFromTheEndAtThatTime)
{
    writeKeys(record({500, 40000, 0, 0, 0, 0, 0}));
    path.load("p.txt", 1000);
    EXPECT_FLOAT_EQ(path.timeScale(), 0.3f);
    playAfter(0);
    EXPECT_FLOAT_EQ(playAfter(1000), 3.0f) << "key 2 (300 ms) is reached after 1 s";
    EXPECT_EQ(path.mode, MODE_PLAYING);
}

TEST_F(CameraPathTest, ReadsAnyWhitespaceAndDropsPartialRecords)
{
    const std::string one = record({0, 10000, 20000, 30000, 40000, 50000, 60000});
    std::string bare = one + one;
    bare.pop_back();
    // A 60-digit token stays one token (it saturates) and does not shift the fields.
    const std::string texts[] = {bare, "0 10000\t20000  30000 40000\r\n50000 60000\n" + one + "5 6 7",
        one + std::string(60, '9') + " 10000 20000 30000 40000 50000 60000\n"};
    for (const std::string& text : texts) {
        scratch.write("p.txt", text);
        path.load("p.txt", 0);
        ASSERT_EQ(path.keys().size(), 2u) << text;
        EXPECT_TRUE(path.keys()[1].translation.y == 2.0f && path.keys()[1].angles.z == 6.0f) << text;
    }
}

TEST_F(CameraPathTest, ShortOrMissingPathsPlayWhatTheyHave)
{
    for (int keys : {0, 1, 2}) {
        scratch.write("short.txt", xRamp(keys));
        CameraPath p;
        p.load("short.txt", 10000);
        translation.x = -7.0f;
        advanceMs(1000);
        p.play(translation, angles);
        advanceMs(100000);
        p.play(translation, angles);
        EXPECT_TRUE(translation.x == (keys == 0 ? -7.0f : 0.0f) && p.mode == MODE_FREE) << keys << " keys";
    }
    scratch.write("p.txt", record({0, 0, 0, 0, 0, 0, 0}));
    path.load("p.txt", 10000);
    ASSERT_FLOAT_EQ(path.timeScale(), 0.0f);
    ConsoleCapture console;
    EXPECT_FALSE(path.load("absent.txt", 10000));
    EXPECT_EQ(console.text(), "Impossible d'ouvrir le fichier absent.txt\n");
    EXPECT_TRUE(path.timeScale() == 1.0f && path.keys().empty());
}

TEST_F(CameraPathTest, RecordingWritesSevenLinesPerFrameFromTheFirstFrameUntilARewind)
{
    ASSERT_TRUE(path.startRecording());
    EXPECT_TRUE(path.mode == MODE_RECORDING && path.fileName() == "New.txt");
    advanceMs(500); // R was pressed; the clock waits for the first key
    path.recordKey(Vec3(0.0f, 0.0f, 0.0f), Vec3(0.0f, 0.0f, 0.0f));
    advanceMs(40);
    path.recordKey(Vec3(1.5f, -2.0f, 0.25f), Vec3(10.0f, 0.0f, 0.0f));
    // Written through each frame: readable before the recording stops.
    EXPECT_EQ(readWholeFile(scratch.file("New.txt")), "0\n0\n0\n0\n0\n0\n0\n40\n15000\n-20000\n2500\n100000\n0\n0\n");
    path.rewind();
    EXPECT_FALSE(path.recording()) << "a rewind stops the recording";

    std::filesystem::remove(scratch.file("New.txt"));
    std::filesystem::create_directory(scratch.file("New.txt"));
    ConsoleCapture console;
    EXPECT_FALSE(path.startRecording());
    EXPECT_EQ(console.text(), "Impossible d'ouvrir le fichier New.txt\n");
}

// Each record becomes the mean of every field over a window that shrinks at both ends;
// the last record is left out of the means and of the file, rewritten in place. The keys
// in memory stay and the camera goes free.
TEST_F(CameraPathTest, SmoothingAveragesOverAWindowShrinkingAtBothEndsAndDropsTheLastRecord)
{
    scratch.write("s.txt", xRamp(25));
    path.load("s.txt", 0);
    path.mode = MODE_SMOOTHING;
    ConsoleCapture console;
    ASSERT_TRUE(path.smooth(20));
    EXPECT_EQ(console.text(), "time.size 25 sigSize 25");
    EXPECT_TRUE(path.mode == MODE_FREE && path.keys().size() == 25u && !std::filesystem::exists(scratch.file("s.txt.tmp")));
    EXPECT_EQ(readWholeFile(scratch.file("s.txt")).rfind(record({0, 45000, 0, 7, 0, -45000, 3}), 0), 0u); // mean of 0..9
    path.load("s.txt", 0);
    ASSERT_EQ(path.keys().size(), 24u);
    EXPECT_TRUE(path.keys()[12].time == 12 && path.keys()[12].translation.x == 11.5f && path.keys()[12].angles.y == -11.5f);
    EXPECT_FLOAT_EQ(path.keys()[20].translation.x, 16.5f); // mean of 10..23
}

TEST_F(CameraPathTest, SmoothingAMissingFileOrAFailedRewriteWritesNothing)
{
    path.mode = MODE_SMOOTHING;
    ConsoleCapture quiet;
    EXPECT_FALSE(path.smooth(20, "gone.txt"));
    EXPECT_TRUE(path.mode == MODE_FREE && !std::filesystem::exists(scratch.file("gone.txt")));
    const std::string text = xRamp(50);
    scratch.write("s.txt", text);
    // The disk fills up after 64 bytes: the write fails partway through.
    struct rlimit previous;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = previous;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool smoothed = path.smooth(20, "s.txt");
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(smoothed);
    EXPECT_EQ(readWholeFile(scratch.file("s.txt")), text);
    EXPECT_FALSE(std::filesystem::exists(scratch.file("s.txt.tmp")));
    EXPECT_EQ(quiet.text().rfind("Convolution Echouee. gone.txt inexistant", 0), 0u); // the rest is cut at 64 bytes
}

}
