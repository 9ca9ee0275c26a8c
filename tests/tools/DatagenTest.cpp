// datagen as the show uses it: the files it writes load through the director's own
// readers, the timeline falls on bars, every scene's camera path lasts its scene without
// a jump, the soundtrack decodes to the whole show and is heard in every scene, and two
// runs write the same bytes.
#include "app/CameraPath.h"
#include "app/Director.h"
#include "app/TextTokens.h"
#include "platform/Audio.h"
#include "platform/TimeSource.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string DATAGEN = VELVET_BUILD_DIR "/datagen";
const char* const PATH_FILES[] = {"Fixe.txt", "Fixe2.txt", "Scene4.txt", "Scene5.txt", "Scene6.txt",
    "Scene7.txt", "Scene8.txt"};
const char* const OTHER_FILES[] = {"rap2.mp3", "Syncro.txt", "rap.txt", "Scene0_Collectif.jpg", "Scene1_Mur.jpg",
    "Scene2_mare.jpg", "modeling.jpg", "code.jpg", "zik.jpg", "duzer.jpg", "Particle.bmp", "noir.bmp",
    "Verdana256.bmp", "Verdana256.qzf", "FIXE.qzg", "police.qzg", "police.qza", "sol.qzg", "sol.qza", "rien.qzg",
    "cave_Scene_4.qzg", "fixe_bands.bmp", "police_uniform.tga", "sol_grid.jpg", "orbit_lights.tga", "cave_rock.jpg",
    "cave_crystal.bmp"};
constexpr double BAR_MS = 4 * 60000.0 / 90.0;
constexpr std::int32_t TAIL_MS = 10000; // what the render shows after the last change
constexpr int RATE = 44100;

ChildResult datagen(const std::string& dir, bool textOnly = false)
{
    if (textOnly)
        return runChild({DATAGEN, "--text", dir});
    return runChild({DATAGEN, dir});
}

std::vector<std::int32_t> readSyncTimes(const std::string& path)
{
    std::vector<std::int32_t> times;
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file)
        return times;
    std::int32_t value = 0;
    while (readValue(file, value))
        times.push_back(value);
    std::fclose(file);
    return times;
}

// The working directory for the life of the object (the director reads relative names).
class InDirectory {
public:
    explicit InDirectory(const std::string& dir) : previous_(fs::current_path()) { fs::current_path(dir); }
    ~InDirectory() { fs::current_path(previous_); }

private:
    fs::path previous_;
};

// The text files only: the soundtrack has its own, slower test.
class GeneratedData : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = dir.file("Data");
        ChildResult r = datagen(data, true);
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        syncTimes = readSyncTimes(data + "/Syncro.txt");
    }
    void TearDown() override { platform::useRealClock(); }

    ScratchDir dir;
    std::string data;
    std::vector<std::int32_t> syncTimes;
};

TEST_F(GeneratedData, TimelineHasThirteenAscendingChangesOnBars)
{
    ASSERT_EQ(syncTimes.size(), 13u);
    std::int32_t previous = 0;
    for (std::int32_t t : syncTimes) {
        EXPECT_GT(t, previous);
        const double bars = t / BAR_MS;
        EXPECT_NEAR(t, std::round(bars) * BAR_MS, 1.0) << t << " ms is not on a bar";
        previous = t;
    }
}

TEST_F(GeneratedData, EveryPathHasKeysInTimeOrder)
{
    for (const char* name : PATH_FILES) {
        CameraPath path;
        ASSERT_TRUE(path.load((data + "/" + name).c_str(), 10000)) << name;
        const auto& keys = path.keys();
        // The stretch reads the third key from the end; playback needs two.
        ASSERT_GE(keys.size(), 3u) << name;
        for (std::size_t k = 1; k < keys.size(); ++k)
            EXPECT_GT(keys[k].time, keys[k - 1].time) << name << " key " << k;
        EXPECT_EQ(keys.front().time, 0) << name;
    }
}

// The director plays the show on a virtual clock: each scene's path must still be
// playing when the scene ends (else the free camera takes over), and the camera must
// glide: no jump in place or turn between two steps of 20 ms.
TEST_F(GeneratedData, DirectorPlaysEveryPathPastItsSceneWithoutJumps)
{
    ASSERT_EQ(syncTimes.size(), 13u);
    InDirectory inData(data);
    platform::useVirtualClock(0);
    Director director;
    ASSERT_TRUE(director.load("Syncro.txt", nullptr));
    ASSERT_EQ(director.pathCount(), 14u);
    director.start();

    constexpr std::int32_t STEP_MS = 20;
    std::uint32_t scene = 0;
    Vec3 translation, angles, lastTranslation, lastAngles;
    for (std::int32_t ms = 0; ms <= syncTimes.back() + TAIL_MS; ms += STEP_MS) {
        CameraPath& path = director.currentPath();
        path.play(translation, angles);
        ASSERT_EQ(path.mode, MODE_PLAYING) << "scene " << director.sceneIndex() << " path " << path.fileName()
                                           << " ended at " << ms << " ms";
        if (director.sceneIndex() == scene && ms > 0) {
            const Vec3 d(translation.x - lastTranslation.x, translation.y - lastTranslation.y,
                translation.z - lastTranslation.z);
            EXPECT_LT(std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z), 2.0f) << "scene " << scene << " at " << ms;
            EXPECT_LT(std::fabs(angles.y - lastAngles.y), 10.0f) << "yaw turns at " << ms << " ms";
            EXPECT_LT(std::fabs(angles.x - lastAngles.x), 10.0f) << "pitch turns at " << ms << " ms";
        }
        EXPECT_LT(std::sqrt(translation.x * translation.x + translation.y * translation.y
                      + translation.z * translation.z), 500.0f) << "camera beyond the far plane";
        scene = director.sceneIndex();
        lastTranslation = translation;
        lastAngles = angles;
        platform::advanceVirtualClockBy(std::int64_t(STEP_MS) * 1000000);
    }
    EXPECT_EQ(director.sceneIndex(), 13u);
}

// Two runs write every file with the same bytes. Decoded by ffmpeg, the soundtrack covers
// the show and its tail, never clips, and is heard in every scene; the show's own sound
// layer loads it.
TEST(Datagen, WritesEveryFileTheSameOnEveryRunWithASoundtrackHeardInEveryScene)
{
    ScratchDir dir;
    const std::string data = dir.file("a");
    ChildResult first = datagen(data);
    ASSERT_EQ(first.exitStatus, 0) << first.err;
    ASSERT_EQ(datagen(dir.file("b")).exitStatus, 0);
    std::vector<const char*> files(std::begin(PATH_FILES), std::end(PATH_FILES));
    files.insert(files.end(), std::begin(OTHER_FILES), std::end(OTHER_FILES));
    for (const char* name : files) {
        const std::string a = readWholeFile(dir.file("a/") + name);
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == readWholeFile(dir.file("b/") + name)) << name << " differs between runs";
    }

    const std::vector<std::int32_t> syncTimes = readSyncTimes(data + "/Syncro.txt");
    ASSERT_EQ(syncTimes.size(), 13u);
    const std::string mp3 = data + "/rap2.mp3";
    int status = -1;
    const std::string pcm = captureCommand(
        "ffmpeg -v error -i " + shellQuote(mp3) + " -f s16le -ac 2 -ar 44100 -", &status);
    ASSERT_EQ(status, 0);
    const std::size_t frames = pcm.size() / 4;
    const double seconds = double(frames) / RATE;
    EXPECT_GE(seconds * 1000.0, syncTimes.back() + TAIL_MS);
    EXPECT_LE(seconds, 240.0);

    std::vector<std::int16_t> samples(frames * 2);
    std::memcpy(samples.data(), pcm.data(), samples.size() * 2);
    std::vector<std::int32_t> bounds = {0};
    bounds.insert(bounds.end(), syncTimes.begin(), syncTimes.end());
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
        const double rms = std::sqrt(sum / double(std::max<std::size_t>(1, to - from)));
        EXPECT_GT(rms, 500.0) << "scene " << s << " is nearly silent";
    }

    ASSERT_TRUE(platform::openAudio(RATE, 8)) << platform::lastAudioError();
    EXPECT_GE(platform::loadAudioSample(mp3.c_str(), false), 0) << platform::lastAudioError();
    platform::closeAudio();
}

TEST(Datagen, RefusesAMissingOrUnwritableFolder)
{
    ChildResult none = runChild({DATAGEN});
    EXPECT_EQ(none.exitStatus, 2);
    EXPECT_NE(none.err.find("usage"), std::string::npos) << none.err;

    ScratchDir dir;
    const std::string file = dir.write("plain", "not a folder");
    ChildResult blocked = datagen(file + "/Data");
    EXPECT_EQ(blocked.exitStatus, 1);
    EXPECT_NE(blocked.err.find(file), std::string::npos) << blocked.err;
}

}
