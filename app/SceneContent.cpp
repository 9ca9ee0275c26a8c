#include "app/SceneContent.h"

#include "app/Director.h"
#include "engine/core/Console.h"
#include "engine/core/FrameClock.h"
#include "engine/geometry/Camera.h"
#include "engine/geometry/Geometry.h"
#include "engine/math/Color.h"
#include "engine/math/Mat4.h"
#include "engine/render/RenderDevice.h"
#include "engine/render/Window.h"

#include <GL/gl.h>

#include <cstdint>

namespace {

const char* const PICTURE_FILES[PICTURE_COUNT] = {"Scene0_Collectif.jpg", "Scene1_Mur.jpg", "Scene2_mare.jpg",
    "modeling.jpg", "code.jpg", "zik.jpg", "duzer.jpg"};
const char* const SPRITE_FILE = "Particle.bmp";
const char* const PLAIN_MODEL_FILE = "rien.qzg";
const char* const LOADING_PICTURE_FILE = "Scene0_Collectif.jpg";
const char* const PARTICLE_FAILURE = "erreur chargement moteur de particule";

struct ParticleSetup {
    int type;
    int count;
    Vec3 emitter;
    Vec3 extent;
};

const ParticleSetup PARTICLE_SETUPS[PARTICLE_SYSTEM_COUNT] = {
    {3, 1000, Vec3(0, 20, -30), Vec3(10, 10, 10)},         // spiral climbing in z
    {1, 1000, Vec3(-200, 20, -200), Vec3(200, 180, 200)}, // rain box
    {4, 500, Vec3(-20, 5, -150), Vec3(10, 10, 10)},       // swirl
    {6, 1000, Vec3(0, 10, 0), Vec3(10, 10, 10)},          // sphere
    {5, 2000, Vec3(0, 10, 0), Vec3(10, 10, 10)},          // streaks
    {0, 2000, Vec3(-30, 10, 0), Vec3(10, 10, 10)},        // fountain
};

// The steps a scene's recipe is made of.
enum class Op : std::uint8_t {
    ClearBlack,    // clear colour black, clear everything
    Reset,         // no vertex program, the device's default material
    Push,          // GL model-view stack
    Pop,
    Translate,     // (0, 0, 10) on the GL model-view stack
    Picture,       // picture layer `index`
    Plain,         // the plain model
    ModelPlain,    // cel model `index`, keeping the current program and material
    ModelCel,      // cel model `index` with its cel program and material
    Particles,     // particle system `index`
    SolWorld,      // the ground's world matrix: translation (0, -160, 0)
    WorldIdentity, // device world matrix to the identity
};

struct Step {
    Op op;
    int index = 0;
};

using Recipe = std::initializer_list<Step>;

// The cave scenes (5 and its reprise 9).
const Recipe CAVE_RECIPE = {{Op::ModelPlain, MODEL_CAVE}, {Op::ModelCel, MODEL_FIXE}, {Op::Reset}, {Op::Push},
    {Op::Translate}, {Op::Plain}, {Op::Pop}, {Op::Reset}, {Op::Particles, 5}};

const Recipe RECIPES[SCENE_COUNT] = {
    {},
    {{Op::ClearBlack}, {Op::Picture, 0}},
    {{Op::ClearBlack}, {Op::Picture, 0}},
    {{Op::ClearBlack}, {Op::Reset}, {Op::Push}, {Op::Plain}, {Op::Pop}, {Op::Reset}, {Op::Picture, 1}},
    {{Op::ClearBlack}, {Op::Picture, 2}},
    CAVE_RECIPE,
    {{Op::Reset}, {Op::Push}, {Op::ModelPlain, MODEL_CAVE}, {Op::Plain}, {Op::Reset}, {Op::Particles, 3},
        {Op::ModelCel, MODEL_FIXE}, {Op::Pop}},
    {{Op::ClearBlack}, {Op::Reset}, {Op::Push}, {Op::Plain}, {Op::Reset}, {Op::Particles, 3}, {Op::Particles, 0},
        {Op::Particles, 1}, {Op::Particles, 2}, {Op::Particles, 4}, {Op::Pop}, {Op::ModelCel, MODEL_FIXE}},
    {{Op::SolWorld}, {Op::ModelPlain, MODEL_SOL}, {Op::ModelCel, MODEL_POLICE}, {Op::Reset}, {Op::Push},
        {Op::Plain}, {Op::Reset}, {Op::WorldIdentity}, {Op::Particles, 1}, {Op::Pop}},
    CAVE_RECIPE,
    {{Op::ClearBlack}, {Op::Picture, 3}},
    {{Op::ClearBlack}, {Op::Picture, 4}},
    {{Op::ClearBlack}, {Op::Picture, 5}},
    {{Op::ClearBlack}, {Op::Picture, 6}},
};

void clearToBlack(RenderDevice& device)
{
    constexpr Color BLACK{0, 0, 0, 255};
    device.setClearColor(BLACK.getRed(), BLACK.getGreen(), BLACK.getBlue());
    device.clearAll();
}

void resetProgramAndMaterial(RenderDevice& device)
{
    device.setVertexProgram(-1);
    device.setMaterial(-1);
}

// The show's loading picture: a layer of its own, alive for the whole process.
PictureLayer loadingLayer;

}

Director::~Director() = default;

void loadingPicture(RenderDevice* device, const Camera& camera)
{
    loadingLayer.init(LOADING_PICTURE_FILE);
    if (!device)
        return;
    // Drawn over black and presented, so the title card stays up while the show loads.
    Window* window = device->getWindow();
    const int width = window ? static_cast<int>(window->width) : device->viewportWidth;
    const int height = window ? static_cast<int>(window->height) : device->viewportHeight;
    device->setViewport(0, 0, width, height);
    clearToBlack(*device);
    device->beginFrame();
    Mat4 projection;
    projection.setPerspective(90.0f, 0.1f, 1000.0f, height > 0 ? float(width) / float(height) : 1.0f);
    device->setProjection(projection);
    device->setView(camera.viewMatrix());
    loadingLayer.draw(*device, frameDelta(), Vec3(camera.x, camera.y, camera.z));
    device->endFrame();
}

void Director::loadContent()
{
    for (int i = 0; i < PICTURE_COUNT; ++i)
        pictures_[i].init(PICTURE_FILES[i]);

    models_[MODEL_SOL].load("sol.qzg", "sol.qza", device_);
    plainGeometry_ = std::make_unique<Geometry>();
    plainGeometry_->load(PLAIN_MODEL_FILE);
    models_[MODEL_POLICE].load("police.qzg", "police.qza", device_);
    models_[MODEL_FIXE].load("FIXE.qzg", nullptr, device_);
    models_[MODEL_CAVE].load("cave_Scene_4.qzg", nullptr, device_);

    for (int i = 0; i < PARTICLE_SYSTEM_COUNT; ++i) {
        const ParticleSetup& s = PARTICLE_SETUPS[i];
        if (particles_[i].init(s.type, SPRITE_FILE, s.count, s.emitter, s.extent) == -1)
            consolePrintf("%s", PARTICLE_FAILURE);
    }
    randomAtLoad_ = showRandomState();
}

void Director::resetContent()
{
    for (PictureLayer& picture : pictures_)
        picture.rewind();
    for (CelShadedModel& model : models_)
        model.rewind();
    for (ParticleSystem& system : particles_)
        system.rewind();
    restoreShowRandom(randomAtLoad_);
}

void Director::renderScene(float frameDelta, const Vec3& cameraTranslation)
{
    runScene(true, frameDelta, cameraTranslation);
}

void Director::simulateScene(float frameDelta, const Vec3& cameraTranslation)
{
    runScene(false, frameDelta, cameraTranslation);
}

void Director::runScene(bool draw, float frameDelta, const Vec3& camera)
{
    if (sceneIndex_ >= static_cast<std::uint32_t>(SCENE_COUNT) || (draw && !device_))
        return;
    RenderDevice* device = device_;
    for (const Step& step : RECIPES[sceneIndex_]) {
        switch (step.op) {
        case Op::ClearBlack:
            if (draw)
                clearToBlack(*device);
            break;
        case Op::Reset:
            if (draw)
                resetProgramAndMaterial(*device);
            break;
        case Op::Push:
            if (draw)
                glPushMatrix();
            break;
        case Op::Pop:
            if (draw)
                glPopMatrix();
            break;
        case Op::Translate:
            if (draw)
                glTranslatef(0.0f, 0.0f, 10.0f);
            break;
        case Op::Picture:
            if (draw) {
                pictures_[step.index].draw(*device, frameDelta, camera);
                device->stats.particles += pictures_[step.index].particles().drawnCount();
            } else {
                pictures_[step.index].simulate(frameDelta, camera);
            }
            break;
        case Op::Plain:
            if (draw && plainGeometry_)
                plainGeometry_->draw(*device);
            break;
        case Op::ModelPlain:
        case Op::ModelCel:
            if (draw)
                models_[step.index].draw(step.op == Op::ModelCel);
            else
                models_[step.index].simulate();
            break;
        case Op::Particles:
            if (draw) {
                particles_[step.index].drawAndUpdate(frameDelta, camera);
                device->stats.particles += particles_[step.index].drawnCount();
                // The particles set GL state past the device's cache; tell the cache what
                // they left so the next cached change reaches GL.
                recordParticleGLState(*device);
            } else {
                particles_[step.index].simulate(frameDelta, camera);
            }
            break;
        case Op::SolWorld:
            models_[MODEL_SOL].world.setTranslation(0.0f, -160.0f, 0.0f);
            break;
        case Op::WorldIdentity:
            if (draw)
                device->setWorld(Mat4());
            break;
        }
    }
}
