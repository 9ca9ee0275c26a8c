// The show's frame through a device that records its calls; a session opened, loaded
// and closed twice in one process; seeking, which replays the show from its start
// without drawing: the camera ends where a run that played every frame has it, and Page
// Down / Page Up land on the first frame of the next and the previous scene, once per
// press.
#include "app/SceneKeys.h"
#include "app/Show.h"
#include "app/ShowFrames.h"
#include "app/ShowSession.h"
#include "engine/render/CaptureDevice.h"
#include "tests/support/RecordingDevice.h"
#include "tests/support/StandInShow.h"

#include "ConsoleCapture.h"
#include "ScriptedInput.h"
#include "ShowFixture.h"

#include <algorithm>
#include <memory>

namespace {

// The frame of scene 5 (lit) at 1024 x 768: the scene between the letterbox bands, its
// lights after the view, then the lyrics overlay in its own projection. beginFrame (from
// the window's makeCurrent to the device's resetColor) is one step; the device's other
// housekeeping is left out.
class ShowFrameTest : public ShowFixture {};

TEST_F(ShowFrameTest, InOrderWithTheLightsAfterTheViewAndTheLyricsOverlayLast)
{
    RecordingDevice device;
    auto* window = new ScriptedWindow(1024, 768);
    device.attachWindow(window);
    scratch.write("Syncro.txt", "10 20 30 40 50 100");
    Show show;
    const int clears = device.count("clearAll()");
    {
        ConsoleCapture quiet;
        show.load(device, scratch.path());
    }
    // Loading presents its picture only; it draws every scene once, unseen, so that scene
    // changes find their programs built, and leaves the show on scene 0.
    EXPECT_TRUE(window->swaps == 1 && device.count("clearAll()") == clears + 1 + 14);
    EXPECT_EQ(show.director().sceneIndex(), 0u);
    {
        ConsoleCapture quiet;
        advanceMs(55);
        show.director().currentPath();
    }
    window->log = &device.calls;
    show.camera().set(1.0f, -2.0f, 3.0f, 10.0f, 20.0f, 0.0f);
    device.setBlendingCached(true); // states a previous frame may have left: set again
    device.setAlphaRefCached(0.25f);
    device.clearCalls();
    device.viewsApplied.clear();
    const int swaps = window->swaps;
    show.render();
    const char* const marks[] = {"applyViewport(", "applyScissor(", "clearAll(", "applyProjection(", "applyView(",
        "applyLight(", "enableLightApi(", "setBlending(", "setAlphaRef(", "onBeginScene(", "onPresent(", "window.swapBuffers"};
    std::vector<std::string> steps;
    bool inBeginFrame = false;
    for (const std::string& c : device.calls) {
        if (c == "window.makeCurrent" || inBeginFrame) {
            if (!(inBeginFrame = c != "resetColor()"))
                steps.push_back("beginFrame");
        } else if (std::any_of(std::begin(marks), std::end(marks), [&](const char* m) { return c.rfind(m, 0) == 0; })) {
            steps.push_back(c);
        }
    }
    const std::vector<std::string> expected = {"applyViewport(0, 0, 1024, 768)", "clearAll()", "beginFrame",
        "applyProjection()", "applyView()", "applyLight(0, 0, 0, 15, 10)", "enableLightApi(0)",
        "applyLight(1, 0, 0, 50, -20)", "enableLightApi(1)", "applyLight(2, 1, 15, 39, -0.12)", "enableLightApi(2)",
        "setBlending(0)", "setAlphaRef(0.5)", "applyScissor(0, 106, 1024, 556)", "applyScissor(0, 0, 1024, 768)",
        "applyProjection()", "applyView()", "setBlending(0)", "setBlending(0)", "applyProjection()", "onBeginScene()",
        "onPresent()", "window.swapBuffers"};
    EXPECT_EQ(steps, expected);
    EXPECT_TRUE(window->swaps == swaps + 1 && device.clearB == 70.0f / 255.0f) << "one frame over the dark blue";
    Mat4 projection;
    projection.setPerspective(90.0f, 0.1f, 1000.0f, 1024.0f / 768.0f);
    EXPECT_TRUE(std::equal(projection.m, projection.m + 16, device.projection.current().m));
    const Mat4 view = show.camera().viewMatrix();
    EXPECT_EQ(std::count_if(device.viewsApplied.begin(), device.viewsApplied.end(),
        [&](const Mat4& m) { return std::equal(m.m, m.m + 16, view.m); }), 1) << "the camera's view reaches it once";
    const Vec3 eye = device.programConstants[0];
    EXPECT_TRUE(eye.x == -1.0f && eye.y == 2.0f && eye.z == -3.0f);
    EXPECT_TRUE(device.getLight(0)->specular == blue && device.getLight(1)->diffuse == yellow);
    EXPECT_FLOAT_EQ(device.getLight(2)->range, 200.0f);
    show.close();
    device.detachWindow();
}

// Each run gives back all it holds before its window and context go: the second run
// draws what the first drew (a sprite or picture texture, a buffer or a device pointer
// kept from the first would show here, or under the sanitizers).
TEST_F(ShowFrameTest, ASessionOpenedLoadedAndClosedTwiceDrawsTheSameStills)
{
    std::string error;
    ASSERT_TRUE(writeStandInShow(scratch.path(), error)) << error;
    scratch.write("Syncro.txt", "100 200 300 400 500 600 700 800 900 1000 1100 1200 1300");
    auto stills = [&] {
        std::vector<std::vector<std::uint8_t>> frames;
        platform::useVirtualClock(0);
        ConsoleCapture quiet;
        ShowSession session;
        ShowWindowRequest window;
        window.width = 160, window.height = 240, window.askFullscreen = false; // room between the bands
        window.capabilityLog = scratch.file("Init.log");
        if (!session.open([]() -> RenderDevice* { return new CaptureDevice; }, window))
            return frames;
        EXPECT_EQ(joinNames(session.load(scratch.path()).missingForPictures()), "");
        ShowFrames show(session.show(), FIXED_FPS);
        for (const std::int64_t ms : {150, 350, 550, 750, 1150}) { // scenes 1, 3, 5, 7 and 11
            show.drawAt(ms);
            frames.push_back(static_cast<CaptureDevice*>(session.device())->lastFrame);
        }
        session.close();
        return frames;
    };
    const auto first = stills(), second = stills();
    ASSERT_EQ(first.size(), 5u) << "no window";
    EXPECT_TRUE(first[0] != first[2]) << "a picture scene and a model scene look alike";
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_TRUE(second[i] == first[i]) << "still " << i;
}

class SeekTest : public ShowFixture {
protected:
    void SetUp() override
    {
        ShowFixture::SetUp();
        // Scenes 0, 1 and 2 last a second each; scene 3 stays on.
        scratch.write("Syncro.txt", "1000 2000 3000");
        std::string keys;
        for (long t = 0; t <= 4000; t += 1000)
            keys += record({t, 3 * t, -20000, -50000, 0, t * 5, 0});
        scratch.write("Fixe.txt", keys);
        scratch.write("Fixe2.txt", keys);
        device.attachWindow(new NullWindow(64, 48));
        show.load(device, scratch.path());
    }
    void TearDown() override
    {
        show.close();
        device.detachWindow();
        ShowFixture::TearDown();
    }
    // Moves the virtual clock to ms after the show's time zero.
    void clockTo(std::int64_t ms) { advanceMs(ms - show.director().elapsedMs()); }

    std::unique_ptr<ConsoleCapture> quiet = std::make_unique<ConsoleCapture>(); // reset before checking
    RecordingDevice device;
    Show show;
};

TEST_F(SeekTest, CameraEndsWhereAPlayedRunHasIt)
{
    constexpr std::int32_t TARGET = 2500;
    // Played: every frame of a 60 fps run from the start, then the frame at the target.
    show.seek(0);
    const std::int64_t zero = platform::counterNow();
    for (std::int64_t frame = 0; frameTimeNs(frame, FIXED_FPS) < TARGET * 1000000LL; ++frame) {
        platform::advanceVirtualClockBy(zero + frameTimeNs(frame, FIXED_FPS) - platform::counterNow());
        show.update();
    }
    platform::advanceVirtualClockBy(zero + TARGET * 1000000LL - platform::counterNow());
    show.update();
    const Camera played = show.camera();
    const std::uint32_t playedScene = show.director().sceneIndex();
    const std::int64_t frames = show.seek(TARGET).frames;
    show.update();
    quiet.reset();
    EXPECT_EQ(frames, 150);
    EXPECT_EQ(playedScene, 2u);
    EXPECT_EQ(show.director().sceneIndex(), 2u);
    EXPECT_EQ(show.director().elapsedMs(), TARGET);
    EXPECT_FLOAT_EQ(show.camera().x, played.x);
    EXPECT_FLOAT_EQ(show.camera().yaw, played.yaw);
    EXPECT_TRUE(played.x != 0.0f && played.yaw != 0.0f) << "the path moved and turned the camera";
}

// Each press lands on the first frame of the next (D) or previous (U) scene: scene 0
// starts over, the last scene has no next one; a held key does not jump again.
TEST_F(SeekTest, PageKeysJumpToTheFirstFrameOfTheNextAndPreviousScene)
{
    ScriptedInput keys;
    std::vector<std::int32_t> got, expected; // scene * 100000 + ms after a press, then 100 ms on, the key held
    for (const std::int32_t ms : {1001, 2001, 1001, 0, 0, 1001, 2001, 3001, 3101})
        expected.insert(expected.end(), {100000 * (ms / 1000) + ms, ms + 100});
    for (const char press : std::string("DDUUUDDDD")) {
        keys.held = {press == 'D' ? platform::Key::PageDown : platform::Key::PageUp};
        handleSceneKeys(show);
        show.update();
        const std::int32_t landed = show.director().elapsedMs();
        got.push_back(landed + 100000 * std::int32_t(show.director().sceneIndex()));
        clockTo(landed + 100);
        handleSceneKeys(show);
        got.push_back(show.director().elapsedMs());
        keys.held.clear();
        handleSceneKeys(show);
    }
    quiet.reset();
    EXPECT_EQ(got, expected);
}

}
