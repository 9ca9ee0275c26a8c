// The device's own logic through a recording subclass: cached setters, matrix stacks,
// statistics, the immediate builder, the buffer table and the draw-time bindings.
#include "tests/support/NullWindow.h"
#include "tests/support/RecordingDevice.h"

#include "engine/geometry/Camera.h"
#include "engine/material/Material.h"

#include <gtest/gtest.h>

namespace {

class AttachedDevice : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = new NullWindow(640, 480);
        device.attachWindow(window);
        EXPECT_EQ(window->makeCurrentCalls, 1) << "attaching makes the window's context current";
        EXPECT_EQ(window->device, &device);
        window->makeCurrentCalls = 0;
        device.clearCalls();
    }
    void TearDown() override { device.detachWindow(); }

    RecordingDevice device;
    NullWindow* window = nullptr;
};

TEST_F(AttachedDevice, CachedSettersReachTheApiOnlyOnAChange)
{
    struct Case {
        const char* prefix;
        void (*twice)(RenderDevice&);
    };
    const Case cases[] = {
        {"setBlendFunc(", [](RenderDevice& d) { d.setBlendFuncCached(1, 1); d.setBlendFuncCached(1, 1); }},
        {"setBlending(", [](RenderDevice& d) { d.setBlendingCached(true); d.setBlendingCached(true); }},
        {"setLighting(", [](RenderDevice& d) { d.setLightingCached(true); d.setLightingCached(true); }},
        {"setCullMode(", [](RenderDevice& d) { d.setCullModeCached(0); d.setCullModeCached(0); }},
        {"setDepthWrite(", [](RenderDevice& d) { d.setDepthWriteCached(false); d.setDepthWriteCached(false); }},
        {"setAlphaRef(", [](RenderDevice& d) { d.setAlphaRefCached(0.25f); d.setAlphaRefCached(0.25f); }},
        {"setAlphaTest(", [](RenderDevice& d) { d.setAlphaTestCached(false); d.setAlphaTestCached(false); }},
    };
    for (const Case& c : cases) {
        device.clearCalls();
        c.twice(device);
        EXPECT_EQ(device.count(c.prefix), 1) << c.prefix;
    }
    // The values reset installed are already cached: setting them again sends nothing.
    device.clearCalls();
    device.setBlendFuncCached(BlendFactor::One, BlendFactor::One);
    device.setBlendFuncCached(BlendFactor::One, BlendFactor::Zero); // only the second factor differs
    device.setBlendingCached(true);
    EXPECT_EQ(device.callsStartingWith("setBlendFunc("),
              (std::vector<std::string>{"setBlendFunc(1, 0)"}));
    EXPECT_EQ(device.count("setBlending("), 0);
}

TEST_F(AttachedDevice, ResetStateInstallsTheDefaultsAndBuiltInMaterials)
{
    device.resetState();
    EXPECT_EQ(device.count("setTextureFilter("), 4); // one per texture unit
    EXPECT_EQ(device.callsStartingWith("setBlendFunc("), (std::vector<std::string>{"setBlendFunc(4, 5)"}));
    EXPECT_EQ(device.callsStartingWith("setStencilFunc("), (std::vector<std::string>{"setStencilFunc(7, 0, 4.29497e+09)"}));
    EXPECT_EQ(device.callsStartingWith("setAlphaFunc("), (std::vector<std::string>{"setAlphaFunc(4)"}));
    EXPECT_EQ(device.count("disableLightApi("), 8);
    EXPECT_EQ(device.calls.back(), "clearAll()");
    EXPECT_FLOAT_EQ(device.materialShininess, 20.0f);
    EXPECT_FLOAT_EQ(device.materialAmbient[0], 0.0f);
    EXPECT_FLOAT_EQ(device.materialDiffuse[1], 1.0f);
    EXPECT_FLOAT_EQ(device.materialAmbient[3], 1.0f);
    // The projection is the identity until the next resize or setPerspective.
    EXPECT_FLOAT_EQ(device.projection.current().m[0], 1.0f);
    EXPECT_FLOAT_EQ(device.projection.current().m[11], 0.0f);

    // Re-running reset made two fresh built-in materials; the default one is current.
    ASSERT_NE(device.defaultMaterial, -1);
    ASSERT_NE(device.lightmapMaterial, -1);
    EXPECT_EQ(device.currentMaterial, device.getMaterial(device.defaultMaterial));
    EXPECT_EQ(device.getMaterial(device.defaultMaterial)->stageCount(), 1);
    EXPECT_EQ(device.getMaterial(device.lightmapMaterial)->stageCount(), 2);
    EXPECT_EQ(device.getMaterial(device.lightmapMaterial)->stageSlot(1), 1);
}

TEST_F(AttachedDevice, ProjectionStackStopsAtItsDepth)
{
    Mat4 m;
    for (int i = 0; i < 40; ++i) {
        m.m[0] = static_cast<float>(i + 2);
        device.pushProjection(m);
    }
    EXPECT_EQ(device.projection.top, 31);
    // The last pushes overwrote the top entry; the one below holds an earlier push.
    EXPECT_FLOAT_EQ(device.projection.entries[31].m[0], 41.0f);
    EXPECT_FLOAT_EQ(device.projection.entries[30].m[0], 31.0f);
    for (int i = 0; i < 40; ++i)
        device.popProjection();
    EXPECT_EQ(device.projection.top, 0);
    device.clearCalls();
    device.popProjection();
    EXPECT_TRUE(device.calls.empty()) << "pop at the bottom must do nothing";
}

TEST_F(AttachedDevice, ResizeNeverDividesByAZeroHeight)
{
    device.resize(800.0f, 0.0f);
    EXPECT_FLOAT_EQ(device.aspect, 800.0f);
    EXPECT_FLOAT_EQ(window->height, 1.0f);
    EXPECT_EQ(device.viewportWidth, 800);
    EXPECT_EQ(device.viewportHeight, 1);
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
    EXPECT_FALSE(inside(Vec3(0, 0, 10)));     // behind the eye
    EXPECT_FALSE(inside(Vec3(0, 0, -200)));   // past the far plane
    EXPECT_FALSE(inside(Vec3(500, 0, -10)));  // far right
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
    struct Case {
        int primitive;
        int vertices;
        int triangles, lines, points;
    };
    const Case cases[] = {
        {PrimitiveType::TriangleList, 7, 2, 0, 0},
        {PrimitiveType::TriangleStrip, 7, 5, 0, 0},
        {PrimitiveType::TriangleFan, 7, 5, 0, 0},
        {PrimitiveType::TriangleStrip, 1, 0, 0, 0},
        {PrimitiveType::LineList, 7, 0, 3, 0},
        {PrimitiveType::LineStrip, 7, 0, 6, 0},
        {PrimitiveType::LineStrip, 1, 0, 0, 0},
        {PrimitiveType::PointList, 7, 0, 0, 7},
    };
    float vertices[7 * 3] = {};
    for (const Case& c : cases) {
        device.beginFrame();
        device.draw(c.primitive, vertices, c.vertices, vertexformat::Position, nullptr, 0);
        EXPECT_EQ(device.stats.vertices, c.vertices);
        EXPECT_EQ(device.stats.triangles, c.triangles) << c.primitive << "/" << c.vertices;
        EXPECT_EQ(device.stats.lines, c.lines) << c.primitive << "/" << c.vertices;
        EXPECT_EQ(device.stats.points, c.points) << c.primitive << "/" << c.vertices;
    }
    // With indices the index count decides, not the vertex count.
    device.beginFrame();
    const std::uint16_t indices[6] = {0, 1, 2, 2, 1, 3};
    EXPECT_EQ(device.draw(PrimitiveType::TriangleList, vertices, 4, vertexformat::Position, indices, 6), 2);
    EXPECT_EQ(device.stats.vertices, 4);
}

TEST_F(AttachedDevice, FramesCountAndSwapOnce)
{
    device.beginFrame();
    device.endFrame();
    device.endFrame();
    EXPECT_EQ(device.frameCount, 2);
    EXPECT_EQ(window->swaps, 2);
    EXPECT_EQ(window->makeCurrentCalls, 1);
    EXPECT_EQ(device.callsStartingWith("onPresent(").size(), 2u);
}

TEST_F(AttachedDevice, CameraGivesTheViewAndNullGivesIdentity)
{
    Camera camera;
    camera.set(-1.0f, -2.0f, -3.0f, 0.0f, 0.0f, 0.0f);
    device.setCamera(&camera);
    EXPECT_FLOAT_EQ(device.view.current().m[12], -1.0f);
    EXPECT_FLOAT_EQ(device.view.current().m[14], -3.0f);
    device.beginFrame(); // rebuilds the view from the stored camera
    EXPECT_FLOAT_EQ(device.view.current().m[13], -2.0f);
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
    EXPECT_EQ(device.calls, (std::vector<std::string>{"applyLight(7, 0, 1, 2, 3)"}));
}

TEST_F(AttachedDevice, ImmediateQuadIsAStripWithTexCoordsBeforeEachPosition)
{
    device.drawQuad(1, 2, 3, 4);
    EXPECT_EQ(device.callsStartingWith("drawArrays("),
              (std::vector<std::string>{"drawArrays(1, 4, 9, 0, 0)"}));
    EXPECT_EQ(device.stats.triangles, 2);

    // A builder that is already building ignores a second begin; extra vertices are dropped.
    device.clearCalls();
    device.beginPrimitive(PrimitiveType::PointList, 2, vertexformat::Position, 0);
    device.beginPrimitive(PrimitiveType::LineList, 9, vertexformat::Position, 0);
    device.addVertex(1, 1, 1);
    device.addVertex(2, 2, 2);
    device.addVertex(3, 3, 3);
    device.addTexCoord(0, 5, 5); // no texture set in this format: ignored
    device.endPrimitive();
    device.endPrimitive(); // not building: nothing
    EXPECT_EQ(device.callsStartingWith("drawArrays("),
              (std::vector<std::string>{"drawArrays(5, 2, 1, 0, 0)"}));
    // An indexed primitive hands its (zeroed) index array to the draw.
    device.clearCalls();
    device.beginPrimitive(PrimitiveType::TriangleList, 3, vertexformat::Position, 6);
    ASSERT_NE(device.primitiveIndices(), nullptr);
    EXPECT_EQ(device.primitiveIndices()[5], 0);
    device.endPrimitive();
    EXPECT_EQ(device.callsStartingWith("drawArrays("),
              (std::vector<std::string>{"drawArrays(0, 3, 1, 1, 6)"}));
}

TEST_F(AttachedDevice, BufferTableReusesFreedRecordsAndReportsFull)
{
    EXPECT_EQ(device.createBuffer(PrimitiveType::TriangleList, 3, 1, 0), 0);
    EXPECT_EQ(device.createBuffer(PrimitiveType::TriangleList, 6, 9, 6), 1);
    EXPECT_EQ(device.getBuffer(1)->vertexSize, 5);
    EXPECT_EQ(device.destroyBuffer(0), 0);
    EXPECT_EQ(device.createBuffer(PrimitiveType::LineList, 2, 1, 0), 0) << "the freed first record is reused";

    device.clearCalls();
    EXPECT_EQ(device.destroyBuffer(-1), -1);
    EXPECT_EQ(device.destroyBuffer(RenderDevice::BufferCount), -1);
    device.fillBuffer(-1, nullptr, nullptr);
    device.drawBuffer(-1);
    EXPECT_TRUE(device.calls.empty());

    for (int i = 2; i < RenderDevice::BufferCount; ++i)
        ASSERT_EQ(device.createBuffer(PrimitiveType::PointList, 1, 1, 0), i);
    device.clearCalls();
    EXPECT_EQ(device.createBuffer(PrimitiveType::PointList, 1, 1, 0), -1);
    EXPECT_TRUE(device.calls.empty()) << "a full table asks for no list";

    device.beginFrame();
    device.drawBuffer(1);
    EXPECT_EQ(device.stats.triangles, 2);
    EXPECT_EQ(device.count("callList(2)"), 1);
}

TEST_F(AttachedDevice, DefaultMaterialBindsSlotZeroAndSwitchesOtherUnitsOff)
{
    device.setTextureSlot(0, 42);
    EXPECT_EQ(device.setTextureSlot(16, 7), 16); // outside the slots: stored nowhere
    device.clearCalls();
    device.applyBindings();
    EXPECT_EQ(device.calls, (std::vector<std::string>{"setTexture(0, 42)", "setTexture(1, -1)", "setTexture(2, -1)",
                                                      "setTexture(3, -1)", "disableVertexProgram()"}));

    // No current material: nothing is bound.
    device.setMaterial(500);
    device.clearCalls();
    device.applyBindings();
    EXPECT_EQ(device.calls, (std::vector<std::string>{"disableVertexProgram()"}));
    device.setMaterial(-1);
    EXPECT_EQ(device.currentMaterial, device.getMaterial(device.defaultMaterial));
}

TEST_F(AttachedDevice, EightUnitsAtMostEvenWhenTheDriverReportsMore)
{
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
