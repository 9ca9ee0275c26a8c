#include "app/CameraModes.h"
#include "app/CameraPath.h"
#include "engine/geometry/Camera.h"

#include "ConsoleCapture.h"
#include "ScriptedInput.h"
#include "ShowFixture.h"

#include <cmath>

namespace {

using platform::Key;

class CameraModesTest : public ShowFixture {
protected:
    ScriptedInput input;
    ScriptedWindow window{1024, 768};
};

TEST_F(CameraModesTest, KeysSwitchModes)
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
        EXPECT_EQ(p.mode, c.endMode) << c.what;
        EXPECT_EQ(p.recording(), c.endMode == MODE_RECORDING) << c.what;
        EXPECT_EQ(p.keys().size(), c.file ? 1u : 2u) << c.what;
    }
}

// Arrows and buttons move; the cursor's offset from the centre turns the camera (10 px
// a degree) on real mouse motion only, and is pinned back to the centre.
TEST_F(CameraModesTest, FreeCameraMovesByKeysAndButtonsAndTurnsOnMouseMotionOnly)
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
