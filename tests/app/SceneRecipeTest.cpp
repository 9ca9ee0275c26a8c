// What each of the fourteen scenes draws, and in which order, through a device that
// records its calls: pictures by their texture, models by their triangle counts, the cel
// pass by the program parameters sent before a draw, particle systems by their clocks.
#include "app/Director.h"
#include "engine/geometry/AnimationTable.h"
#include "engine/geometry/BinaryWriter.h"
#include "engine/geometry/GeometryWriter.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ChildProcess.h"
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
};

class SceneRecipeTest : public ShowFixture {
protected:
    void SetUp() override
    {
        ShowFixture::SetUp();
        // The cel program, script and ramps, as the show has them.
        ASSERT_EQ(runChild({VELVET_BUILD_DIR "/datagen", "--text", scratch.path()}).exitStatus, 0);
        for (int i = 0; i < 5; ++i)
            writeModel(scratch.file(MODEL_FILES[i]), i + 1);
        for (const char* picture : PICTURES)
            ASSERT_EQ(runCommand("convert -size 4x4 xc:gray " + shellQuote(scratch.file(picture))), 0);
        // Every scene for 10 ms; no "Particle.bmp", so the systems run without drawing.
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
        device.clearCalls();
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

    Director director;
    RecordingDevice device;
    std::map<int, int> listIndices; // display list -> its index count
    std::unique_ptr<MountedDisk> disk;
};

TEST_F(SceneRecipeTest, EveryScenesRecipeInOrder)
{
    const SceneCase cases[] = {
        {0, {}, {}},
        {1, {"clear", "picture 0"}, {}},
        {2, {"clear", "picture 0"}, {}},
        {3, {"clear", "rien", "picture 1"}, {}},
        {4, {"clear", "picture 2"}, {}},
        {5, {"cave", "FIXE cel", "rien"}, {5}},
        {6, {"cave", "rien", "FIXE cel"}, {3}},
        {7, {"clear", "rien", "FIXE cel"}, {0, 1, 2, 3, 4}},
        {8, {"sol", "police cel", "rien"}, {1}},
        {9, {"cave", "FIXE cel", "rien"}, {5}},
        {10, {"clear", "picture 3"}, {}},
        {11, {"clear", "picture 4"}, {}},
        {12, {"clear", "picture 5"}, {}},
        {13, {"clear", "picture 6"}, {}},
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
        EXPECT_EQ(device.clearR + device.clearG + device.clearB, 0.0f) << "scenes clear to black";
    }
    EXPECT_FLOAT_EQ(director.model(MODEL_SOL).world.m[13], -160.0f) << "the ground stands 160 units down";
    EXPECT_EQ(director.model(MODEL_SPARE).geometry(), nullptr) << "the fifth model is never loaded";
}

}
