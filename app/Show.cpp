#include "app/Show.h"

#include "app/CameraModes.h"
#include "app/NoInput.h"
#include "app/Sound.h"
#include "demo/DesignFrame.h"
#include "demo/ShowFiles.h"
#include "demo/effects/ShowRandom.h"
#include "engine/core/Console.h"
#include "engine/core/FileSystems.h"
#include "engine/core/FrameClock.h"
#include "engine/math/Color.h"
#include "engine/math/Mat4.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/Window.h"
#include "platform/TimeSource.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace {

// The particles' one generator starts from the same seed on every run, so a render is
// the same frame for frame.
constexpr std::uint32_t RANDOM_SEED = 1;
constexpr int MUSIC_KEY = 1;
constexpr Color BACKGROUND{0, 0, 70, 255};
constexpr Color LOADING_BACKGROUND{0, 0, 0, 255};
constexpr Color BARS{0, 0, 0, 255};
constexpr float FIELD_OF_VIEW = 90.0f;
constexpr float NEAR_PLANE = 0.1f;
constexpr float FAR_PLANE = 1000.0f;
constexpr float ALPHA_REF = 0.5f;

void setPerspective(RenderDevice& device, int width, int height)
{
    Mat4 projection;
    projection.setPerspective(FIELD_OF_VIEW, NEAR_PLANE, FAR_PLANE,
        height > 0 ? static_cast<float>(width) / static_cast<float>(height) : 1.0f);
    device.setProjection(projection);
}

void clearTo(RenderDevice& device, const Color& colour)
{
    device.setClearColor(colour.getRed(), colour.getGreen(), colour.getBlue());
    device.clearAll();
}

// The viewport becomes the show's frame in a window of width x height: the whole window
// when it has the design's shape, else the centred rectangle of that shape, with the bars
// around it cleared to black.
void frameViewport(RenderDevice& device, int width, int height)
{
    const design::Rect frame = design::frameIn(width, height);
    // The device's viewport counts rows from the bottom.
    const int bottom = height - frame.y - frame.height;
    if (device.placesFrames()) {
        device.framePlace = {frame.x, bottom, frame.width, frame.height};
        device.setViewport(0, 0, frame.width, frame.height);
        return;
    }
    if (frame.width != width || frame.height != height) {
        device.setViewport(0, 0, width, height);
        clearTo(device, BARS);
    }
    device.setViewport(frame.x, bottom, frame.width, frame.height);
}

}

bool ShowLoadReport::drawsNothing() const
{
    using showfiles::Kind;
    std::size_t drawable = 0;
    std::size_t gone = 0;
    for (const showfiles::Entry& entry : showfiles::ALL) {
        if (entry.kind != Kind::Picture && entry.kind != Kind::Model && entry.kind != Kind::Sprite)
            continue;
        ++drawable;
        gone += std::find(missing.begin(), missing.end(), entry.name) != missing.end();
    }
    return gone == drawable;
}

std::vector<std::string> ShowLoadReport::missingForPictures() const
{
    std::vector<std::string> names;
    for (const std::string& name : missing)
        if (name != showfiles::MUSIC)
            names.push_back(name);
    return names;
}

std::string joinNames(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

Show::Show() = default;

Show::~Show()
{
    close();
}

Window* Show::window() const
{
    return device_ ? device_->getWindow() : nullptr;
}

void Show::placeCamera()
{
    camera_.set(0.0f, -10.0f, -5.0f, 0.0f, 0.0f, 0.0f);
    camera_.lookAt(0.0f, 0.0f, 0.0f);
}

// The title card over black, presented, so it stays up while the rest loads.
void Show::showLoadingPicture()
{
    RenderDevice& device = *device_;
    loading_.init(device, showfiles::LOADING_PICTURE, sprite_);
    if (Window* shown = window())
        frameViewport(device, static_cast<int>(shown->width), static_cast<int>(shown->height));
    else
        device.setViewport(0, 0, device.viewportWidth, device.viewportHeight);
    clearTo(device, LOADING_BACKGROUND);
    device.beginFrame();
    setPerspective(device, device.viewportWidth, device.viewportHeight);
    device.setView(camera_.viewMatrix());
    loading_.draw(device, frameDelta(), Vec3(camera_.x, camera_.y, camera_.z));
    device.endFrame();
}

void Show::loadLyrics(std::vector<std::string>& missing)
{
    lyrics_.startClock();
    lyrics_.init(*device_, fonts_, showfiles::LYRICS, showfiles::FONT, showfiles::BAND);
    if (lyrics_.entries().empty())
        noteMissing(&missing, showfiles::LYRICS);
    const BitmapFont* font = lyrics_.font();
    if (!font || font->image().empty())
        noteMissing(&missing, showfiles::FONT);
    if (!font || !font->hasWidthTable())
        noteMissing(&missing, showfiles::FONT_WIDTHS);
    if (!lyrics_.bandsLoaded())
        noteMissing(&missing, showfiles::BAND);
}

ShowLoadReport Show::load(RenderDevice& device, const std::string& dataFolder, std::int32_t startMs)
{
    close();
    device_ = &device;
    fonts_ = FontRegistry();
    ShowLoadReport report;
    report.dataFolder = dataFolder;
    std::vector<std::string>& missing = report.missing;

    // Every later relative name (sync file, paths, music) resolves inside the data folder.
    setDirectory(dataFolder.c_str());
    seedShowRandom(RANDOM_SEED);
    if (!sprite_.load(showfiles::SPRITE))
        noteMissing(&missing, showfiles::SPRITE);
    showLoadingPicture();
    director_.load(showfiles::SYNC, device_, &missing);
    director_.loadContent(sprite_, &missing);
    rehearseScenes();

    soundInit();
    const int music = loadSample(showfiles::MUSIC, 0);
    if (!isValidSlot(music))
        noteMissing(&missing, showfiles::MUSIC);
    musicSlot_ = music;
    if (startMs <= 0)
        playSample(music, MUSIC_KEY);
    director_.start();
    loadLyrics(missing);
    placeCamera();
    if (startMs > 0)
        seek(startMs);
    return report;
}

void Show::close()
{
    if (!device_)
        return;
    director_.releaseContent();
    lyrics_.release();
    loading_.release();
    sprite_.release();
    device_ = nullptr;
}

void Show::update()
{
    tick();
    handleKeys(director_.currentPath());
    cameraStep(director_, camera_, window());
}

// Every scene drawn once, unseen, from its camera path's start, before the music starts:
// a software rasteriser builds the shading programs of each new combination of states at
// its first draw, which made a scene's first frame two to three frame times long, a
// stutter at every scene change. Then the director, its content and the show's random
// sequence go back to where loading left them.
void Show::rehearseScenes()
{
    if (!window())
        return;
    for (std::uint32_t scene = 0; scene < std::uint32_t(SCENE_COUNT); ++scene) {
        director_.rehearse(scene);
        cameraStep(director_, camera_, window());
        drawFrame(false);
    }
    director_.rewind();
    placeCamera();
}

void Show::render()
{
    if (!device_)
        return;
    drawFrame(true);
    device_->onBeginScene();
    device_->endFrame();
}

void Show::drawFrame(bool withLyrics)
{
    RenderDevice& device = *device_;
    if (Window* shown = window())
        frameViewport(device, static_cast<int>(shown->width), static_cast<int>(shown->height));
    else
        device.setViewport(0, 0, device.viewportWidth, device.viewportHeight);
    // A scene that opens by clearing to black has that done by the frame's own clear: over
    // the whole frame a software rasteriser clears nearly for free, where the scene's
    // clear, held to the box between the bands, costs it a drawn rectangle.
    const bool black = director_.sceneOpensBlack();
    clearTo(device, black ? RECIPE_CLEAR : BACKGROUND);
    device.beginFrame();

    setPerspective(device, device.viewportWidth, device.viewportHeight);
    device.setView(camera_.viewMatrix());
    director_.applyLights();
    device.setBlendingCached(false);
    device.setAlphaRefCached(ALPHA_REF);

    Vec3 translation(camera_.x, camera_.y, camera_.z);
    device.setProgramConstant(0, Vec3(-camera_.x, -camera_.y, -camera_.z));
    // The lyrics' letterbox covers the top and bottom bands opaquely, so the scene is
    // drawn only between them: a third less to fill, the same picture. The rows the
    // scaled bands cover only in part stay in the scene's box.
    const int width = device.viewportWidth;
    const int height = device.viewportHeight;
    const int band = static_cast<int>(LyricsText::bandHeight(height));
    device.setScissor(0, band, width, height - 2 * band);
    director_.renderScene(frameDelta(), translation, black);
    device.setScissor(0, 0, width, height);
    if (withLyrics)
        lyrics_.draw(device, black);
}

void Show::advance()
{
    update();
    director_.simulateScene(frameDelta(), Vec3(camera_.x, camera_.y, camera_.z));
    lyrics_.advance();
}

SeekReport Show::seek(std::int32_t showMs)
{
    const auto began = std::chrono::steady_clock::now();
    soundSystem().pauseKey(MUSIC_KEY, true);
    Window* shown = window();
    NoInput untouched(shown ? static_cast<int>(shown->width) / 2 : 0,
        shown ? static_cast<int>(shown->height) / 2 : 0);

    // Time zero of the replay, as a fixed-rate run from the start has it: the first
    // frame measures no time, every later one a whole step.
    const bool live = !platform::virtualClockActive();
    platform::useVirtualClock(0);
    restartFrameClock();
    placeCamera();
    director_.rewind();
    lyrics_.rewind();

    // Every frame a run from the start would have begun before showMs; then the clocks
    // land on showMs itself, where the next frame (drawn) begins.
    const std::int64_t target = std::int64_t(std::max(showMs, 0)) * 1000000;
    SeekReport report;
    std::int64_t now = 0;
    while (frameTimeNs(report.frames, FIXED_FPS) < target) {
        const std::int64_t begins = frameTimeNs(report.frames, FIXED_FPS);
        platform::advanceVirtualClockBy(begins - now);
        now = begins;
        advance();
        ++report.frames;
    }
    platform::advanceVirtualClockBy(target - now);
    if (live)
        platform::resumeRealClock();
    // A show loaded to start later has not started its music yet.
    if (!soundSystem().seekKey(MUSIC_KEY, std::max(showMs, 0))) {
        playSample(musicSlot_, MUSIC_KEY);
        soundSystem().seekKey(MUSIC_KEY, std::max(showMs, 0));
    }
    report.milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    consolePrintf("seek : %d ms, %lld frames in %.1f ms\n", static_cast<int>(std::max(showMs, 0)),
        static_cast<long long>(report.frames), report.milliseconds);
    return report;
}
