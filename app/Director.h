// The show's timeline: the scene changes read from the sync file, one camera path per
// scene, the three scene lights, and the scenes' content. Each frame it works out from
// the time since the music started which of the fourteen scenes is on and runs that
// scene's recipe. It owns its paths, lights and content; it does not own the device,
// the camera, the particle sprite or the music.
#pragma once

#include "app/CameraPath.h"
#include "app/SceneContent.h"
#include "engine/core/Stopwatch.h"
#include "engine/render/RenderTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ParticleSprite;
class RenderDevice;
struct Vec3;

class Director {
public:
    Director();
    ~Director();
    Director(const Director&) = delete;
    Director& operator=(const Director&) = delete;

    // Reads the sync times, loads the fourteen camera paths, sets the lights, the
    // ambient light and trilinear filtering on stages 0 and 1. device is not owned and
    // may be null (nothing is sent then). False when the sync file cannot be read: it
    // says so and the show stays on scene 0. The sync file and path files that did not
    // load are added to missing when given. The show then calls loadContent.
    bool load(const char* syncFile, RenderDevice* device, std::vector<std::string>* missing = nullptr);
    // The scenes' content on device (the one given to load), see SceneContent::load.
    void loadContent(const ParticleSprite& sprite, std::vector<std::string>* missing = nullptr);
    // Gives the content's table entries and buffers back to the device.
    void releaseContent() { content_.release(); }
    // The show's time zero: right after the music starts.
    void start();
    // Advances the scene past every sync time the timeline has gone beyond (printing
    // "scene : <n>" for each scene left) and returns the scene's path. Never goes back,
    // never beyond the last scene.
    CameraPath& currentPath();
    // Lights 0..2 on the device, in scenes 5 to 9 only.
    void applyLights();
    // Back to scene 0 with every path at its start, the content as loadContent left it,
    // and the timeline restarted now: the show replays from its start.
    void rewind();
    // Timeline milliseconds at which scene is on: 0 for scene 0, one past the sync time
    // that ends the scene before for the others (the change waits for a time strictly
    // past it). -1 for a scene the sync times never reach.
    std::int32_t sceneStartMs(std::uint32_t scene) const;

    // The current scene's drawing recipe, after the frame's background, projection, view
    // and lights. Pictures and particles move by frameDelta seconds; cameraTranslation is
    // the scene camera's (negated eye) translation the billboards turn to.
    // frameClearedBlack: the frame was just cleared to black whole (see sceneOpensBlack).
    void renderScene(float frameDelta, const Vec3& cameraTranslation, bool frameClearedBlack = false);
    // Whether the current scene's recipe opens by clearing everything to black.
    bool sceneOpensBlack() const { return SceneContent::opensWithBlackClear(sceneIndex_); }
    // renderScene without drawing: the same particles, pictures and models advance exactly
    // as they would, no device or GL call. Seeking and stills run it on skipped frames.
    void simulateScene(float frameDelta, const Vec3& cameraTranslation);

    // The content, for tools and tests; empty before loadContent.
    const SceneContent& content() const { return content_; }

    std::uint32_t sceneIndex() const { return sceneIndex_; }
    // Makes scene current before the timeline starts, for a rehearsal of the scenes at
    // load; rewind undoes it.
    void rehearse(std::uint32_t scene) { sceneIndex_ = scene < paths_.size() ? scene : sceneIndex_; }
    const std::vector<std::int32_t>& syncTimes() const { return syncTimes_; }
    std::size_t pathCount() const { return paths_.size(); }
    RenderDevice* device() const { return device_; }
    // Milliseconds since start; the timeline is idle before.
    std::int32_t elapsedMs() const { return timeline_.elapsedMs(); }

private:
    bool readSyncTimes(const char* syncFile);
    void setLights();

    std::vector<std::int32_t> syncTimes_;
    std::vector<std::unique_ptr<CameraPath>> paths_;
    // What currentPath returns before load: no keys, free camera.
    CameraPath noPath_;
    Stopwatch timeline_;
    std::uint32_t sceneIndex_ = 0;
    Light lights_[8];
    RenderDevice* device_ = nullptr;
    SceneContent content_;
};
