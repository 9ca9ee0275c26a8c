// What each of the fourteen scenes draws, and in which order, through a device that
// records its calls: pictures by their texture, models by their triangle counts, the cel
// pass by the program parameters sent before a draw, particle systems by their clocks.
// The particle systems get a GL context of their own for their sprites.
#include "app/Director.h"
#include "app/SceneContent.h"
#include "demo/effects/ShowRandom.h"
#include "engine/geometry/Camera.h"
#include "engine/geometry/AnimationTable.h"
#include "engine/geometry/BinaryWriter.h"
#include "engine/geometry/GeometryWriter.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/BmpWriter.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/MountedDisk.h"
#include "tests/support/NullWindow.h"
#include "tests/support/RecordingDevice.h"

#include "ConsoleCapture.h"
#include "ShowFixture.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// The model files, each with as many triangles as its position here plus one, so a draw
// names its model.
const char* const MODEL_FILES[] = {"FIXE.qzg", "cave_Scene_4.qzg", "police.qzg", "sol.qzg", "rien.qzg"};
const char* const MODEL_NAMES[] = {"FIXE", "cave", "police", "sol", "rien"};
const char* const PICTURES[] = {"Scene0_Collectif.jpg", "Scene1_Mur.jpg", "Scene2_mare.jpg", "modeling.jpg",
    "code.jpg", "zik.jpg", "duzer.jpg"};

void writeModel(const std::string& path, int triangles)
{
    Geometry g;
    auto mesh = std::make_shared<Mesh>(false);
    mesh->vertices.allocate(3, 0x00B);
    for (int t = 0; t < triangles; ++t)
        mesh->triangles.indices.insert(mesh->triangles.indices.end(), {0, 1, 2});
    mesh->triangles.count = std::uint32_t(triangles);
    g.addItem(std::make_unique<MeshMaterial>(), mesh);
    BinaryWriter out;
    GeometryWriter::writeGeneral(out, g);
    ASSERT_TRUE(out.saveAs(path));
}

// The integer arguments of a recorded call "name(a, b, ...)".
std::vector<int> arguments(const std::string& call)
{
    std::vector<int> values;
    std::size_t at = call.find('(');
    while (at != std::string::npos && at + 1 < call.size() && call[at + 1] != ')') {
        values.push_back(std::atoi(call.c_str() + at + 1));
        at = call.find(',', at + 1);
    }
    return values;
}

struct SceneCase {
    std::uint32_t scene;
    std::vector<std::string> steps;
    std::vector<int> particleSystems; // advanced by the frame, in index order
    bool defaultMaterialAfter;        // the cel pass's material and program do not outlive the scene
};

class SceneRecipeTest : public ShowFixture {
protected:
    void SetUp() override
    {
        ShowFixture::SetUp();
        if (!gl.ok())
            GTEST_SKIP() << "no GL context";
        // The cel program, script and ramps, as the show has them.
        ASSERT_EQ(runChild({VELVET_BUILD_DIR "/datagen", "--text", scratch.path()}).exitStatus, 0);
        for (int i = 0; i < 5; ++i)
            writeModel(scratch.file(MODEL_FILES[i]), i + 1);
        for (const char* picture : PICTURES)
            ASSERT_EQ(runCommand("convert -size 4x4 xc:gray " + shellQuote(scratch.file(picture))), 0);
        scratch.write("Particle.bmp", solidBmp(4, 4, 9, 9, 9));
        // Every scene for 10 ms.
        scratch.write("Syncro.txt", "10 20 30 40 50 60 70 80 90 100 110 120 130");
        disk = std::make_unique<MountedDisk>(scratch.path());
        device.attachWindow(new NullWindow(64, 48));
        ConsoleCapture quiet;
        director.load("Syncro.txt", &device);
        director.start();
    }
    void TearDown() override
    {
        device.detachWindow();
        disk.reset();
        AnimationTable::clear();
        ShowFixture::TearDown();
    }

    // The scene's frame as named steps: "clear", "picture N", "MODEL" or "MODEL cel".
    std::vector<std::string> render(std::uint32_t scene)
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
        director.renderScene(0.02f, Vec3(0.0f, -10.0f, -5.0f));
        std::vector<std::string> steps;
        bool parameters = false;
        int texture = -1;
        for (const std::string& call : device.calls) {
            const std::vector<int> args = arguments(call);
            if (call == "clearAll()")
                steps.push_back("clear");
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
                    if (director.picture(p).texture() == texture)
                        steps.push_back("picture " + std::to_string(p));
                parameters = false;
            }
        }
        return steps;
    }

    GLTestContext gl{16, 16};
    Director director;
    RecordingDevice device;
    Material* defaultMaterial = nullptr;
    std::map<int, int> listIndices; // display list -> its index count
    std::unique_ptr<MountedDisk> disk;
};

TEST_F(SceneRecipeTest, EveryScenesRecipeInOrder)
{
    const SceneCase cases[] = {
        {0, {}, {}, true},
        {1, {"clear", "picture 0"}, {}, true},
        {2, {"clear", "picture 0"}, {}, true},
        {3, {"clear", "rien", "picture 1"}, {}, true},
        {4, {"clear", "picture 2"}, {}, true},
        {5, {"cave", "FIXE cel", "rien"}, {5}, true},
        {6, {"cave", "rien", "FIXE cel"}, {3}, false},
        {7, {"clear", "rien", "FIXE cel"}, {0, 1, 2, 3, 4}, false},
        {8, {"sol", "police cel", "rien"}, {1}, true},
        {9, {"cave", "FIXE cel", "rien"}, {5}, true},
        {10, {"clear", "picture 3"}, {}, true},
        {11, {"clear", "picture 4"}, {}, true},
        {12, {"clear", "picture 5"}, {}, true},
        {13, {"clear", "picture 6"}, {}, true},
    };
    for (const SceneCase& c : cases) {
        float before[PARTICLE_SYSTEM_COUNT];
        for (int i = 0; i < PARTICLE_SYSTEM_COUNT; ++i)
            before[i] = director.particleSystem(i).time();
        EXPECT_EQ(render(c.scene), c.steps) << "scene " << c.scene;
        std::vector<int> advanced;
        for (int i = 0; i < PARTICLE_SYSTEM_COUNT; ++i)
            if (director.particleSystem(i).time() != before[i])
                advanced.push_back(i);
        EXPECT_EQ(advanced, c.particleSystems) << "scene " << c.scene;
        EXPECT_EQ(device.currentMaterial == defaultMaterial && device.currentProgram == nullptr, c.defaultMaterialAfter)
            << "scene " << c.scene;
        EXPECT_EQ(device.clearR + device.clearG + device.clearB, 0.0f) << "scenes clear to black";
        EXPECT_EQ(device.count("enableLightApi("), c.scene >= 5 && c.scene <= 9 ? 3 : 0) << "scene " << c.scene;
    }
    EXPECT_FLOAT_EQ(director.model(MODEL_SOL).world.m[13], -160.0f) << "the ground stands 160 units down";
    EXPECT_EQ(director.model(MODEL_SPARE).geometry(), nullptr) << "the fifth model is never loaded";
}

TEST_F(SceneRecipeTest, ParticleSystemsAreTheShowsSix)
{
    const struct {
        int type, count;
        Vec3 emitter;
    } systems[] = {{3, 1000, {0, 20, -30}}, {1, 1000, {}}, {4, 500, {-20, 5, -150}}, {6, 1000, {0, 10, 0}},
        {5, 2000, {0, 10, 0}}, {0, 2000, {-30, 10, 0}}};
    for (int i = 0; i < PARTICLE_SYSTEM_COUNT; ++i) {
        const ParticleSystem& system = director.particleSystem(i);
        ASSERT_EQ(system.type(), systems[i].type) << i;
        ASSERT_EQ(system.count(), systems[i].count) << i;
        float low[3] = {1e9f, 1e9f, 1e9f}, high[3] = {-1e9f, -1e9f, -1e9f};
        for (const Particle* p = system.particles(); p != system.particles() + system.count(); ++p)
            for (int k = 0; k < 3; ++k) {
                low[k] = std::min(low[k], (&p->origin.x)[k]);
                high[k] = std::max(high[k], (&p->origin.x)[k]);
            }
        const Vec3& e = systems[i].emitter;
        if (systems[i].type == 1) { // rain over the box (-200, 20, -200) to (200, 180, 200)
            EXPECT_TRUE(low[0] == -200 && low[1] == 20 && low[2] == -200) << low[0] << " " << low[1] << " " << low[2];
            EXPECT_TRUE(high[0] > 190 && high[0] <= 200 && high[1] > 170 && high[1] <= 180 && high[2] > 190 && high[2] <= 200) << high[0];
        } else {
            EXPECT_TRUE(low[0] == e.x && low[1] == e.y && low[2] == e.z && high[0] == e.x && high[2] == e.z) << i;
        }
    }
}

TEST_F(SceneRecipeTest, RewindRestoresTheRandomSequenceLoadingLeft)
{
    std::vector<int> first, again;
    for (int i = 0; i < 8; ++i)
        first.push_back(showRand());
    render(7);
    director.rewind();
    for (int i = 0; i < 8; ++i)
        again.push_back(showRand());
    EXPECT_EQ(again, first);
    EXPECT_EQ(director.particleSystem(0).time(), 0.0f);
}

TEST_F(SceneRecipeTest, LoadingPictureIsDrawnOverTheWholeWindowAndPresented)
{
    device.clearCalls();
    loadingPicture(&device, Camera());
    EXPECT_EQ(device.count("applyViewport(0, 0, 64, 48)"), 1);
    EXPECT_EQ(device.count("onPresent()"), 1);
    EXPECT_EQ(device.count("drawArrays("), 1);
    Mat4 projection;
    projection.setPerspective(90.0f, 0.1f, 1000.0f, 64.0f / 48.0f);
    EXPECT_TRUE(std::equal(projection.m, projection.m + 16, device.projection.current().m));
}

}
