// What the director loads and each of the fourteen scenes draws, in order, through a
// device that records its calls: pictures by their texture, models by their triangle
// counts, the cel pass by the program parameters sent before a draw, particle systems by
// their clocks. The particle sprite gets a GL context of its own.
#include "app/Director.h"
#include "app/Show.h"
#include "demo/effects/ShowRandom.h"
#include "engine/geometry/AnimationTable.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/MountedDisk.h"
#include "tests/support/NullWindow.h"
#include "tests/support/RecordingDevice.h"
#include "tests/support/StandInShow.h"

#include "ConsoleCapture.h"
#include "ShowFixture.h"

#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

// The stand-in models by their triangle counts (STAND_IN_MODELS' order).
const char* const MODEL_NAMES[] = {"FIXE", "cave", "police", "sol", "rien"};

class SceneRecipeTest : public ShowFixture {
protected:
    void SetUp() override
    {
        ShowFixture::SetUp();
        if (!gl.ok())
            GTEST_SKIP() << "no GL context";
        // The cel program, script and ramps as the show has them, the rest stand-ins.
        std::string error;
        ASSERT_TRUE(writeStandInShow(scratch.path(), error)) << error;
        scratch.write("Syncro.txt", "10 20 30 40 50 60 70 80 90 100 110 120 130"); // every scene for 10 ms
        disk = std::make_unique<MountedDisk>(scratch.path());
        device.attachWindow(new NullWindow(64, 48));
        ConsoleCapture quiet;
        device.clearCalls();
        director.load(showfiles::SYNC, &device);
        ASSERT_TRUE(sprite.load(showfiles::SPRITE));
        director.loadContent(sprite);
        director.start();
    }
    void TearDown() override
    {
        director.releaseContent();
        sprite.release();
        device.detachWindow();
        disk.reset();
        AnimationTable::clear();
        ShowFixture::TearDown();
    }

    // The scene's frame as named steps: "clear", "picture N", "MODEL", "MODEL cel" or
    // "forward" (10 units along z on the model-view stack).
    std::vector<std::string> render(std::uint32_t scene, bool frameClearedBlack = false)
    {
        advanceMs(std::int32_t(scene) * 10 + 5 - director.elapsedMs());
        ConsoleCapture quiet;
        director.currentPath();
        EXPECT_EQ(director.sceneIndex(), scene);
        // As the lyrics overlay leaves every frame: no program, the default material.
        device.setVertexProgram(-1);
        device.setMaterial(-1);
        defaultMaterial = device.currentMaterial;
        device.clearCalls();
        director.applyLights();
        director.renderScene(0.02f, Vec3(0.0f, -10.0f, -5.0f), frameClearedBlack);
        std::vector<std::string> steps;
        bool parameters = false;
        int texture = -1;
        for (const std::string& call : device.calls) {
            std::vector<int> args; // the integer arguments of "name(a, b, ...)"
            for (std::size_t at = call.find('('); at != std::string::npos && call[at + 1] != ')'; at = call.find(',', at + 1))
                args.push_back(std::atoi(call.c_str() + at + 1));
            if (call == "clearAll()")
                steps.push_back("clear");
            else if (call == "translateModelView(0, 0, 10)")
                steps.push_back("forward");
            else if (call.rfind("setMatrixParameter(", 0) == 0)
                parameters = true;
            else if (call.rfind("setTexture(0, ", 0) == 0)
                texture = args[1];
            else if (call.rfind("compileList(", 0) == 0)
                listIndices[args[0]] = args[2];
            else if (call.rfind("callList(", 0) == 0 && listIndices[args[0]] >= 3) {
                steps.push_back(std::string(MODEL_NAMES[listIndices[args[0]] / 3 - 1]) + (parameters ? " cel" : ""));
                parameters = false;
            } else if (call.rfind("drawArrays(", 0) == 0) {
                for (int p = 0; p < PICTURE_COUNT; ++p)
                    if (director.content().picture(p).texture() == texture)
                        steps.push_back("picture " + std::to_string(p));
                parameters = false;
            }
        }
        return steps;
    }

    GLTestContext gl{16, 16};
    ParticleSprite sprite;
    Director director;
    RecordingDevice device;
    Material* defaultMaterial = nullptr;
    std::map<int, int> listIndices; // display list -> its index count
    std::unique_ptr<MountedDisk> disk;
};

// Loading sets a white ambient light and trilinear filtering, but no light: lights reach
// the device only in the lit scenes.
TEST_F(SceneRecipeTest, LoadSetsTheAmbientLightAndEveryScenesRecipeFollowsInOrder)
{
    EXPECT_EQ(device.count("applyAmbientLight()") + device.count("setTextureFilter(0, 2)")
            + device.count("setTextureFilter(1, 2)"), 3);
    EXPECT_EQ(device.count("applyLight("), 0);
    EXPECT_TRUE(device.ambientLight[0] == 1.0f && device.ambientLight[3] == 1.0f);
    const struct {
        std::uint32_t scene;
        std::vector<std::string> steps;
        std::vector<int> particleSystems; // advanced by the frame, in index order
        bool defaultMaterialAfter;        // the cel pass's material and program do not outlive the scene
    } cases[] = {
        {0, {}, {}, true},
        {1, {"clear", "picture 0"}, {}, true},
        {2, {"clear", "picture 0"}, {}, true},
        {3, {"clear", "rien", "picture 1"}, {}, true},
        {4, {"clear", "picture 2"}, {}, true},
        // What stands inside the cave goes first, so the cave's hidden pixels fail early.
        {5, {"FIXE cel", "forward", "rien", "cave"}, {5}, true},
        {6, {"rien", "cave", "FIXE cel"}, {3}, false},
        {7, {"clear", "rien", "FIXE cel"}, {0, 1, 2, 3, 4}, false},
        {8, {"sol", "police cel", "rien"}, {1}, true},
        {9, {"FIXE cel", "forward", "rien", "cave"}, {5}, true},
        {10, {"clear", "picture 3"}, {}, true},
        {11, {"clear", "picture 4"}, {}, true},
        {12, {"clear", "picture 5"}, {}, true},
        {13, {"clear", "picture 6"}, {}, true},
    };
    for (const auto& c : cases) {
        float before[PARTICLE_SYSTEM_COUNT];
        for (int i = 0; i < PARTICLE_SYSTEM_COUNT; ++i)
            before[i] = director.content().particleSystem(i).time();
        EXPECT_EQ(render(c.scene), c.steps) << "scene " << c.scene;
        std::vector<int> advanced;
        for (int i = 0; i < PARTICLE_SYSTEM_COUNT; ++i)
            if (director.content().particleSystem(i).time() != before[i])
                advanced.push_back(i);
        EXPECT_EQ(advanced, c.particleSystems) << "scene " << c.scene;
        EXPECT_EQ(device.currentMaterial == defaultMaterial && device.currentProgram == nullptr, c.defaultMaterialAfter)
            << "scene " << c.scene;
        EXPECT_EQ(device.clearR + device.clearG + device.clearB, 0.0f) << "scenes clear to black";
        EXPECT_EQ(device.count("enableLightApi("), c.scene >= 5 && c.scene <= 9 ? 3 : 0) << "scene " << c.scene;
        // A frame already cleared to black whole leaves out the recipe's opening clear.
        const bool opensBlack = !c.steps.empty() && c.steps[0] == "clear";
        EXPECT_EQ(director.sceneOpensBlack(), opensBlack) << "scene " << c.scene;
        EXPECT_EQ(render(c.scene, true), std::vector<std::string>(c.steps.begin() + opensBlack, c.steps.end()));
    }
    EXPECT_FLOAT_EQ(director.content().model(MODEL_SOL).world.m[13], -160.0f) << "the ground stands 160 units down";
    EXPECT_EQ(director.content().model(MODEL_SPARE).geometry(), nullptr) << "the fifth model is never loaded";
}

// Each system's type, count and emission point (rain: over its box); a rewind restarts
// them and the random sequence where loading left it.
TEST_F(SceneRecipeTest, ParticleSystemsAreTheShowsSixAndARewindRestartsThem)
{
    const struct { int type, count; float low[3], high[3]; } systems[] = {
        {3, 1000, {0, 20, -30}, {0, 20, -30}}, {1, 1000, {-200, 20, -200}, {200, 180, 200}},
        {4, 500, {-20, 5, -150}, {-20, 5, -150}}, {6, 1000, {0, 10, 0}, {0, 10, 0}}, {5, 2000, {0, 10, 0}, {0, 10, 0}},
        {0, 2000, {-30, 10, 0}, {-30, 10, 0}}};
    for (int i = 0; i < PARTICLE_SYSTEM_COUNT; ++i) {
        const ParticleSystem& system = director.content().particleSystem(i);
        ASSERT_TRUE(system.type() == systems[i].type && system.count() == systems[i].count) << i;
        for (int k = 0; k < 3; ++k) {
            float low = 1e9f, high = -1e9f;
            for (const Particle* p = system.particles(); p != system.particles() + system.count(); ++p)
                low = std::min(low, (&p->origin.x)[k]), high = std::max(high, (&p->origin.x)[k]);
            const float slack = systems[i].type == 1 ? 5.0f : 0.0f; // rain: a thousand random points of the box
            EXPECT_TRUE(std::abs(low - systems[i].low[k]) <= slack && std::abs(high - systems[i].high[k]) <= slack)
                << i << " axis " << k << ": " << low << " to " << high;
        }
    }
    std::vector<int> first, again;
    for (int i = 0; i < 8; ++i)
        first.push_back(showRand());
    render(1), render(7);
    director.rewind();
    for (int i = 0; i < 8; ++i)
        again.push_back(showRand());
    EXPECT_TRUE(again == first && director.content().particleSystem(0).time() == 0.0f);
    EXPECT_EQ(director.content().picture(0).particles().time(), 0.0f);
}

// References held on the device's tables and buffers in use.
int held(const RenderDevice& device)
{
    int n = 0;
    for (int i = 0; i < RenderDevice::TextureCount; ++i)
        n += device.textures.useCount(i);
    for (int i = 0; i < RenderDevice::MaterialCount; ++i)
        n += device.materials.useCount(i) + device.programs.useCount(i);
    return n + int(std::count_if(device.buffers.begin(), device.buffers.end(), [](const BufferRecord& b) { return b.list != -1; }));
}

// Loaded again, the content holds what it held; with a sprite that did not load, every
// picture layer and particle system says so.
TEST_F(SceneRecipeTest, ReloadedContentHoldsNoMoreAndEveryParticleSystemReportsAMissingSprite)
{
    const int loaded = held(device);
    ParticleSprite none;
    std::string again, missing;
    for (auto [used, printed] : {std::pair{&sprite, &again}, {&none, &missing}}) {
        ConsoleCapture console;
        director.loadContent(*used);
        *printed = console.text();
        EXPECT_EQ(held(device), loaded);
    }
    const std::string report = "erreur chargement moteur de particule";
    EXPECT_EQ(again.find(report), std::string::npos) << again;
    std::size_t reports = 0;
    for (std::size_t at = missing.find(report); at != std::string::npos; at = missing.find(report, at + 1))
        ++reports;
    EXPECT_EQ(reports, std::size_t(PICTURE_COUNT + PARTICLE_SYSTEM_COUNT)) << missing;
}

// The first frame the show's load presents: the loading picture over the whole window.
// Closed, the show holds nothing more on the device than before it loaded.
TEST_F(SceneRecipeTest, LoadingPictureIsTheFirstFramePresentedOverTheWholeWindowAndCloseGivesAllBack)
{
    const int before = held(device);
    Show show;
    device.clearCalls();
    {
        ConsoleCapture quiet;
        EXPECT_TRUE(show.load(device, scratch.path()).missingForPictures().empty());
    }
    const auto presented = std::find(device.calls.begin(), device.calls.end(), "onPresent()");
    ASSERT_NE(presented, device.calls.end());
    const std::vector<std::string> first(device.calls.begin(), presented);
    auto count = [&first](const std::string& prefix) {
        return std::count_if(first.begin(), first.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    };
    EXPECT_EQ(count("applyViewport(0, 0, 64, 48)") + count("drawArrays("), 2);
    Mat4 projection;
    projection.setPerspective(90.0f, 0.1f, 1000.0f, 64.0f / 48.0f);
    EXPECT_TRUE(std::equal(projection.m, projection.m + 16, device.projection.current().m));
    EXPECT_GT(held(device), before + 10);
    show.close();
    EXPECT_EQ(held(device), before);
}

}
