// Seeking replays the show from its start without drawing: the camera ends where a run
// that played every frame has it, and Page Down / Page Up land on the first frame of the
// next and the previous scene, once per press.
#include "app/Demo.h"
#include "app/Director.h"
#include "app/SceneKeys.h"
#include "engine/geometry/Camera.h"

#include "ConsoleCapture.h"
#include "ScriptedInput.h"
#include "ShowFixture.h"

#include <memory>

namespace {

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
        showDirector().load("Syncro.txt", nullptr);
        showDirector().start();
    }
    // Moves the virtual clock to ms after the show's time zero.
    void clockTo(std::int64_t ms) { advanceMs(ms - showDirector().elapsedMs()); }

    std::unique_ptr<ConsoleCapture> quiet = std::make_unique<ConsoleCapture>(); // reset before checking
};

TEST_F(SeekTest, CameraEndsWhereAPlayedRunHasIt)
{
    constexpr std::int32_t TARGET = 2500;
    // Played: every frame of a 60 fps run from the start, then the frame at the target.
    demoSeek(0);
    const std::int64_t zero = platform::counterNow();
    for (std::int64_t frame = 0; frameTimeNs(frame, FIXED_FPS) < TARGET * 1000000LL; ++frame) {
        platform::advanceVirtualClockBy(zero + frameTimeNs(frame, FIXED_FPS) - platform::counterNow());
        demoUpdate();
    }
    platform::advanceVirtualClockBy(zero + TARGET * 1000000LL - platform::counterNow());
    demoUpdate();
    const Camera played = sceneCamera();
    const std::uint32_t playedScene = showDirector().sceneIndex();
    const std::int64_t frames = demoSeek(TARGET).frames;
    demoUpdate();
    quiet.reset();
    EXPECT_EQ(frames, 150);
    EXPECT_EQ(playedScene, 2u);
    EXPECT_EQ(showDirector().sceneIndex(), 2u);
    EXPECT_EQ(showDirector().elapsedMs(), TARGET);
    EXPECT_FLOAT_EQ(sceneCamera().x, played.x);
    EXPECT_FLOAT_EQ(sceneCamera().yaw, played.yaw);
    EXPECT_TRUE(played.x != 0.0f && played.yaw != 0.0f) << "the path moved and turned the camera";
}

TEST_F(SeekTest, PageKeysJumpToTheFirstFrameOfTheNextAndPreviousScene)
{
    ScriptedInput keys;
    const struct {
        platform::Key key;
        std::uint32_t scene;
        std::int32_t ms;
    } presses[] = {
        {platform::Key::PageDown, 1, 1001}, {platform::Key::PageDown, 2, 2001}, {platform::Key::PageUp, 1, 1001},
        {platform::Key::PageUp, 0, 0}, {platform::Key::PageUp, 0, 0}, // scene 0 starts over
        {platform::Key::PageDown, 1, 1001}, {platform::Key::PageDown, 2, 2001}, {platform::Key::PageDown, 3, 3001},
        {platform::Key::PageDown, 3, 3101}, // the last scene has no next one: no jump
    };
    // Each press: scene and time of the frame after it, and the time one held frame
    // later (no second jump).
    std::vector<std::string> got, expected;
    handleSceneKeys();
    for (const auto& press : presses) {
        keys.held = {press.key};
        handleSceneKeys();
        demoUpdate();
        const std::string row = std::to_string(showDirector().sceneIndex()) + " at " + std::to_string(showDirector().elapsedMs());
        clockTo(press.ms + 100);
        handleSceneKeys();
        got.push_back(row + ", held " + std::to_string(showDirector().elapsedMs()));
        expected.push_back(std::to_string(press.scene) + " at " + std::to_string(press.ms) + ", held "
            + std::to_string(press.ms + 100));
        keys.held.clear();
        handleSceneKeys();
    }
    quiet.reset();
    EXPECT_EQ(got, expected);
}

}
