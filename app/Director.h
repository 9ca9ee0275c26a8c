// The show itself: the timeline of scene changes read from the sync file, one camera
// path per scene, the three scene lights, and (filled in by the scene content) what each
// scene draws. Each frame it works out from the time since the music started which of
// the fourteen scenes is on. It owns its paths and lights; it does not own the device,
// the camera or the music.
#pragma once

#include "app/CameraPath.h"
#include "demo/effects/CelShadedModel.h"
#include "demo/effects/ParticleSystem.h"
#include "demo/effects/PictureLayer.h"
#include "demo/effects/ShowRandom.h"
#include "engine/core/Stopwatch.h"
#include "engine/geometry/Geometry.h"
#include "engine/render/RenderTypes.h"

#include <cstdint>
#include <memory>
#include <vector>

class RenderDevice;
struct Vec3;

constexpr int SCENE_COUNT = 14;
constexpr int PICTURE_COUNT = 7;
constexpr int MODEL_COUNT = 5;
constexpr int PARTICLE_SYSTEM_COUNT = 6;

// The cel models, in the order the director holds them (the fifth is never loaded).
enum ShowModel { MODEL_FIXE, MODEL_CAVE, MODEL_POLICE, MODEL_SOL, MODEL_SPARE };

class Director {
public:
    Director();
    ~Director();
    Director(const Director&) = delete;
    Director& operator=(const Director&) = delete;

    // Reads the sync times, loads the fourteen camera paths, sets the lights, the
    // ambient light and trilinear filtering on stages 0 and 1, and loads the scene
    // content. device is not owned and may be null (nothing is sent then). False when the
    // sync file cannot be read: it says so and the show stays on scene 0.
    bool load(const char* syncFile, RenderDevice* device);
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

    // The scenes' content: the seven pictures, the cel models, the plain model and the six
    // particle systems, in that order. A particle system that fails prints "erreur
    // chargement moteur de particule" and stays in its scenes (it then draws nothing).
    void loadContent();
    // The current scene's drawing recipe, after the frame's background, projection, view
    // and lights. Pictures and particles move by frameDelta seconds; cameraTranslation is
    // the scene camera's (negated eye) translation the billboards turn to.
    void renderScene(float frameDelta, const Vec3& cameraTranslation);
    // renderScene without drawing: the same particles, pictures and models advance exactly
    // as they would, no device or GL call. Seeking and stills run it on skipped frames.
    void simulateScene(float frameDelta, const Vec3& cameraTranslation);

    // The content, for tools and tests; null / empty before loadContent.
    const Geometry* plainGeometry() const { return plainGeometry_.get(); }
    const PictureLayer& picture(int i) const { return pictures_[i]; }
    const CelShadedModel& model(int i) const { return models_[i]; }
    const ParticleSystem& particleSystem(int i) const { return particles_[i]; }
    // The content back to the state loadContent left it in: particles as first emitted,
    // animations at their start.
    void resetContent();

    std::uint32_t sceneIndex() const { return sceneIndex_; }
    const std::vector<std::int32_t>& syncTimes() const { return syncTimes_; }
    std::size_t pathCount() const { return paths_.size(); }
    RenderDevice* device() const { return device_; }
    // Milliseconds since start; the timeline is idle before.
    std::int32_t elapsedMs() const { return timeline_.elapsedMs(); }

private:
    bool readSyncTimes(const char* syncFile);
    void setLights();
    // Runs the current scene's recipe; draw false only advances what moves.
    void runScene(bool draw, float frameDelta, const Vec3& cameraTranslation);

    std::vector<std::int32_t> syncTimes_;
    std::vector<std::unique_ptr<CameraPath>> paths_;
    // What currentPath returns before load: no keys, free camera.
    CameraPath noPath_;
    Stopwatch timeline_;
    std::uint32_t sceneIndex_ = 0;
    Light lights_[8];
    RenderDevice* device_ = nullptr;

    std::unique_ptr<Geometry> plainGeometry_;
    PictureLayer pictures_[PICTURE_COUNT];
    CelShadedModel models_[MODEL_COUNT];
    ParticleSystem particles_[PARTICLE_SYSTEM_COUNT];
    // Where the show's random sequence stood once everything was loaded: a replay from
    // the start continues from there.
    ShowRandomState randomAtLoad_;
};
