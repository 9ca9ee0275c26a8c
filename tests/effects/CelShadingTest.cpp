// Cel shading with the generated program, script and ramps: a sphere built here and
// drawn on llvmpipe shows flat bands of light and a dark rim; the load rules (shared
// table entries, the vertex format, a missing outline ramp, the animation) through a
// recording device.
#include "demo/effects/CelShadedModel.h"

#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationTable.h"
#include "engine/geometry/AnimationWriter.h"
#include "engine/geometry/Geometry.h"
#include "engine/geometry/GeometryChunks.h"
#include "engine/geometry/GeometryWriter.h"
#include "engine/material/Image.h"
#include "tests/app/ConsoleCapture.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/MountedDisk.h"
#include "tests/support/NullWindow.h"
#include "tests/support/RecordingDevice.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

using namespace vertexformat;

namespace {

namespace fs = std::filesystem;

// What the show's files carry beyond the cel format: colours and a second texture set.
constexpr std::uint32_t FILE_FORMAT = Position | Normal | Colour | Tex0 | Tex1;

// A UV sphere of radius 1 at the origin, triangles facing outwards, one white material.
void addSphere(Geometry& g, int slices, int stacks)
{
    auto mesh = std::make_shared<Mesh>(false);
    VertexArray& v = mesh->vertices;
    v.allocate(std::uint32_t((slices + 1) * (stacks + 1)), FILE_FORMAT);
    for (int i = 0; i <= stacks; ++i) {
        for (int j = 0; j <= slices; ++j) {
            const float theta = float(M_PI) * float(i) / float(stacks);
            const float phi = 2.0f * float(M_PI) * float(j) / float(slices);
            float* p = v.vertex(std::uint32_t(i * (slices + 1) + j));
            const float n[3] = {std::sin(theta) * std::cos(phi), std::cos(theta), -std::sin(theta) * std::sin(phi)};
            for (int k = 0; k < 3; ++k)
                p[k] = p[3 + k] = n[k];
            p[v.texOffset0] = float(j) / float(slices);
            p[v.texOffset0 + 1] = float(i) / float(stacks);
        }
    }
    std::vector<std::uint16_t> indices;
    auto corner = [&](int i, int j) { return std::uint16_t(i * (slices + 1) + j); };
    for (int i = 0; i < stacks; ++i) {
        for (int j = 0; j < slices; ++j) {
            const std::uint16_t a = corner(i, j), b = corner(i + 1, j), c = corner(i + 1, j + 1), d = corner(i, j + 1);
            indices.insert(indices.end(), {a, b, c, a, c, d});
        }
    }
    mesh->triangles.resize(std::uint32_t(indices.size() / 3));
    mesh->triangles.indices = indices;
    g.addItem(std::make_unique<MeshMaterial>(), mesh);
}

// A two-bone skeleton whose second bone carries every vertex, and an animation that
// holds that bone one unit up: the skinned sphere is drawn one unit higher.
void addLift(Geometry& g)
{
    g.skin = std::make_unique<SkinModifier>();
    Skeleton& s = g.skin->skeleton;
    s.resize(2);
    s.bones[0].firstChild = 1;
    s.bones[1].parent = 0;
    auto skin = std::make_unique<SkinMesh>();
    skin->weights.assign(g.mesh(0).vertices.vertexCount, SkinWeight{1, -1, 1.0f, 0.0f});
    g.skin->skinMeshes.push_back(std::move(skin));
}

void fillLift(KeyframedAnimation& a)
{
    a.boneCount = 2;
    a.frameCount = 2;
    a.duration = 1.0f;
    a.keys.assign(4, AnimationKey());
    a.keys[1].translation = a.keys[3].translation = Vec3(0.0f, 1.0f, 0.0f);
}

// The show's cel data generated into a scratch "Data" folder with the test models beside
// it; the folder is the current directory (and the file system's) during the test.
class CelData : public ::testing::Test {
protected:
    void SetUp() override
    {
        data = dir.file("Data");
        ChildResult r = runChild({VELVET_BUILD_DIR "/datagen", "--text", data});
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        Geometry sphere;
        addSphere(sphere, 24, 16);
        BinaryWriter plain;
        GeometryWriter::writeGeneral(plain, sphere);
        ASSERT_TRUE(plain.saveAs(data + "/sphere.qzg"));
        addLift(sphere);
        BinaryWriter lifted;
        GeometryWriter::writeGeneral(lifted, sphere);
        ASSERT_TRUE(lifted.saveAs(data + "/lifted.qzg"));
        KeyframedAnimation lift;
        fillLift(lift);
        BinaryWriter animation;
        AnimationWriter::write(animation, lift);
        ASSERT_TRUE(animation.saveAs(data + "/lift.qza"));
        disk = std::make_unique<MountedDisk>(data);
    }
    void TearDown() override
    {
        disk.reset();
        fs::current_path(previous);
        AnimationTable::clear();
    }

    ScratchDir dir;
    std::string data;
    fs::path previous = fs::current_path();
    std::unique_ptr<MountedDisk> disk;
};

struct Rgb {
    int r = 0, g = 0, b = 0;
};

bool near(const Rgb& a, const Rgb& b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

int luma(const Rgb& c)
{
    return (c.r * 3 + c.g * 6 + c.b) / 10;
}

// The flat bands of a generated ramp, left to right, read along its middle row: runs of
// neighbouring columns that differ by little, each given the colour of its middle.
std::vector<Rgb> rampBands(const char* fileName)
{
    Image image;
    std::vector<Rgb> bands;
    if (!image.load(fileName) || image.bytesPerPixel() < 3)
        return bands;
    auto column = [&](std::uint32_t x) {
        const std::uint8_t* p = image.pixelAt(x, image.height() / 2);
        return Rgb{p[0], p[1], p[2]};
    };
    std::uint32_t start = 0;
    for (std::uint32_t x = 1; x <= image.width(); ++x) {
        if (x == image.width() || !near(column(x), column(x - 1), 24)) {
            bands.push_back(column((start + x - 1) / 2));
            start = x;
        }
    }
    return bands;
}

TEST_F(CelData, SphereShowsFlatBandsOfLightAndADarkRim)
{
    const std::vector<Rgb> tones = rampBands("tones.jpg");
    const std::vector<Rgb> outline = rampBands("tonesOutline.jpg");
    ASSERT_TRUE(tones.size() == 2 || tones.size() == 3) << tones.size() << " bands of light";
    ASSERT_EQ(outline.size(), 2u);
    ASSERT_LT(luma(outline.front()), 40) << "the outline is not dark";
    ASSERT_GT(luma(outline.back()), 240) << "the outline ramp darkens the inside";

    GLTestContext gl(128, 128);
    if (!gl.ok())
        GTEST_SKIP() << "no GL context";
    GLRenderDevice& device = gl.device();
    CelShadedModel model;
    ASSERT_TRUE(model.load("sphere.qzg", nullptr, &device));
    ASSERT_NE(model.program(), -1) << "the driver refused CellShading_OutLine.vsh";
    ASSERT_NE(model.material(), -1) << "CellShading_OutLine_FFP.psh does not compile";

    // The sphere halved and moved (so the program must work in world space with unit
    // normals), the eye on +z, light 0 to the right, a little above and in front.
    model.world.setTranslation(0.1f, 0.0f, 0.0f);
    for (int axis : {0, 5, 10})
        model.world.m[axis] = 0.5f;
    device.setPerspective(40.0f, 0.1f, 100.0f);
    Mat4 view;
    view.setTranslation(0.0f, 0.0f, -2.0f);
    device.setView(view);
    Light light;
    light.position = Vec3(2.2f, 1.0f, 1.5f);
    light.range = 100.0f;
    device.setLight(0, light);
    device.setProgramConstant(0, Vec3(0.0f, 0.0f, 2.0f));
    const Rgb background{0, 0, 77};
    device.setClearColor(0.0f, 0.0f, 0.3f);
    device.clearAll();
    model.draw(true);

    // Along the middle row, left to right: the rim, then the bands from the darkest to the
    // brightest (a white material shows the ramp's own colours), then the rim again.
    const int row = gl.height() / 2;
    std::vector<int> sphere;  // band index per pixel on the sphere; -1 rim, -2 neither
    for (int x = 0; x < gl.width(); ++x) {
        const Rgba8 p = gl.pixel(x, row);
        const Rgb c{p.r, p.g, p.b};
        if (near(c, background, 2))
            continue;
        int label = luma(c) < luma(outline.front()) + 20 ? -1 : -2;
        for (std::size_t k = 0; k < tones.size(); ++k)
            if (near(c, tones[k], 10))
                label = int(k);
        sphere.push_back(label);
    }
    ASSERT_GT(sphere.size(), 60u);
    EXPECT_EQ(sphere.front(), -1) << "no dark rim on the left";
    EXPECT_EQ(sphere.back(), -1) << "no dark rim on the right";
    std::vector<int> widths(tones.size(), 0);
    int previous = 0, rim = 0, neither = 0;
    for (int label : sphere) {
        if (label >= 0) {
            EXPECT_GE(label, previous) << "bands out of order";
            previous = label;
            ++widths[std::size_t(label)];
        }
        rim += label == -1;
        neither += label == -2;
    }
    for (std::size_t k = 0; k < tones.size(); ++k)
        EXPECT_GE(widths[k], 6) << "band " << k;
    EXPECT_LE(rim, 12) << "the rim covers the sphere";
    EXPECT_LE(neither, 6) << "light is not in flat bands";
}

// A recording device that also notes where the first vertex of each dynamic draw is.
class VertexSpy : public RecordingDevice {
public:
    void drawArrays(int primitive, const float* vertices, int vertexCount, int format, const std::uint16_t* indices,
                    int indexCount) override
    {
        if (vertices && vertexCount > 0)
            firstY.push_back(vertices[1]);
        RecordingDevice::drawArrays(primitive, vertices, vertexCount, format, indices, indexCount);
    }
    std::vector<float> firstY;
};

class CelLoad : public CelData {
protected:
    void SetUp() override
    {
        CelData::SetUp();
        device.attachWindow(new NullWindow(64, 64));
    }
    void TearDown() override
    {
        device.detachWindow();
        CelData::TearDown();
    }
    const MeshMaterial& material(const CelShadedModel& model) { return *model.geometry()->items[0].material; }

    VertexSpy device;
};

TEST_F(CelLoad, TwoModelsShareTheirEntriesAndBothLoadInTheCelFormat)
{
    CelShadedModel first, second;
    ASSERT_TRUE(first.load("sphere.qzg", nullptr, &device));
    EXPECT_EQ(vertexFormatOverride, 0);
    ASSERT_TRUE(second.load("sphere.qzg", nullptr, &device));
    EXPECT_EQ(vertexFormatOverride, 0);

    EXPECT_EQ(second.program(), first.program());
    EXPECT_EQ(device.programs.useCount(first.program()), 2);
    EXPECT_EQ(second.material(), first.material());
    EXPECT_EQ(device.materials.useCount(first.material()), 2);
    for (int slot : {1, 3}) {
        const int texture = material(first).textures[slot];
        ASSERT_NE(texture, -1) << "slot " << slot;
        EXPECT_EQ(material(second).textures[slot], texture) << "slot " << slot;
        // One reference for each model's load, one for each mesh material holding it.
        EXPECT_EQ(device.textures.useCount(texture), 4) << "slot " << slot;
    }
    EXPECT_EQ(first.geometry()->mesh(0).vertices.format, PositionNormalTex0);
    Geometry plain;
    ASSERT_TRUE(plain.load("sphere.qzg"));
    EXPECT_EQ(plain.mesh(0).vertices.format, FILE_FORMAT) << "the cel format outlived the load";

    CelShadedModel none;
    EXPECT_FALSE(none.load("missing.qzg", nullptr, &device));
    EXPECT_EQ(vertexFormatOverride, 0) << "after a failed load";
}

TEST_F(CelLoad, AMissingFileLeavesItsEntryEmptyAndOnlyTheOutlineIsReported)
{
    struct Case {
        const char* missing;
        const char* printed;
        bool tones, outline, program, material;  // what still loads
    };
    const Case cases[] = {
        {"tonesOutline.jpg", "hTexOutLine", true, false, true, true},
        {"tones.jpg", "", false, true, true, true},
        {"CellShading_OutLine.vsh", "", true, true, false, true},
        {"CellShading_OutLine_FFP.psh", "", true, true, true, false},
    };
    for (const Case& c : cases) {
        // A fresh device each time, so no name cache remembers the file.
        device.detachWindow();
        device.attachWindow(new NullWindow(64, 64));
        const std::string kept = readWholeFile(data + "/" + c.missing);
        fs::remove(data + "/" + c.missing);
        CelShadedModel model;
        ConsoleCapture console;
        EXPECT_TRUE(model.load("sphere.qzg", nullptr, &device)) << c.missing;
        EXPECT_EQ(console.text(), c.printed) << c.missing;
        dir.write(std::string("Data/") + c.missing, kept);
        EXPECT_EQ(material(model).textures[1] != -1, c.tones) << c.missing;
        EXPECT_EQ(material(model).textures[3] != -1, c.outline) << c.missing;
        EXPECT_EQ(model.program() != -1, c.program) << c.missing;
        EXPECT_EQ(model.material() != -1, c.material) << c.missing;
    }
}

TEST_F(CelLoad, TheAnimationLoopsOnTheSkeletonAndPlaysAfterEachDraw)
{
    CelShadedModel model;
    ASSERT_TRUE(model.load("lifted.qzg", "lift.qza", &device));
    ASSERT_GE(model.animationIndex(), 0);
    for (const Bone& bone : model.geometry()->skin->skeleton.bones) {
        EXPECT_EQ(bone.animIndex, model.animationIndex());
        EXPECT_EQ(bone.endMode, EndLoop);
    }
    const float bindY = model.geometry()->mesh(0).vertices.data()[1];

    // Drawn where its world matrix says, as loaded, then skinned for the next frame: the
    // lift shows one draw later.
    device.setMaterial(device.lightmapMaterial);
    model.world.setTranslation(0.0f, -160.0f, 0.0f);
    model.draw(false);
    EXPECT_EQ(device.world.current().m[13], -160.0f);
    EXPECT_EQ(device.currentMaterial, device.getMaterial(device.lightmapMaterial)) << "a plain draw changed it";
    EXPECT_EQ(device.currentProgram, nullptr);
    model.draw(true);
    EXPECT_EQ(device.currentMaterial, device.getMaterial(model.material()));
    EXPECT_EQ(device.currentProgram, device.getVertexProgram(model.program()));
    ASSERT_EQ(device.firstY.size(), 2u);
    EXPECT_FLOAT_EQ(device.firstY[0], bindY);
    EXPECT_FLOAT_EQ(device.firstY[1], bindY + 1.0f);

    // Seeking advances the same way without a word to the device. A model gone takes its
    // animation out of the table.
    std::int32_t seekingIndex = -1;
    {
        CelShadedModel seeking;
        ASSERT_TRUE(seeking.load("lifted.qzg", "lift.qza", &device));
        seekingIndex = seeking.animationIndex();
        device.clearCalls();
        seeking.simulate();
        EXPECT_TRUE(device.calls.empty()) << device.calls.front();
        EXPECT_FLOAT_EQ(seeking.geometry()->mesh(0).vertices.data()[1], bindY + 1.0f);
    }
    ASSERT_NE(seekingIndex, -1);
    EXPECT_EQ(AnimationTable::entry(seekingIndex), nullptr);

    // Without its animation file the model stands still.
    CelShadedModel still;
    ASSERT_TRUE(still.load("lifted.qzg", "missing.qza", &device));
    EXPECT_EQ(still.animationIndex(), -1);
    still.simulate();
    EXPECT_FLOAT_EQ(still.geometry()->mesh(0).vertices.data()[1], bindY);
}

}
