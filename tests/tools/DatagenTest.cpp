// datagen as the show uses it: the timeline falls on bars, every scene's camera path lasts
// its scene without a jump when the director plays it, the soundtrack decodes to the
// whole show and is heard in every scene, and two runs write the same bytes.
#include "app/CameraPath.h"
#include "app/Director.h"
#include "platform/Audio.h"
#include "platform/TimeSource.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchDir.h"
#include "tests/tools/GeneratedShow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double BAR_MS = 4 * 60000.0 / 90.0;
constexpr std::int32_t TAIL_MS = 10000; // what the render shows after the last change
constexpr int RATE = 44100;

using DatagenShow = GeneratedShow;

// On a virtual clock each scene's path must still be playing when the scene ends (else
// the free camera takes over), and glide: no jump or turn between two steps of 20 ms.
TEST_F(DatagenShow, TimelineFallsOnBarsAndTheDirectorPlaysEveryPathPastItsSceneWithoutJumps)
{
    const std::vector<std::int32_t> sync = syncTimes();
    ASSERT_EQ(sync.size(), 13u);
    for (std::size_t i = 0; i < sync.size(); ++i) {
        EXPECT_GT(sync[i], i > 0 ? sync[i - 1] : 0);
        EXPECT_NEAR(sync[i], std::round(sync[i] / BAR_MS) * BAR_MS, 1.0) << sync[i] << " ms is not on a bar";
    }
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder() + "/Data"); // the director reads relative names
    platform::useVirtualClock(0);
    Director director;
    ASSERT_TRUE(director.load("Syncro.txt", nullptr));
    ASSERT_EQ(director.pathCount(), 14u);
    director.start();
    std::uint32_t scene = 0;
    Vec3 translation, angles, lastTranslation, lastAngles;
    for (std::int32_t ms = 0; ms <= sync.back() + TAIL_MS; ms += 20) {
        CameraPath& path = director.currentPath();
        ASSERT_GE(path.keys().size(), 3u) << path.fileName(); // the stretch reads the third from the end
        path.play(translation, angles);
        ASSERT_EQ(path.mode, MODE_PLAYING) << "scene " << director.sceneIndex() << " path " << path.fileName()
                                           << " ended at " << ms << " ms";
        if (director.sceneIndex() == scene && ms > 0) {
            EXPECT_LT((translation - lastTranslation).length(), 2.0f) << "scene " << scene << " at " << ms;
            EXPECT_LT(std::fabs(angles.y - lastAngles.y), 10.0f) << "yaw turns at " << ms << " ms";
            EXPECT_LT(std::fabs(angles.x - lastAngles.x), 10.0f) << "pitch turns at " << ms << " ms";
        }
        EXPECT_LT(translation.length(), 500.0f) << "camera beyond the far plane";
        scene = director.sceneIndex();
        lastTranslation = translation;
        lastAngles = angles;
        platform::advanceVirtualClockBy(std::int64_t(20) * 1000000);
    }
    EXPECT_EQ(director.sceneIndex(), 13u);
    platform::useRealClock();
    std::filesystem::current_path(previous);
}

// Decoded by ffmpeg, the soundtrack covers the show and its tail, never clips, and is
// heard in every scene; the show's own sound layer loads it.
TEST(Datagen, WritesEveryFileTheSameOnEveryRunWithASoundtrackHeardInEveryScene)
{
    ScratchDir dir;
    ChildResult first = runBuilt("datagen", { dir.file("a") });
    ASSERT_EQ(first.exitStatus, 0) << first.err;
    ASSERT_EQ(runBuilt("datagen", { dir.file("b") }).exitStatus, 0);
    auto count = [&](const char* folder) {
        return std::distance(std::filesystem::directory_iterator(dir.file(folder)), std::filesystem::directory_iterator());
    };
    EXPECT_EQ(count("a"), count("b"));
    for (const auto& entry : std::filesystem::directory_iterator(dir.file("a"))) {
        const std::string name = entry.path().filename().string();
        EXPECT_FALSE(readWholeFile(entry.path().string()).empty()) << name;
        EXPECT_TRUE(readWholeFile(entry.path().string()) == readWholeFile(dir.file("b/" + name))) << name;
    }

    std::vector<std::int32_t> bounds = { 0 };
    std::istringstream sync(readWholeFile(dir.file("a/Syncro.txt")));
    for (std::int32_t t; sync >> t;)
        bounds.push_back(t);
    const std::string mp3 = dir.file("a/rap2.mp3");
    int status = -1;
    const std::string pcm = captureCommand("ffmpeg -v error -i " + shellQuote(mp3) + " -f s16le -ac 2 -ar 44100 -", &status);
    ASSERT_EQ(status, 0);
    std::vector<std::int16_t> samples(pcm.size() / 4 * 2);
    std::memcpy(samples.data(), pcm.data(), samples.size() * 2);
    const double seconds = double(samples.size() / 2) / RATE;
    EXPECT_GE(seconds * 1000.0, bounds.back() + TAIL_MS);
    EXPECT_LE(seconds, 240.0);
    bounds.push_back(std::int32_t(seconds * 1000.0));
    int peak = 0;
    for (std::int16_t v : samples)
        peak = std::max(peak, std::abs(int(v)));
    EXPECT_LT(peak, 32767) << "the decoded soundtrack clips";
    for (std::size_t s = 0; s + 1 < bounds.size(); ++s) {
        const std::size_t from = std::size_t(bounds[s]) * RATE / 1000 * 2;
        const std::size_t to = std::min(samples.size(), std::size_t(bounds[s + 1]) * RATE / 1000 * 2);
        double sum = 0.0;
        for (std::size_t i = from; i < to; ++i)
            sum += double(samples[i]) * samples[i];
        EXPECT_GT(std::sqrt(sum / double(std::max<std::size_t>(1, to - from))), 500.0) << "scene " << s << " is nearly silent";
    }
    ASSERT_TRUE(platform::openAudio(RATE, 8)) << platform::lastAudioError();
    EXPECT_GE(platform::loadAudioSample(mp3.c_str(), false), 0) << platform::lastAudioError();
    platform::closeAudio();
}

TEST(Datagen, RefusesAMissingOrUnwritableFolder)
{
    ChildResult none = runBuilt("datagen", {});
    EXPECT_EQ(none.exitStatus, 2);
    EXPECT_NE(none.err.find("usage"), std::string::npos) << none.err;
    ScratchDir dir;
    const std::string file = dir.write("plain", "not a folder");
    ChildResult blocked = runBuilt("datagen", { file + "/Data" });
    EXPECT_EQ(blocked.exitStatus, 1);
    EXPECT_NE(blocked.err.find(file), std::string::npos) << blocked.err;
}

}
