#include "app/CameraModes.h"
#include "app/CameraPath.h"
#include "app/Director.h"
#include "engine/geometry/Camera.h"

#include "ConsoleCapture.h"
#include "ScriptedInput.h"
#include "ShowFixture.h"

namespace {

using platform::Key;

class CameraModesTest : public ShowFixture {
protected:
    ScriptedInput input;
    ScriptedWindow window{1024, 768};
    Camera camera;

    void SetUp() override
    {
        ShowFixture::SetUp();
        std::string text;
        for (long t : {0L, 100L, 200L, 300L})
            text += record({t, 10000 * t, 0, 0, 0, 0, 0});
        scratch.write("Path.txt", text);
        window.cursorX = 512;
        window.cursorY = 384;
    }
};

TEST_F(CameraModesTest, KeysSwitchModes)
{
    struct Case {
        const char* what;
        int startMode;
        std::set<Key> keys;
        int endMode;
        const char* printed;
    };
    const Case cases[] = {
        {"space stops playback", MODE_PLAYING, {Key::Space}, MODE_FREE, ""},
        {"space ends smoothing request", MODE_SMOOTHING, {Key::Space}, MODE_FREE, ""},
        {"other keys ignored while playing", MODE_PLAYING, {Key::C, Key::R, Key::P}, MODE_PLAYING, ""},
        {"space in free mode does nothing", MODE_FREE, {Key::Space}, MODE_FREE, ""},
        {"C asks for smoothing", MODE_FREE, {Key::C}, MODE_SMOOTHING, "Convolution\n"},
        {"C and R: recording wins", MODE_FREE, {Key::C, Key::R}, MODE_RECORDING, "Convolution\nEcriture\n"},
        {"P replays", MODE_FREE, {Key::P}, MODE_PLAYING, "Lecture\n"},
        {"unknown mode waits for space", 3, {Key::C}, 3, ""},
    };
    for (const Case& c : cases) {
        CameraPath p;
        p.load("Path.txt", 0);
        p.mode = c.startMode;
        input.held = c.keys;
        ConsoleCapture console;
        handleKeys(p);
        EXPECT_EQ(console.text(), c.printed) << c.what;
        EXPECT_EQ(p.mode, c.endMode) << c.what;
    }
}

TEST_F(CameraModesTest, PWithoutAFileReplaysNewTxt)
{
    scratch.write("New.txt", record({0, 10000, 0, 0, 0, 0, 0}));
    CameraPath path;
    input.held = {Key::P};
    handleKeys(path);
    EXPECT_EQ(path.fileName(), "New.txt");
    EXPECT_EQ(path.keys().size(), 1u);
}

TEST_F(CameraModesTest, FreeCameraMovesByArrowsAndButtons)
{
    struct Case {
        std::set<Key> keys;
        unsigned buttons;
        float dx, dy, dz;
    };
    const Case cases[] = {
        {{Key::Up}, 0, 0.0f, 0.0f, 1.0f},
        {{Key::Down}, 0, 0.0f, 0.0f, -1.0f},
        {{Key::Up, Key::Down}, 0, 0.0f, 0.0f, 0.0f},
        {{}, platform::MOUSE_LEFT, 0.0f, 0.6666667f, 0.0f},
        {{}, platform::MOUSE_RIGHT, 0.0f, -0.6666667f, 0.0f},
        {{Key::Left}, 0, 1.0f, 0.0f, 0.0f}, // left moves the eye left: x grows
        {{Key::Right}, 0, -1.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        Camera cam;
        input.held = c.keys;
        input.buttons = c.buttons;
        freeCamera(cam, &window);
        // Strafing drifts z by about 0.0012 (the camera's degree factor).
        EXPECT_NEAR(cam.x, c.dx, 1e-3f);
        EXPECT_FLOAT_EQ(cam.y, c.dy);
        EXPECT_NEAR(cam.z, c.dz, 2e-3f);
    }
}

TEST_F(CameraModesTest, MouseLookTurnsByOffsetAndPinsTheCursor)
{
    struct Case {
        int x, y;
        bool moved;
        float pitch, yaw;
    };
    const Case cases[] = {
        {512, 384, true, 0.0f, 0.0f},  // at the centre: nothing
        {522, 384, true, 0.0f, 1.0f},  // 10 px right: one degree of yaw
        {512, 394, true, 1.0f, 0.0f},  // 10 px down: one degree of pitch
        {0, 394, true, 1.0f, 0.0f},    // x = 0 turns nothing about Y
        {600, 300, false, 0.0f, 0.0f}, // a stale position, no motion: nothing, left alone
    };
    for (const Case& c : cases) {
        Camera cam;
        window.cursorX = c.x;
        window.cursorY = c.y;
        window.warps.clear();
        input.mouseMoved = c.moved;
        freeCamera(cam, &window);
        EXPECT_FLOAT_EQ(cam.pitch, c.pitch) << c.x << "," << c.y;
        EXPECT_FLOAT_EQ(cam.yaw, c.yaw) << c.x << "," << c.y;
        std::vector<std::pair<int, int>> pinned;
        if (c.moved)
            pinned.emplace_back(512, 384);
        EXPECT_EQ(window.warps, pinned) << c.x << "," << c.y;
    }
}

}
