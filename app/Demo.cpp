#include "app/Demo.h"

#include "app/CameraModes.h"
#include "app/DataFolder.h"
#include "app/Director.h"
#include "app/NoInput.h"
#include "app/SceneContent.h"
#include "app/Sound.h"
#include "engine/core/Console.h"
#include "demo/effects/LyricsText.h"
#include "demo/effects/ShowRandom.h"
#include "engine/core/FileSystems.h"
#include "engine/core/FrameClock.h"
#include "engine/geometry/Camera.h"
#include "engine/math/Color.h"
#include "engine/math/Mat4.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/Window.h"
#include "platform/TimeSource.h"

#include <algorithm>
#include <chrono>

#include <cstdint>

namespace {

Director director;
Camera camera;
LyricsText lyrics;

const char* const SYNC_FILE = "Syncro.txt";
const char* const MUSIC_FILE = "rap2.mp3";
const char* const LYRICS_FILE = "rap.txt";
const char* const FONT_FILE = "Verdana256.bmp";
// The particles' one generator starts from the same seed on every run, so a render is
// the same frame for frame.
constexpr std::uint32_t RANDOM_SEED = 1;
constexpr int MUSIC_KEY = 1;
constexpr Color BACKGROUND{0, 0, 70, 255};
constexpr float FIELD_OF_VIEW = 90.0f;
constexpr float NEAR_PLANE = 0.1f;
constexpr float FAR_PLANE = 1000.0f;
constexpr float ALPHA_REF = 0.5f;

Window* showWindow()
{
    return director.device() ? director.device()->getWindow() : nullptr;
}

// Where the show's camera starts.
void placeCamera()
{
    camera.set(0.0f, -10.0f, -5.0f, 0.0f, 0.0f, 0.0f);
    camera.lookAt(0.0f, 0.0f, 0.0f);
}

}

Director& showDirector()
{
    return director;
}

Camera& sceneCamera()
{
    return camera;
}

void demoInit()
{
    // Every later relative name (sync file, paths, music) resolves inside the data folder.
    DataFolderSearch data = findDataFolder();
    setDirectory(data.found.empty() ? "Data" : data.found.c_str());
    seedShowRandom(RANDOM_SEED);
    loadingPicture(currentDevice, camera);
    director.load(SYNC_FILE, currentDevice);

    soundInit();
    int music = loadSample(MUSIC_FILE, 0);
    playSample(music, MUSIC_KEY);
    director.start();
    lyrics.startClock();
    lyrics.init(LYRICS_FILE, FONT_FILE);

    placeCamera();
}

void demoUpdate()
{
    tick();
    handleKeys(director.currentPath());
    cameraStep(director, camera, showWindow());
}

void demoRender()
{
    RenderDevice* device = director.device();
    if (!device)
        return;
    if (Window* window = device->getWindow())
        device->setViewport(0, 0, static_cast<int>(window->width), static_cast<int>(window->height));
    else
        device->setViewport(0, 0, device->viewportWidth, device->viewportHeight);
    device->setClearColor(BACKGROUND.getRed(), BACKGROUND.getGreen(), BACKGROUND.getBlue());
    device->clearAll();
    device->beginFrame();

    float aspect = device->viewportHeight != 0
        ? static_cast<float>(device->viewportWidth) / static_cast<float>(device->viewportHeight)
        : 1.0f;
    Mat4 projection;
    projection.setPerspective(FIELD_OF_VIEW, NEAR_PLANE, FAR_PLANE, aspect);
    device->setProjection(projection);
    device->setView(camera.viewMatrix());
    director.applyLights();
    device->setBlendingCached(false);
    device->setAlphaRefCached(ALPHA_REF);

    Vec3 translation(camera.x, camera.y, camera.z);
    device->setProgramConstant(0, Vec3(-camera.x, -camera.y, -camera.z));
    // The lyrics' letterbox covers the top and bottom bands opaquely, so the scene is
    // drawn only between them: a third less to fill, the same picture.
    const int width = device->viewportWidth;
    const int height = device->viewportHeight;
    device->setScissor(0, LyricsText::BAND_HEIGHT, width, height - 2 * LyricsText::BAND_HEIGHT);
    director.renderScene(frameDelta(), translation);
    device->setScissor(0, 0, width, height);
    lyrics.draw(*device);

    device->onBeginScene();
    device->endFrame();
}

void demoAdvance()
{
    demoUpdate();
    director.simulateScene(frameDelta(), Vec3(camera.x, camera.y, camera.z));
    lyrics.advance();
}

SeekReport demoSeek(std::int32_t showMs)
{
    const auto began = std::chrono::steady_clock::now();
    soundSystem().pauseKey(MUSIC_KEY, true);
    Window* window = showWindow();
    NoInput untouched(window ? static_cast<int>(window->width) / 2 : 0,
        window ? static_cast<int>(window->height) / 2 : 0);

    // Time zero of the replay, as a fixed-rate run from the start has it: the first
    // frame measures no time, every later one a whole step.
    const bool live = !platform::virtualClockActive();
    platform::useVirtualClock(0);
    restartFrameClock();
    placeCamera();
    director.rewind();
    lyrics.rewind();

    // Every frame a run from the start would have begun before showMs; then the clocks
    // land on showMs itself, where the next frame (drawn) begins.
    const std::int64_t target = std::int64_t(std::max(showMs, 0)) * 1000000;
    SeekReport report;
    std::int64_t now = 0;
    while (frameTimeNs(report.frames, FIXED_FPS) < target) {
        const std::int64_t begins = frameTimeNs(report.frames, FIXED_FPS);
        platform::advanceVirtualClockBy(begins - now);
        now = begins;
        demoAdvance();
        ++report.frames;
    }
    platform::advanceVirtualClockBy(target - now);
    if (live)
        platform::resumeRealClock();
    soundSystem().seekKey(MUSIC_KEY, std::max(showMs, 0));
    report.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    consolePrintf("seek : %d ms, %lld frames in %.1f ms\n", static_cast<int>(std::max(showMs, 0)),
        static_cast<long long>(report.frames), report.milliseconds);
    return report;
}
