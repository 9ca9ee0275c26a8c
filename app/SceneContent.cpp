#include "app/SceneContent.h"

#include "demo/ShowFiles.h"
#include "engine/core/Console.h"
#include "engine/math/Color.h"
#include "engine/math/Mat4.h"
#include "engine/render/RenderDevice.h"

#include <algorithm>
#include <cstdint>

namespace {

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
    Push,          // the model-view stack below the device's matrices
    Pop,
    Translate,     // (0, 0, 10) on that stack
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

// The cave scenes (5 and its reprise 9). The figure and the rings go before the cave
// that surrounds them, so that the cave's pixels behind them fail the depth test before
// they are shaded; the cave is drawn in the state it would have had first in the frame
// (no program, the default material, which the frame before left), so the picture is
// the same as in the order cave, figure, rings.
const Recipe CAVE_RECIPE = {{Op::ModelCel, MODEL_FIXE}, {Op::Reset}, {Op::Push}, {Op::Translate}, {Op::Plain},
    {Op::Pop}, {Op::Reset}, {Op::ModelPlain, MODEL_CAVE}, {Op::Particles, 5}};

const Recipe RECIPES[SCENE_COUNT] = {
    {},
    {{Op::ClearBlack}, {Op::Picture, 0}},
    {{Op::ClearBlack}, {Op::Picture, 0}},
    {{Op::ClearBlack}, {Op::Reset}, {Op::Push}, {Op::Plain}, {Op::Pop}, {Op::Reset}, {Op::Picture, 1}},
    {{Op::ClearBlack}, {Op::Picture, 2}},
    CAVE_RECIPE,
    // The rings before the cave, for the same reason; the figure stays after the
    // particles, which it hides.
    {{Op::Reset}, {Op::Push}, {Op::Plain}, {Op::ModelPlain, MODEL_CAVE}, {Op::Reset}, {Op::Particles, 3},
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
    device.setClearColor(RECIPE_CLEAR.getRed(), RECIPE_CLEAR.getGreen(), RECIPE_CLEAR.getBlue());
    device.clearAll();
}

}

void noteMissing(std::vector<std::string>* missing, const char* name)
{
    if (missing && name && std::find(missing->begin(), missing->end(), name) == missing->end())
        missing->push_back(name);
}

SceneContent::SceneContent() = default;

SceneContent::~SceneContent() = default;

void SceneContent::loadModel(ShowModel which, const char* file, const char* animation, RenderDevice& device,
    std::vector<std::string>* missing)
{
    CelShadedModel& model = models_[which];
    if (!model.load(file, animation, &device))
        noteMissing(missing, file);
    if (animation && !model.animationRead())
        noteMissing(missing, animation);
    // The ramps, program and material are shared by every model: each is told once.
    if (model.tonesTexture() < 0)
        noteMissing(missing, showfiles::TONES);
    if (model.outlineTexture() < 0)
        noteMissing(missing, showfiles::OUTLINE_TONES);
    if (model.program() < 0)
        noteMissing(missing, showfiles::CEL_PROGRAM);
    if (model.material() < 0)
        noteMissing(missing, showfiles::CEL_MATERIAL);
}

void SceneContent::load(RenderDevice& device, const ParticleSprite& sprite, std::vector<std::string>* missing)
{
    release();
    for (int i = 0; i < PICTURE_COUNT; ++i) {
        pictures_[i].init(device, showfiles::PICTURES[i], sprite);
        if (pictures_[i].texture() < 0)
            noteMissing(missing, showfiles::PICTURES[i]);
    }

    loadModel(MODEL_SOL, showfiles::GROUND, showfiles::SWELLS, device, missing);
    plainGeometry_ = std::make_unique<Geometry>();
    if (!plainGeometry_->load(showfiles::ORBIT))
        noteMissing(missing, showfiles::ORBIT);
    loadModel(MODEL_POLICE, showfiles::DANCER, showfiles::DANCE, device, missing);
    loadModel(MODEL_FIXE, showfiles::FIGURE, nullptr, device, missing);
    loadModel(MODEL_CAVE, showfiles::CAVE, nullptr, device, missing);

    for (int i = 0; i < PARTICLE_SYSTEM_COUNT; ++i) {
        const ParticleSetup& s = PARTICLE_SETUPS[i];
        if (particles_[i].init(s.type, sprite, s.count, s.emitter, s.extent) == -1)
            consolePrintf("%s", PARTICLE_FAILURE);
    }
    randomAtLoad_ = showRandomState();
}

void SceneContent::release()
{
    for (PictureLayer& picture : pictures_)
        picture.release();
    for (CelShadedModel& model : models_)
        model.release();
    // Its meshes give their buffers and textures back as they go.
    plainGeometry_.reset();
}

void SceneContent::reset()
{
    for (PictureLayer& picture : pictures_)
        picture.rewind();
    for (CelShadedModel& model : models_)
        model.rewind();
    for (ParticleSystem& system : particles_)
        system.rewind();
    restoreShowRandom(randomAtLoad_);
}

void SceneContent::render(std::uint32_t scene, RenderDevice& device, float frameDelta, const Vec3& camera,
    bool frameClearedBlack)
{
    run(scene, &device, frameDelta, camera, frameClearedBlack);
}

void SceneContent::simulate(std::uint32_t scene, float frameDelta, const Vec3& camera)
{
    run(scene, nullptr, frameDelta, camera, false);
}

bool SceneContent::opensWithBlackClear(std::uint32_t scene)
{
    return scene < static_cast<std::uint32_t>(SCENE_COUNT) && RECIPES[scene].size() > 0
        && RECIPES[scene].begin()->op == Op::ClearBlack;
}

void SceneContent::run(std::uint32_t scene, RenderDevice* device, float frameDelta, const Vec3& camera,
    bool skipOpeningClear)
{
    if (scene >= static_cast<std::uint32_t>(SCENE_COUNT))
        return;
    for (const Step& step : RECIPES[scene]) {
        switch (step.op) {
        case Op::ClearBlack:
            if (device && !(skipOpeningClear && &step == RECIPES[scene].begin()))
                clearToBlack(*device);
            break;
        case Op::Reset:
            if (device) {
                device->setVertexProgram(-1);
                device->setMaterial(-1);
            }
            break;
        case Op::Push:
            if (device)
                device->pushModelView();
            break;
        case Op::Pop:
            if (device)
                device->popModelView();
            break;
        case Op::Translate:
            if (device)
                device->translateModelView(0.0f, 0.0f, 10.0f);
            break;
        case Op::Picture:
            if (device)
                pictures_[step.index].draw(*device, frameDelta, camera);
            else
                pictures_[step.index].simulate(frameDelta, camera);
            break;
        case Op::Plain:
            if (device && plainGeometry_)
                plainGeometry_->draw(*device);
            break;
        case Op::ModelPlain:
        case Op::ModelCel:
            if (device)
                models_[step.index].draw(step.op == Op::ModelCel);
            else
                models_[step.index].simulate();
            break;
        case Op::Particles:
            if (device)
                particles_[step.index].drawAndUpdate(*device, frameDelta, camera);
            else
                particles_[step.index].simulate(frameDelta, camera);
            break;
        case Op::SolWorld:
            models_[MODEL_SOL].world.setTranslation(0.0f, -160.0f, 0.0f);
            break;
        case Op::WorldIdentity:
            if (device)
                device->setWorld(Mat4());
            break;
        }
    }
}
