// The scenes' content and what each scene draws: the seven full-screen pictures, the
// cel models, the plain model and the six particle systems, loaded once, and the fixed
// recipe each of the fourteen scenes runs over them every frame. The director owns one.
// It owns the pictures, models and systems and, through them, their entries in the
// render device's tables until release; the particle sprite is shared, not owned.
#pragma once

#include "demo/effects/CelShadedModel.h"
#include "demo/effects/ParticleSystem.h"
#include "demo/effects/PictureLayer.h"
#include "demo/effects/ShowRandom.h"
#include "engine/geometry/Geometry.h"
#include "engine/math/Color.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ParticleSprite;
class RenderDevice;
struct Vec3;

constexpr int SCENE_COUNT = 14;
constexpr int PICTURE_COUNT = 7;
constexpr int MODEL_COUNT = 5;
constexpr int PARTICLE_SYSTEM_COUNT = 6;

// What a recipe's clear leaves in every pixel; the show's frame clear stands in for a
// scene's opening one (opensWithBlackClear), so both use this.
inline constexpr Color RECIPE_CLEAR = black;

// The cel models, in the order the content holds them (the fifth is never loaded).
enum ShowModel { MODEL_FIXE, MODEL_CAVE, MODEL_POLICE, MODEL_SOL, MODEL_SPARE };

// Adds name to missing unless it is there already: several loads share one file.
void noteMissing(std::vector<std::string>* missing, const char* name);

class SceneContent {
public:
    SceneContent();
    ~SceneContent();
    SceneContent(const SceneContent&) = delete;
    SceneContent& operator=(const SceneContent&) = delete;

    // Gives back what an earlier load took, then loads the pictures, the cel models with
    // the plain model among them, and the six particle systems on sprite, in that order.
    // A particle system that fails prints "erreur chargement moteur de particule" and
    // stays in its scenes (it then draws nothing). Files that did not load are added to
    // missing when given.
    void load(RenderDevice& device, const ParticleSprite& sprite, std::vector<std::string>* missing = nullptr);
    // Gives every table entry and buffer back to the device the content was loaded with.
    void release();

    // Scene scene's recipe (0 .. 13; others draw nothing), after the frame's background,
    // projection, view and lights. Pictures and particles move by frameDelta seconds;
    // camera is the scene camera's (negated eye) translation the billboards turn to.
    // With frameClearedBlack (the show has just cleared the whole frame to black, as
    // opensWithBlackClear allows), a recipe's opening clear is left out: the same pixels.
    void render(std::uint32_t scene, RenderDevice& device, float frameDelta, const Vec3& camera,
        bool frameClearedBlack = false);
    // Whether scene's recipe begins by clearing everything to black.
    static bool opensWithBlackClear(std::uint32_t scene);
    // render without drawing: the same particles, pictures and models advance exactly as
    // they would, no device or GL call. Seeking and stills run it on skipped frames.
    void simulate(std::uint32_t scene, float frameDelta, const Vec3& camera);
    // Back to the state load left: particles as first emitted, animations at their
    // start, the show's random sequence where loading left it.
    void reset();

    // Null / empty before load.
    const Geometry* plainGeometry() const { return plainGeometry_.get(); }
    const PictureLayer& picture(int i) const { return pictures_[i]; }
    const CelShadedModel& model(int i) const { return models_[i]; }
    const ParticleSystem& particleSystem(int i) const { return particles_[i]; }

private:
    // Runs the recipe; without a device it only advances what moves.
    void run(std::uint32_t scene, RenderDevice* device, float frameDelta, const Vec3& camera, bool skipOpeningClear);
    void loadModel(ShowModel which, const char* file, const char* animation, RenderDevice& device,
        std::vector<std::string>* missing);

    std::unique_ptr<Geometry> plainGeometry_;
    PictureLayer pictures_[PICTURE_COUNT];
    CelShadedModel models_[MODEL_COUNT];
    ParticleSystem particles_[PARTICLE_SYSTEM_COUNT];
    // Where the show's random sequence stood once everything was loaded: a replay from
    // the start continues from there.
    ShowRandomState randomAtLoad_;
};
