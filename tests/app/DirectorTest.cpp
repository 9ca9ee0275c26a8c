// The director's timeline and scene paths, and the camera modes a path's mode selects.
#include "app/CameraModes.h"
#include "app/Director.h"
#include "engine/geometry/Camera.h"

#include "ConsoleCapture.h"
#include "ScriptedInput.h"
#include "ShowFixture.h"

#include <cmath>
#include <set>

namespace {

using platform::Key;

class DirectorTest : public ShowFixture {
protected:
    Director director;
    ScriptedInput input;
    ScriptedWindow window{1024, 768};

    void loadWithSync(const std::string& sync)
    {
        scratch.write("Syncro.txt", sync);
        ConsoleCapture quiet;
        director.load("Syncro.txt", nullptr);
        director.start();
    }
    // Moves the timeline to ms and asks for the current path; returns what was printed.
    std::string at(std::int32_t ms)
    {
        advanceMs(ms - director.elapsedMs());
        ConsoleCapture console;
        director.currentPath();
        return console.text();
    }
};

// A scene changes once the timeline is past its sync time (equal is not past); a long
// stall passes several scenes in one call; the last scene stays on whatever times follow.
TEST_F(DirectorTest, ScenesChangeOnlyOnceTheTimelineIsPastEachSyncTime)
{
    std::string sync, stall;
    for (int i = 1; i <= 20; ++i) // read as atol reads: any whitespace, a sign, a unit after the digits
        sync += (i > 1 ? i % 3 ? "\n" : " \t\r\n\n" : "") + std::string(i == 7 ? "+" : "") + std::to_string(1000 * i)
            + (i == 6 ? "ms" : "");
    for (int scene = 2; scene < 13; ++scene)
        stall += "scene : " + std::to_string(scene) + "\n";
    loadWithSync(sync);
    EXPECT_TRUE(director.syncTimes().size() == 20 && director.syncTimes()[5] == 6000 && director.syncTimes()[6] == 7000);
    const struct { std::int32_t ms; std::uint32_t scene; std::string printed; } steps[] = {
        {0, 0, ""}, {999, 0, ""}, {1000, 0, ""}, {1001, 1, "scene : 0\n"}, {2000, 1, ""},
        {2001, 2, "scene : 1\n"}, {600000, 13, stall}, {900000, 13, ""}};
    for (const auto& s : steps) {
        EXPECT_EQ(at(s.ms), s.printed) << s.ms << " ms";
        EXPECT_EQ(director.sceneIndex(), s.scene) << s.ms << " ms";
    }
}

TEST_F(DirectorTest, MissingSyncFileIsReportedAndTheShowStaysOnSceneZero)
{
    ConsoleCapture console;
    EXPECT_FALSE(director.load("Syncro.txt", nullptr));
    EXPECT_EQ(console.text().rfind("Impossible d'ouvrir le fichier Syncro.txt\n", 0), 0u);
    director.start();
    EXPECT_TRUE(at(1000000).empty() && director.sceneIndex() == 0u);
    EXPECT_EQ(director.pathCount(), 14u) << "the paths load all the same";
}

TEST_F(DirectorTest, EachSceneHasItsOwnPathFromTheTable)
{
    std::string keys; // every path file: keys at 0, 1000, 2000, 3000 and 4000 ms
    for (long t = 0; t <= 4000; t += 1000)
        keys += record({t, 0, 0, 0, 0, 0, 0});
    for (const char* file : {"Fixe", "Fixe2", "Scene4", "Scene5", "Scene6", "Scene7", "Scene8"})
        scratch.write(file + std::string(".txt"), keys);
    loadWithSync("10 20 30 40 50 60 70 80 90 100 110 120 130");
    const char* expected[14] = {"Fixe.txt", "Fixe.txt", "Fixe2.txt", "Fixe2.txt", "Fixe.txt", "Scene4.txt",
        "Scene5.txt", "Scene6.txt", "Scene7.txt", "Scene8.txt", "Fixe2.txt", "Fixe2.txt", "Fixe2.txt", "Fixe2.txt"};
    std::set<const CameraPath*> objects;
    for (std::uint32_t scene = 0; scene < 14; ++scene) {
        at(10 * scene + 5);
        ASSERT_EQ(director.sceneIndex(), scene);
        CameraPath& path = director.currentPath();
        objects.insert(&path);
        EXPECT_TRUE(path.fileName() == expected[scene] && path.mode == MODE_PLAYING) << "scene " << scene;
        // Scenes 0..4 last ten seconds to their third key from the end (2000 ms).
        EXPECT_FLOAT_EQ(path.timeScale(), scene < 5 ? 0.2f : 1.0f) << "scene " << scene;
    }
    EXPECT_EQ(objects.size(), 14u) << "one path object per scene";
}

TEST_F(DirectorTest, KeysSwitchModes)
{
    scratch.write("Path.txt", record({0, 0, 0, 0, 0, 0, 0}));
    scratch.write("New.txt", record({0, 10000, 0, 0, 0, 0, 0}) + record({10, 0, 0, 0, 0, 0, 0}));
    const struct {
        const char* what;
        int startMode;
        std::set<Key> keys;
        int endMode;
        const char* printed;
        const char* file; // null: the path without a file (P then replays New.txt)
    } cases[] = {
        {"space stops playback", MODE_PLAYING, {Key::Space}, MODE_FREE, "", "Path.txt"},
        {"space ends smoothing request", MODE_SMOOTHING, {Key::Space}, MODE_FREE, "", "Path.txt"},
        {"other keys ignored while playing", MODE_PLAYING, {Key::C, Key::R, Key::P}, MODE_PLAYING, "", "Path.txt"},
        {"space in free mode does nothing", MODE_FREE, {Key::Space}, MODE_FREE, "", "Path.txt"},
        {"C asks for smoothing", MODE_FREE, {Key::C}, MODE_SMOOTHING, "Convolution\n", "Path.txt"},
        {"P replays", MODE_FREE, {Key::P}, MODE_PLAYING, "Lecture\n", "Path.txt"},
        {"P without a file replays New.txt", MODE_FREE, {Key::P}, MODE_PLAYING, "Lecture\n", nullptr},
        {"C and R: recording wins", MODE_FREE, {Key::C, Key::R}, MODE_RECORDING, "Convolution\nEcriture\n", "Path.txt"},
        {"unknown mode waits for space", 3, {Key::C}, 3, "", "Path.txt"},
    };
    for (const auto& c : cases) {
        CameraPath p;
        if (c.file)
            p.load(c.file, 0);
        p.mode = c.startMode;
        input.held = c.keys;
        ConsoleCapture console;
        handleKeys(p);
        EXPECT_EQ(console.text(), c.printed) << c.what;
        EXPECT_TRUE(p.mode == c.endMode && p.recording() == (c.endMode == MODE_RECORDING)) << c.what;
        EXPECT_EQ(p.keys().size(), c.file ? 1u : 2u) << c.what;
    }
}

// Arrows and buttons move; the cursor's offset from the centre turns the camera (10 px
// a degree) on real mouse motion only, and is pinned back to the centre.
TEST_F(DirectorTest, FreeCameraMovesByKeysAndButtonsAndTurnsOnMouseMotionOnly)
{
    const struct {
        std::set<Key> keys;
        unsigned buttons;
        int x, y;
        bool moved;
        float dx, dy, dz, pitch, yaw;
    } cases[] = {
        {{Key::Up}, 0, 512, 384, true, 0, 0, 1, 0, 0}, {{Key::Down}, 0, 512, 384, true, 0, 0, -1, 0, 0},
        {{Key::Up, Key::Down}, 0, 512, 384, true, 0, 0, 0, 0, 0},
        {{}, platform::MOUSE_LEFT, 512, 384, true, 0, 0.6666667f, 0, 0, 0},
        {{}, platform::MOUSE_RIGHT, 512, 384, true, 0, -0.6666667f, 0, 0, 0},
        {{Key::Left}, 0, 512, 384, true, 1, 0, 0, 0, 0}, // left moves the eye left: x grows
        {{Key::Right}, 0, 512, 384, true, -1, 0, 0, 0, 0},
        {{}, 0, 522, 384, true, 0, 0, 0, 0, 1}, {{}, 0, 512, 394, true, 0, 0, 0, 1, 0},
        {{}, 0, 0, 394, true, 0, 0, 0, 1, 0},    // x = 0 turns nothing about Y
        {{}, 0, 600, 300, false, 0, 0, 0, 0, 0}, // a stale position, no motion: nothing, left alone
    };
    for (const auto& c : cases) {
        Camera cam;
        input.held = c.keys;
        input.buttons = c.buttons;
        input.mouseMoved = c.moved;
        window.cursorX = c.x, window.cursorY = c.y;
        window.warps.clear();
        freeCamera(cam, &window);
        // Strafing drifts z by about 0.0012 (the camera's degree factor).
        EXPECT_TRUE(std::abs(cam.x - c.dx) < 1e-3f && std::abs(cam.y - c.dy) < 1e-6f && std::abs(cam.z - c.dz) < 2e-3f) << c.x << "," << c.y;
        EXPECT_TRUE(cam.pitch == c.pitch && cam.yaw == c.yaw) << c.x << "," << c.y;
        EXPECT_EQ(window.warps.size(), c.moved ? 1u : 0u) << c.x << "," << c.y;
        EXPECT_TRUE(window.cursorX == (c.moved ? 512 : c.x) && window.cursorY == (c.moved ? 384 : c.y));
    }
}

}
