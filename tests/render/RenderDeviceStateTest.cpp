#include "tests/support/NullWindow.h"
#include "tests/support/RecordingDevice.h"

#include "engine/geometry/Camera.h"
#include "engine/material/Material.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Calls = std::vector<std::string>;

class AttachedDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        device.attachWindow(window);
        EXPECT_EQ(window->makeCurrentCalls, 1) << "attaching makes the window's context current";
        EXPECT_EQ(window->device, &device);
        window->makeCurrentCalls = 0;
        device.clearCalls();
    }
    void TearDown() override { device.detachWindow(); }

    RecordingDevice device;
    NullWindow* window = new NullWindow(640, 480);
};

TEST_F(AttachedDevice, CachedSettersReachTheApiOnlyOnAChange)
{
    device.setBlendFuncCached(1, 1);
    device.setBlendFuncCached(1, 1);
    device.setBlendFuncCached(BlendFactor::One, BlendFactor::Zero);  // only the second factor differs
    device.setBlendingCached(true);
    device.setBlendingCached(true);
    device.setLightingCached(true);
    device.setLightingCached(true);
    device.setCullModeCached(0);
    device.setCullModeCached(0);
    device.setDepthWriteCached(false);
    device.setDepthWriteCached(false);
    device.setAlphaRefCached(0.25f);
    device.setAlphaRefCached(0.25f);
    device.setAlphaTestCached(false);
    device.setAlphaTestCached(false);
    EXPECT_EQ(device.calls, (Calls { "setBlendFunc(1, 1)", "setBlendFunc(1, 0)", "setBlending(1)", "setLighting(1)",
                                     "setCullMode(0)", "setDepthWrite(0)", "setAlphaRef(0.25)", "setAlphaTest(0)" }));
}

TEST_F(AttachedDevice, ResetStateInstallsTheDefaultsAndBuiltInMaterials)
{
    device.resetState();
    EXPECT_EQ(device.count("setTextureFilter("), 4);  // one per texture unit
    EXPECT_EQ(device.count("disableLightApi("), 8);
    EXPECT_EQ(device.calls.back(), "clearAll()");
    EXPECT_EQ(std::memcmp(device.projection.current().m, Mat4().m, 64), 0);
    // Two fresh built-in materials; the default one is current.
    ASSERT_NE(device.defaultMaterial, -1);
    ASSERT_NE(device.lightmapMaterial, -1);
    EXPECT_EQ(device.currentMaterial, device.getMaterial(device.defaultMaterial));
    EXPECT_EQ(device.getMaterial(device.defaultMaterial)->stageCount(), 1);
    EXPECT_EQ(device.getMaterial(device.lightmapMaterial)->stageCount(), 2);
    EXPECT_EQ(device.getMaterial(device.lightmapMaterial)->stageSlot(1), 1);
    const float ambient[4] = { 0.1f, 0.2f, 0.3f, 0.4f };
    device.setAmbientLight(ambient);
    EXPECT_EQ(std::memcmp(device.ambientLight, ambient, 16), 0);
}

TEST_F(AttachedDevice, DetachingDestroysEveryTableEntry)
{
    ASSERT_GE(device.createTexture(2, 2, 24), 0);
    device.clearCalls();
    device.detachWindow();
    EXPECT_EQ(device.textures.count() + device.materials.count(), 0);
    EXPECT_EQ(device.count("~Texture"), 1);
    EXPECT_EQ(device.count("~Material"), 2) << "the built-in materials";
    device.attachWindow(window = new NullWindow(8, 8));
}

TEST_F(AttachedDevice, ProjectionStackStopsAtItsDepth)
{
    Mat4 m;
    for (int i = 0; i < 40; ++i, ++m.m[0])
        device.pushProjection(m);
    // The last pushes overwrote the top entry; the one below holds an earlier push.
    EXPECT_EQ(std::make_tuple(device.projection.top, device.projection.entries[31].m[0], device.projection.entries[30].m[0]),
              std::make_tuple(31, 40.0f, 30.0f));
    for (int i = 0; i < 41; ++i)
        device.popProjection();
    EXPECT_EQ(device.projection.top, 0);
    EXPECT_EQ(device.count("applyProjection("), 40 + 31) << "pop at the bottom must do nothing";
}

TEST_F(AttachedDevice, ResizeNeverDividesByAZeroHeight)
{
    device.resize(800.0f, 0.0f);
    EXPECT_EQ(std::make_tuple(device.aspect, window->height, device.viewportWidth, device.viewportHeight),
              std::make_tuple(800.0f, 1.0f, 800, 1));
    device.resize(640.7f, 480.2f);
    EXPECT_FLOAT_EQ(window->width, 640.0f);
    EXPECT_FLOAT_EQ(device.aspect, 640.0f / 480.0f);
    EXPECT_EQ(device.callsStartingWith("applyViewport(").back(), "applyViewport(0, 0, 640, 480)");
}

TEST_F(AttachedDevice, FrustumPlanesOfThePerspectiveContainTheViewVolume)
{
    device.resize(640.0f, 480.0f);
    device.setPerspective(90.0f, 1.0f, 100.0f);
    device.setView(Mat4());
    auto inside = [&](const Vec3& p) {
        for (const auto& pl : device.frustum)
            if (pl[0] * p.x + pl[1] * p.y + pl[2] * p.z + pl[3] < -1e-4f)
                return false;
        return true;
    };
    EXPECT_TRUE(inside(Vec3(0, 0, -10)));
    EXPECT_TRUE(inside(Vec3(8, 6, -10)));     // near a corner
    EXPECT_TRUE(inside(Vec3(-8, -6, -10)));
    EXPECT_FALSE(inside(Vec3(0, 0, 10)));     // behind the eye
    EXPECT_FALSE(inside(Vec3(0, 0, -200)));   // past the far plane
    EXPECT_FALSE(inside(Vec3(500, 0, -10)));  // far right
    EXPECT_FALSE(inside(Vec3(0, 11, -10)));   // above
    // near plane: (a, b, c) is a unit vector pointing into the volume (-z).
    EXPECT_NEAR(device.frustum[5][2], -1.0f, 1e-5f);
    EXPECT_NEAR(device.frustum[5][3], -1.0f, 1e-4f);
    // The first four corners are taken at normalised depth 0 (eye z = -2nf / (n + f)),
    // not on the near plane; the last four on the far plane.
    EXPECT_NEAR(device.frustumCorners[0].z, -200.0f / 101.0f, 1e-3f);
    EXPECT_NEAR(device.frustumCorners[7].z, -100.0f, 0.05f);
}

TEST_F(AttachedDevice, DrawStatisticsCountEachPrimitiveType)
{
    const struct { int primitive, vertices, triangles, lines, points; } cases[] = {
        { PrimitiveType::TriangleList, 7, 2, 0, 0 }, { PrimitiveType::TriangleStrip, 7, 5, 0, 0 },
        { PrimitiveType::TriangleFan, 7, 5, 0, 0 },  { PrimitiveType::TriangleStrip, 1, 0, 0, 0 },
        { PrimitiveType::LineList, 7, 0, 3, 0 },     { PrimitiveType::LineStrip, 7, 0, 6, 0 },
        { PrimitiveType::LineStrip, 1, 0, 0, 0 },    { PrimitiveType::PointList, 7, 0, 0, 7 },
    };
    float vertices[7 * 3] = {};
    for (const auto& c : cases) {
        device.beginFrame();
        device.draw(c.primitive, vertices, c.vertices, vertexformat::Position, nullptr, 0);
        const RenderStats& s = device.stats;
        EXPECT_EQ(std::make_tuple(s.vertices, s.triangles, s.lines, s.points),
                  std::make_tuple(c.vertices, c.triangles, c.lines, c.points)) << c.primitive << "/" << c.vertices;
    }
    // With indices the index count decides, not the vertex count.
    device.beginFrame();
    const std::uint16_t indices[6] = { 0, 1, 2, 2, 1, 3 };
    EXPECT_EQ(device.draw(PrimitiveType::TriangleList, vertices, 4, vertexformat::Position, indices, 6), 2);
    EXPECT_EQ(device.stats.vertices, 4);
}

TEST_F(AttachedDevice, FramesCountSwapOnceAndFollowTheCamera)
{
    Camera camera;
    camera.set(-1.0f, -2.0f, -3.0f, 0.0f, 0.0f, 0.0f);
    device.setCamera(&camera);
    EXPECT_FLOAT_EQ(device.view.current().m[14], -3.0f);
    camera.y = -7.0f;
    device.beginFrame();  // rebuilds the view from the stored camera
    EXPECT_FLOAT_EQ(device.view.current().m[13], -7.0f);
    device.endFrame();
    device.endFrame();
    EXPECT_EQ(std::make_tuple(device.frameCount, window->swaps, window->makeCurrentCalls), std::make_tuple(2, 2, 1));
    EXPECT_EQ(device.count("onPresent("), 2);
    device.setCamera(nullptr);
    EXPECT_FLOAT_EQ(device.view.current().m[12], 0.0f);
}

TEST_F(AttachedDevice, LightsOutsideTheEightAreIgnored)
{
    Light light;
    light.position = Vec3(1, 2, 3);
    device.setLight(8, light);
    device.setLight(-1, light);
    device.enableLight(8);
    device.disableLight(-1);
    EXPECT_TRUE(device.calls.empty());
    EXPECT_EQ(device.getLight(8), nullptr);
    device.setLight(7, light);
    ASSERT_NE(device.getLight(7), nullptr);
    EXPECT_FLOAT_EQ(device.getLight(7)->position.z, 3.0f);
    EXPECT_EQ(device.calls, Calls { "applyLight(7, 0, 1, 2, 3)" });
}

TEST_F(AttachedDevice, ImmediateQuadIsAStripWithTexCoordsBeforeEachPosition)
{
    device.drawQuad(1, 2, 3, 4);
    EXPECT_EQ(device.callsStartingWith("drawArrays("), Calls { "drawArrays(1, 4, 9, 0, 0)" });
    EXPECT_EQ(device.stats.triangles, 2);
    // A builder already building ignores a second begin; extra vertices are dropped.
    device.clearCalls();
    device.beginPrimitive(PrimitiveType::PointList, 2, vertexformat::Position, 0);
    device.beginPrimitive(PrimitiveType::LineList, 9, vertexformat::Position, 0);
    for (float v : { 1.0f, 2.0f, 3.0f })
        device.addVertex(v, v, v);
    device.addTexCoord(0, 5, 5);  // no texture set in this format: ignored
    device.endPrimitive();
    device.endPrimitive();  // not building: nothing
    // An indexed primitive hands its (zeroed) index array to the draw.
    device.beginPrimitive(PrimitiveType::TriangleList, 3, vertexformat::Position, 6);
    ASSERT_NE(device.primitiveIndices(), nullptr);
    EXPECT_EQ(device.primitiveIndices()[5], 0);
    device.endPrimitive();
    EXPECT_EQ(device.callsStartingWith("drawArrays("), (Calls { "drawArrays(5, 2, 1, 0, 0)", "drawArrays(0, 3, 1, 1, 6)" }));
}

TEST_F(AttachedDevice, BufferTableReusesFreedRecordsAndReportsFull)
{
    EXPECT_EQ(device.createBuffer(PrimitiveType::TriangleList, 3, 1, 0), 0);
    EXPECT_EQ(device.createBuffer(PrimitiveType::TriangleList, 6, 9, 6), 1);
    EXPECT_EQ(device.getBuffer(1)->vertexSize, 5);
    EXPECT_EQ(device.destroyBuffer(0), 0);
    EXPECT_EQ(device.createBuffer(PrimitiveType::LineList, 2, 1, 0), 0) << "the freed first record is reused";
    device.clearCalls();
    EXPECT_EQ(device.destroyBuffer(-1) + device.destroyBuffer(RenderDevice::BufferCount), -2);
    device.fillBuffer(-1, nullptr, nullptr);
    device.drawBuffer(-1);
    EXPECT_TRUE(device.calls.empty());
    for (int i = 2; i < RenderDevice::BufferCount; ++i)
        ASSERT_EQ(device.createBuffer(PrimitiveType::PointList, 1, 1, 0), i);
    EXPECT_EQ(device.createBuffer(PrimitiveType::PointList, 1, 1, 0), -1);
    EXPECT_EQ(device.count("createList("), RenderDevice::BufferCount - 2) << "a full table asks for no list";
    device.beginFrame();
    device.drawBuffer(1);
    EXPECT_EQ(device.stats.triangles, 2);
    EXPECT_EQ(device.count("callList(2)"), 1);
}

TEST_F(AttachedDevice, DefaultMaterialBindsSlotZeroAndSwitchesOtherUnitsOff)
{
    device.setTextureSlot(0, 42);
    EXPECT_EQ(device.setTextureSlot(16, 7), 16);  // outside the slots: stored nowhere
    device.clearCalls();
    device.applyBindings();
    EXPECT_EQ(device.calls, (Calls { "setTexture(0, 42)", "setTexture(1, -1)", "setTexture(2, -1)", "setTexture(3, -1)",
                                     "disableVertexProgram()" }));
    // No current material: nothing is bound.
    device.setMaterial(500);
    device.clearCalls();
    device.applyBindings();
    EXPECT_EQ(device.calls, Calls { "disableVertexProgram()" });
    device.setMaterial(-1);
    EXPECT_EQ(device.currentMaterial, device.getMaterial(device.defaultMaterial));
    // Eight units at most, even when the driver reports more.
    RecordingDevice wide;
    wide.textureUnits = 32;
    wide.attachWindow(new NullWindow(8, 8));
    EXPECT_EQ(wide.count("setTextureFilter("), 8);
    wide.clearCalls();
    wide.applyBindings();
    EXPECT_EQ(wide.count("setTexture("), 8);
    wide.detachWindow();
}

}
