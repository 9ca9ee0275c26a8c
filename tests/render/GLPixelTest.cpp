// What a viewer sees: pixels read back from the OpenGL device on the offscreen driver.
#include "tests/support/GLTestContext.h"

#include "engine/material/Image.h"
#include "engine/material/Texture.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

namespace {

// Position | colour | texture set 0: 24 bytes, colour at 12, texture coordinates at 16.
struct ColouredVertex {
    float x, y, z;
    std::uint8_t r, g, b, a;
    float u, v;
};
constexpr int ColouredFormat = vertexformat::Position | vertexformat::Colour | vertexformat::Tex0;

class GLPixels : public GLDeviceTest {
protected:
    // A quad over the NDC rectangle, every vertex of one colour.
    void quad(float x1, float y1, float x2, float y2, std::uint8_t r, std::uint8_t g, std::uint8_t b)
    {
        const ColouredVertex v[4] = { { x1, y1, 0, r, g, b, 255, 0, 0 }, { x2, y1, 0, r, g, b, 255, 1, 0 },
                                      { x2, y2, 0, r, g, b, 255, 1, 1 }, { x1, y2, 0, r, g, b, 255, 0, 1 } };
        const std::uint16_t indices[6] = { 0, 1, 2, 0, 2, 3 };
        device().draw(PrimitiveType::TriangleList, &v[0].x, 4, ColouredFormat, indices, 6);
    }
    int solidTexture(std::uint32_t argb)
    {
        Image image;
        image.allocate(4, 4, 32);
        image.fill(argb);
        return device().addTexture(image, "test");
    }
};

TEST_F(GLPixels, DefaultMaterialMultipliesTextureByVertexColour)
{
    device().setClearColor(0.0f, 0.0f, 70.0f / 255.0f);
    device().clearAll();
    EXPECT_TRUE(nearColour(gl.pixel(63, 63), 0, 0, 70));
    const int texture = solidTexture(0xFFC864FFu);  // (200, 100, 255)
    ASSERT_GE(texture, 0);
    device().setTextureSlot(0, texture);
    quad(-1, -1, 0, 1, 128, 255, 0);
    // Without a texture the unit is switched off and the vertex colour remains.
    device().setTextureSlot(0, -1);
    quad(0, -1, 1, 1, 10, 20, 30);
    EXPECT_TRUE(nearColour(gl.pixel(16, 32), 100, 100, 0)) << "texture x vertex colour";
    EXPECT_TRUE(nearColour(gl.pixel(48, 32), 10, 20, 30)) << "vertex colour alone";
}

TEST_F(GLPixels, TrilinearFilterOnATextureWithoutMipmapsStillSamples)
{
    // createTexture makes a green texture without mip levels; the stage's default
    // trilinear filter must sample it bilinearly, not leave it incomplete (black).
    const int texture = device().createTexture(8, 8, 24);
    ASSERT_GE(texture, 0);
    device().setTextureSlot(0, texture);
    quad(-1, -1, 1, 1, 255, 255, 255);
    EXPECT_TRUE(nearColour(gl.pixel(32, 32), 0, 255, 0));
    Image blue;
    blue.allocate(8, 8, 24);
    blue.fill(0xFF0000FFu);
    EXPECT_TRUE(device().updateTexture(texture, blue));
    quad(-1, -1, 1, 1, 255, 255, 255);
    EXPECT_TRUE(nearColour(gl.pixel(32, 32), 0, 0, 255));
}

TEST_F(GLPixels, LightsShadeByTheirDirectionAndFogBlendsLinearly)
{
    device().setTextureSlot(0, -1);
    device().setLightingCached(true);
    Light light;
    light.type = LightDirectional;
    light.diffuse = Color(255, 0, 0, 255);
    light.range = 100.0f;
    device().enableLight(0);
    const float lit[4][6] = { { -1, -1, 0, 0, 0, 1 }, { 1, -1, 0, 0, 0, 1 }, { -1, 1, 0, 0, 0, 1 }, { 1, 1, 0, 0, 0, 1 } };
    // Straight onto the face, then at 60 degrees (half the diffuse term), then off.
    for (auto [y, z, red] : { std::tuple { 0.0f, -1.0f, 255 }, { -0.8660254f, -0.5f, 128 }, { 0.0f, -1.0f, 0 } }) {
        light.position = Vec3(0, y, z);
        device().setLight(0, light);
        if (red == 0)
            device().disableLight(0);
        device().draw(PrimitiveType::TriangleStrip, lit[0], 4, vertexformat::Position | vertexformat::Normal, nullptr, 0);
        EXPECT_TRUE(nearColour(gl.pixel(32, 32), red, 0, 0, 3)) << red;
    }
    device().setLightingCached(false);
    device().setFogColor(0.0f, 0.0f, 1.0f);
    device().setFogMode(FogMode::Linear);
    device().setFogStart(-1.0f);
    device().setFogEnd(1.0f);  // eye distance 0: half way
    device().enableFog();
    quad(-1, -1, 1, 1, 255, 255, 255);
    EXPECT_TRUE(nearColour(gl.pixel(32, 32), 128, 128, 255, 3));
    device().disableFog();
}

TEST_F(GLPixels, OrthographicRectanglesLandOnTheirPixels)
{
    device().drawRect2D(10, 20, 30, 40, 1, 0, 0, 1, false);
    for (auto [x, y, red] : { std::tuple { 15, 25, 255 }, { 28, 38, 255 }, { 5, 25, 0 }, { 15, 45, 0 }, { 15, 15, 0 } })
        EXPECT_TRUE(nearColour(gl.pixel(x, y), red, 0, 0)) << x << "," << y << ": y grows downwards";
    // Normalised: fractions of the viewport; the bottom-right quarter.
    device().drawRect2D(0.5f, 0.5f, 1.0f, 1.0f, 0, 0, 1, 1, true);
    EXPECT_TRUE(nearColour(gl.pixel(50, 50), 0, 0, 255));
    EXPECT_TRUE(nearColour(gl.pixel(50, 10), 0, 0, 0));
    // Partly transparent green over the red one; blending is switched off again after.
    device().drawRect2D(10, 20, 20, 40, 0, 1, 0, 0.6f, false);
    EXPECT_TRUE(nearColour(gl.pixel(15, 30), 102, 153, 0, 3));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    // A textured rectangle blends by the texture's alpha (0.6).
    const int texture = solidTexture(0x99FFFFFFu);
    device().drawTexturedRect2D(texture, 40, 0, 64, 16, false);
    EXPECT_EQ(device().textureSlots[0], texture);
    EXPECT_TRUE(nearColour(gl.pixel(52, 8), 153, 153, 153, 3));
    // The state the 2D frame leaves: depth test and culling on.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(GLPixels, StaticBufferDrawsTheSamePixelsAsTheDynamicPath)
{
    const ColouredVertex v[4] = { { -0.9f, -0.9f, 0, 255, 0, 0, 255, 0, 0 }, { 0.9f, -0.9f, 0, 0, 255, 0, 255, 0, 0 },
                                  { 0.0f, 0.9f, 0, 0, 0, 255, 255, 0, 0 }, { -0.9f, 0.5f, 0, 255, 255, 0, 255, 0, 0 } };
    const std::uint16_t indices[6] = { 0, 1, 2, 0, 2, 3 };
    device().setTextureSlot(0, -1);
    device().draw(PrimitiveType::TriangleList, &v[0].x, 4, ColouredFormat, indices, 6);
    const std::vector<std::uint8_t> dynamic = gl.readRgb();
    device().clearAll();
    const int buffer = device().createBuffer(PrimitiveType::TriangleList, 4, ColouredFormat, 6);
    ASSERT_GE(buffer, 0);
    device().fillBuffer(buffer, &v[0].x, indices);
    device().drawBuffer(buffer);
    EXPECT_GT(std::count_if(dynamic.begin(), dynamic.end(), [](std::uint8_t c) { return c != 0; }), 1000);
    EXPECT_TRUE(dynamic == gl.readRgb()) << "display list and vertex arrays must agree pixel for pixel";
    EXPECT_EQ(device().destroyBuffer(buffer), 0);
}

// A state set without the cache's comparison must still be what the cache believes: a
// cached setter that follows then changes (or keeps) the real state.
TEST_F(GLPixels, PlainStateSettersKeepTheCacheTrue)
{
    const struct { void (*steps)(RenderDevice&); GLenum state; float expected; } cases[] = {
        { [](RenderDevice& d) { d.setAlphaFunc(CompareFunc::Less); d.setAlphaRefCached(0.25f); }, GL_ALPHA_TEST_FUNC, float(GL_LESS) },
        { [](RenderDevice& d) { d.setAlphaRef(0.75f); d.setAlphaFunc(CompareFunc::Equal); }, GL_ALPHA_TEST_REF, 0.75f },
        { [](RenderDevice& d) { d.setCullMode(CullMode::None); d.setCullModeCached(CullMode::Back); }, GL_CULL_FACE, 1.0f },
        { [](RenderDevice& d) { d.setDepthWrite(false); d.setDepthWriteCached(true); }, GL_DEPTH_WRITEMASK, 1.0f },
        { [](RenderDevice& d) { d.setBlending(true); d.setBlendingCached(false); }, GL_BLEND, 0.0f },
        { [](RenderDevice& d) { d.setBlendFunc(BlendFactor::One, BlendFactor::One); d.setBlendFuncCached(4, 5); },
          GL_BLEND_SRC, float(GL_SRC_ALPHA) },
    };
    for (const auto& c : cases) {
        device().resetState();
        c.steps(device());
        GLfloat value = 0.0f;
        glGetFloatv(c.state, &value);
        EXPECT_EQ(value, c.expected) << "state 0x" << std::hex << c.state;
    }
}

}
