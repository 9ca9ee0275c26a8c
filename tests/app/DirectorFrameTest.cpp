// What the director asks of the render device, and in which order, through a device
// that records its calls.
#include "app/Demo.h"
#include "app/Director.h"
#include "engine/geometry/Camera.h"
#include "tests/support/RecordingDevice.h"

#include "ConsoleCapture.h"
#include "ScriptedInput.h"
#include "ShowFixture.h"

#include <algorithm>

namespace {

// The calls that mark the steps of a frame. beginFrame (from the window's makeCurrent to
// the device's resetColor) becomes one step; the device's other housekeeping is left out.
std::vector<std::string> frameSteps(const std::vector<std::string>& calls)
{
    const char* const marks[] = {"applyViewport(", "applyScissor(", "clearAll(", "applyProjection(", "applyView(",
        "applyLight(", "enableLightApi(", "setBlending(", "setAlphaRef(", "onBeginScene(", "onPresent(", "window.swapBuffers"};
    std::vector<std::string> steps;
    bool inBeginFrame = false;
    for (const std::string& c : calls) {
        if (c == "window.makeCurrent" || inBeginFrame) {
            inBeginFrame = c != "resetColor()";
            if (!inBeginFrame)
                steps.push_back("beginFrame");
            continue;
        }
        for (const char* m : marks)
            if (c.rfind(m, 0) == 0)
                steps.push_back(c);
    }
    return steps;
}

class DirectorFrameTest : public ShowFixture {
protected:
    RecordingDevice device;
    ScriptedWindow* window = new ScriptedWindow(1024, 768);

    void SetUp() override
    {
        ShowFixture::SetUp();
        device.attachWindow(window);
        window->log = &device.calls;
        // Scenes 0..4 last 10 ms each, scene 5 until 100 ms, then scene 6 for good.
        scratch.write("Syncro.txt", "10 20 30 40 50 100");
        ConsoleCapture quiet;
        showDirector().load("Syncro.txt", &device);
        showDirector().start();
    }
    void TearDown() override
    {
        device.detachWindow();
        ShowFixture::TearDown();
    }

    std::vector<std::string> renderAt(std::int32_t ms)
    {
        advanceMs(ms - showDirector().elapsedMs());
        ConsoleCapture quiet;
        showDirector().currentPath();
        // States a previous frame may have left: the frame must set them again.
        device.setBlendingCached(true);
        device.setAlphaRefCached(0.25f);
        device.clearCalls();
        demoRender();
        return frameSteps(device.calls);
    }
};

// Scene 0 unlit, scene 5 lit: the scene between the letterbox bands, then the lyrics
// overlay in its own projection.
TEST_F(DirectorFrameTest, FrameInOrderWithThreeLightsAfterTheViewInLitScenes)
{
    sceneCamera().set(1.0f, -2.0f, 3.0f, 10.0f, 20.0f, 0.0f);
    std::vector<std::string> expected = {"applyViewport(0, 0, 1024, 768)", "clearAll()", "beginFrame",
        "applyProjection()", "applyView()", "setBlending(0)", "setAlphaRef(0.5)", "applyScissor(0, 106, 1024, 556)",
        "applyScissor(0, 0, 1024, 768)", "applyProjection()", "applyView()", "setBlending(0)", "setBlending(0)",
        "applyProjection()", "onBeginScene()", "onPresent()", "window.swapBuffers"};
    device.viewsApplied.clear();
    EXPECT_EQ(renderAt(5), expected);
    EXPECT_EQ(window->swaps, 1);
    EXPECT_FLOAT_EQ(device.clearB, 70.0f / 255.0f);
    Mat4 projection;
    projection.setPerspective(90.0f, 0.1f, 1000.0f, 1024.0f / 768.0f);
    EXPECT_TRUE(std::equal(projection.m, projection.m + 16, device.projection.current().m));
    const Mat4 view = sceneCamera().viewMatrix();
    EXPECT_EQ(std::count_if(device.viewsApplied.begin(), device.viewsApplied.end(),
                  [&](const Mat4& m) { return std::equal(m.m, m.m + 16, view.m); }),
        1) << "the camera's view reaches the device once";
    const Vec3 eye = device.programConstants[0];
    EXPECT_TRUE(eye.x == -1.0f && eye.y == 2.0f && eye.z == -3.0f);

    expected.insert(expected.begin() + 5, {"applyLight(0, 0, 0, 15, 10)", "enableLightApi(0)",
        "applyLight(1, 0, 0, 50, -20)", "enableLightApi(1)", "applyLight(2, 1, 15, 39, -0.12)", "enableLightApi(2)"});
    EXPECT_EQ(renderAt(55), expected);
    ASSERT_EQ(showDirector().sceneIndex(), 5u);
    EXPECT_EQ(device.getLight(0)->specular, blue);
    EXPECT_EQ(device.getLight(1)->diffuse, yellow);
    EXPECT_FLOAT_EQ(device.getLight(2)->range, 200.0f);
}

}
