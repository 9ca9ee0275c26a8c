#include "engine/core/FileSystems.h"
#include "engine/geometry/GeometryWriter.h"
#include "engine/geometry/MeshMaterial.h"
#include "engine/geometry/VertexFormat.h"
#include "tests/geometry/TestModels.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/MountedDisk.h"
#include "tests/support/NullWindow.h"
#include "tests/support/RecordingDevice.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

using namespace testmodels;

namespace {

class GeometryOnDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(disk.ok());
        dir.write("a.bmp", solidBmp(4, 4, 255, 0, 0));
        dir.write("b.bmp", solidBmp(4, 4, 0, 255, 0));
        setDirectory(dir.path().c_str());
        device.attachWindow(new NullWindow);
        device.clearCalls();
    }
    void TearDown() override { device.detachWindow(); }

    ScratchDir dir;
    RecordingDevice device;
    MountedDisk disk;
};

// Layout S meshes are prepared when read (with a device current), or at their first
// draw; a layout G model without modifiers becomes static and is prepared again there.
TEST_F(GeometryOnDevice, StaticMeshesUploadOnceAndDrawFromTheirBuffer)
{
    const struct { bool isStatic, deviceAtLoad; int compiledAtLoad, compiled, deleted; } cases[] = {
        { true, true, 2, 2, 0 }, { true, false, 0, 2, 0 }, { false, true, 2, 4, 2 }
    };
    for (const auto& c : cases) {
        device.clearCalls();
        {
            Geometry source, g;
            addItems(source, 2, c.isStatic);
            RenderDevice* saved = currentDevice;
            currentDevice = c.deviceAtLoad ? saved : nullptr;
            const bool loaded = roundTrip(written(source, c.isStatic ? GeometryLayout::Static : GeometryLayout::General), g);
            currentDevice = saved;
            ASSERT_TRUE(loaded);
            EXPECT_EQ(device.count("compileList("), c.compiledAtLoad) << c.isStatic << c.deviceAtLoad;
            for (int frame = 0; frame < 3; ++frame)
                g.draw(device);
            g.mesh(0).makeStatic();  // already static: not prepared again
            g.draw(device);
            EXPECT_EQ(device.count("compileList("), c.compiled) << c.isStatic << c.deviceAtLoad;
            EXPECT_EQ(device.count("deleteList("), c.deleted) << c.isStatic << c.deviceAtLoad;
            EXPECT_EQ(device.count("callList("), 8);
            EXPECT_EQ(device.count("drawArrays("), 0);
            device.clearCalls();
        }
        EXPECT_EQ(device.count("deleteList("), 2) << "released with the geometry";
    }
}

TEST_F(GeometryOnDevice, AMeshWithVerticesAndNoTrianglesDrawsAndCountsNothing)
{
    for (bool isStatic : { true, false }) {
        Mesh mesh(isStatic);
        mesh.vertices.allocate(6, vertexformat::Position, false);
        std::fill(mesh.vertices.data(), mesh.vertices.data() + mesh.vertices.floatCount(), 1.0f);
        device.stats = {};
        device.clearCalls();
        mesh.draw(device);
        mesh.draw(device);
        EXPECT_EQ(device.count("drawArrays(") + device.count("callList("), 0) << isStatic;
        EXPECT_EQ(device.stats.triangles, 0) << isStatic;
    }
}

TEST_F(GeometryOnDevice, DynamicMeshesDrawFromMemoryEveryFrame)
{
    Geometry g;
    addItems(g, 2, false, 5);
    for (int frame = 0; frame < 2; ++frame)
        g.draw(device);
    const auto draws = device.callsStartingWith("drawArrays(");
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[3], callLine("drawArrays", { 0, 5, double(g.mesh(1).vertices.format), 1, 9 }));
    EXPECT_EQ(device.count("callList("), 0);
}

// A material puts its colours in force, tests alpha against its reference and blends only
// below a diffuse alpha of one; without the apply flag the previous material stays.
TEST_F(GeometryOnDevice, MaterialsSetColoursAlphaTestAndBlending)
{
    MeshMaterial blended, opaque, inert;
    blended.diffuse[3] = 0.999f;
    blended.alphaRef = 0.25f;
    blended.shininess = 3.0f;
    blended.emission[2] = 0.5f;  // glowing without lights, as the rings of scene 3
    opaque.shininess = 7.5f;
    inert.flags = 3;
    inert.diffuse[3] = 0.1f;
    device.setAlphaTestCached(false);
    device.setBlendFuncCached(1, 1);
    const struct { const MeshMaterial* material; bool blending; float alphaRef, alpha, shininess, glow; } steps[] = {
        { &blended, true, 0.25f, 0.999f, 3.0f, 0.5f }, { &opaque, false, 0.5f, 1.0f, 7.5f, 0.0f },
        { &inert, false, 0.5f, 1.0f, 7.5f, 0.0f },
    };
    for (const auto& s : steps) {
        s.material->apply(device);
        EXPECT_EQ(std::make_tuple(device.blending, device.alphaTest, device.alphaRef, device.materialDiffuse[3],
                                  device.materialShininess, device.materialEmissive[2]),
                  std::make_tuple(s.blending, true, s.alphaRef, s.alpha, s.shininess, s.glow)) << s.alphaRef;
    }
    EXPECT_EQ(std::make_tuple(device.blendSrc, device.blendDst), std::make_tuple(4, 5)) << "source alpha, its inverse";
}

// The alpha test is lifted only where no fragment of the mesh could fail it.
TEST_F(GeometryOnDevice, AlphaTestIsIdleOnlyForLitOpaqueMeshesOnTheDefaultCombiner)
{
    const struct { float alpha, alphaRef; bool lit; std::uint32_t format; bool idle; } cases[] = {
        { 1.0f, 0.5f, true, vertexformat::Position, true }, { 0.999f, 0.5f, true, vertexformat::Position, false },
        { 1.0f, 1.0f, true, vertexformat::Position, false }, { 1.0f, 0.5f, false, vertexformat::Position, false },
        { 1.0f, 0.5f, true, vertexformat::Position | vertexformat::Colour, false },
    };
    for (const auto& c : cases) {
        MeshMaterial material;
        material.diffuse[3] = c.alpha;
        material.alphaRef = c.alphaRef;
        device.setLighting(c.lit);
        material.apply(device);
        EXPECT_EQ(material.alphaAlwaysPasses(device, c.format), c.idle) << c.alpha << " " << c.alphaRef << " " << c.lit;
    }
}

TEST_F(GeometryOnDevice, TextureReferencesAreTakenAndReleased)
{
    Geometry source;
    addItems(source, 2, true);
    source.items[0].material->textureNames[3] = "a.bmp";
    source.items[1].material->textureNames[3] = "a.bmp";
    source.items[0].material->textureNames[0] = "b.bmp";
    source.items[1].material->textureNames[0] = "missing.bmp";
    {
        Geometry g;
        ASSERT_TRUE(roundTrip(written(source, GeometryLayout::Static), g));
        const int a = g.items[0].material->textures[3];
        const int b = g.items[0].material->textures[0];
        ASSERT_GE(a, 0);
        ASSERT_GE(b, 0);
        EXPECT_EQ(g.items[1].material->textures[3], a);
        EXPECT_EQ(device.textures.useCount(a), 2);
        EXPECT_EQ(g.items[1].material->textures[0], -1);
        // Every item's stage 5 takes its own reference on b; replacing it releases them.
        g.setStageTexture(5, b);
        EXPECT_EQ(device.textures.useCount(b), 3);
        g.items[0].material->apply(device);
        EXPECT_EQ(std::vector<int>({ device.textureSlots[0], device.textureSlots[3], device.textureSlots[5] }),
                  std::vector<int>({ b, a, b }));
        g.setStageTexture(5, -1);
        EXPECT_EQ(device.textures.useCount(b), 1);
    }
    EXPECT_EQ(device.textures.count(), 0) << "the last releases destroy the textures";
}

}
