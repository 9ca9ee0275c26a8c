// What a viewer sees: pixels read back from the OpenGL device on the offscreen driver.
#include "tests/support/GLTestContext.h"

#include "engine/material/Image.h"
#include "engine/material/Texture.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>
#include <vector>

namespace {

// Vertex of format position | colour | texture set 0 (0x00D): 24 bytes, colour at 12,
// texture coordinates at 16.
struct ColouredVertex {
    float x, y, z;
    std::uint8_t r, g, b, a;
    float u, v;
};
static_assert(sizeof(ColouredVertex) == 24);
constexpr int ColouredFormat = vertexformat::Position | vertexformat::Colour | vertexformat::Tex0;

struct PlainVertex {
    float x, y, z;
    float nx, ny, nz;
};
constexpr int LitFormat = vertexformat::Position | vertexformat::Normal;

class GLPixels : public GLDeviceTest {
protected:
    // A quad over the NDC rectangle, two triangles, every vertex of one colour.
    void drawColouredQuad(float x1, float y1, float x2, float y2, std::uint8_t r, std::uint8_t g, std::uint8_t b)
    {
        const ColouredVertex v[4] = {{x1, y1, 0, r, g, b, 255, 0, 0},
                                     {x2, y1, 0, r, g, b, 255, 1, 0},
                                     {x2, y2, 0, r, g, b, 255, 1, 1},
                                     {x1, y2, 0, r, g, b, 255, 0, 1}};
        const std::uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
        device().draw(PrimitiveType::TriangleList, reinterpret_cast<const float*>(v), 4, ColouredFormat, indices, 6);
    }

    int solidTexture(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
    {
        Image image;
        image.allocate(4, 4, 32);
        for (std::uint32_t i = 0; i < 16; ++i) {
            std::uint8_t* p = image.pixels() + i * 4;
            p[0] = r;
            p[1] = g;
            p[2] = b;
            p[3] = a;
        }
        return device().addTexture(image, "test");
    }
};

TEST_F(GLPixels, ClearColoursReachTheWholeBuffer)
{
    const float colours[][3] = {{1, 0, 0}, {0, 1, 0}, {0.0f, 0.0f, 70.0f / 255.0f}, {1, 1, 1}};
    for (const auto& c : colours) {
        device().setClearColor(c[0], c[1], c[2]);
        device().clearColor();
        for (int y : {0, 31, 63})
            EXPECT_TRUE(nearColour(gl.pixel(y, y), int(c[0] * 255 + 0.5f), int(c[1] * 255 + 0.5f), int(c[2] * 255 + 0.5f)))
                << c[0] << " " << c[1] << " " << c[2];
    }
    device().setClearColor(0.5f, 0.25f, 0.0f);
    device().clearAll();
    EXPECT_TRUE(nearColour(gl.pixel(10, 50), 128, 64, 0));
}

TEST_F(GLPixels, DefaultMaterialMultipliesTextureByVertexColour)
{
    const int texture = solidTexture(200, 100, 255, 255);
    ASSERT_GE(texture, 0);
    device().setTextureSlot(0, texture);
    drawColouredQuad(-1, -1, 0, 1, 128, 255, 0); // left half
    // Right half without a texture: the unit is switched off, the vertex colour remains.
    device().setTextureSlot(0, -1);
    drawColouredQuad(0, -1, 1, 1, 10, 20, 30);
    EXPECT_TRUE(nearColour(gl.pixel(16, 32), 100, 100, 0)) << "texture x vertex colour";
    EXPECT_TRUE(nearColour(gl.pixel(48, 32), 10, 20, 30)) << "vertex colour alone";
    EXPECT_TRUE(gl.writePpm(gl.scratch().file("render_default_material.ppm")));
}

TEST_F(GLPixels, TrilinearFilterOnATextureWithoutMipmapsStillSamples)
{
    // createTexture makes a green texture without mip levels; with the stage's default
    // trilinear filter it must be sampled bilinearly, not left incomplete (black).
    const int texture = device().createTexture(8, 8, 24);
    ASSERT_GE(texture, 0);
    device().setTextureSlot(0, texture);
    drawColouredQuad(-1, -1, 1, 1, 255, 255, 255);
    EXPECT_TRUE(nearColour(gl.pixel(32, 32), 0, 255, 0));

    // An update rewrites the pixels.
    Image blue;
    blue.allocate(8, 8, 24);
    blue.fill(0xFF0000FFu);
    EXPECT_TRUE(device().updateTexture(texture, blue));
    drawColouredQuad(-1, -1, 1, 1, 255, 255, 255);
    EXPECT_TRUE(nearColour(gl.pixel(32, 32), 0, 0, 255));
}

TEST_F(GLPixels, LightsShadeByTheirDirection)
{
    device().setTextureSlot(0, -1);
    device().setLightingCached(true);
    Light light;
    light.type = LightDirectional;
    light.position = Vec3(0, 0, -1); // shining towards -z, onto a face looking at +z
    light.diffuse = Color(255, 0, 0, 255);
    light.range = 100.0f;
    device().setLight(0, light);
    device().enableLight(0);
    const PlainVertex quad[4] = {{-1, -1, 0, 0, 0, 1}, {1, -1, 0, 0, 0, 1}, {-1, 1, 0, 0, 0, 1}, {1, 1, 0, 0, 0, 1}};
    device().draw(PrimitiveType::TriangleStrip, &quad[0].x, 4, LitFormat, nullptr, 0);
    EXPECT_TRUE(nearColour(gl.pixel(32, 32), 255, 0, 0));

    // At 60 degrees the diffuse term halves.
    light.position = Vec3(0, -0.8660254f, -0.5f);
    device().setLight(0, light);
    device().draw(PrimitiveType::TriangleStrip, &quad[0].x, 4, LitFormat, nullptr, 0);
    EXPECT_TRUE(nearColour(gl.pixel(32, 32), 128, 0, 0, 3));

    // Switched off: only the (black) ambient remains.
    device().disableLight(0);
    device().draw(PrimitiveType::TriangleStrip, &quad[0].x, 4, LitFormat, nullptr, 0);
    EXPECT_TRUE(nearColour(gl.pixel(32, 32), 0, 0, 0));
    device().setLightingCached(false);
}

TEST_F(GLPixels, LinearFogBlendsTowardsTheFogColour)
{
    device().setTextureSlot(0, -1);
    device().setFogColor(0.0f, 0.0f, 1.0f);
    device().setFogMode(FogMode::Linear);
    device().setFogStart(-1.0f);
    device().setFogEnd(1.0f); // eye distance 0: half way
    device().enableFog();
    drawColouredQuad(-1, -1, 1, 1, 255, 255, 255);
    EXPECT_TRUE(nearColour(gl.pixel(32, 32), 128, 128, 255, 3));
    device().disableFog();
    drawColouredQuad(-1, -1, 1, 1, 255, 255, 255);
    EXPECT_TRUE(nearColour(gl.pixel(32, 32), 255, 255, 255));
}

TEST_F(GLPixels, OrthographicRectanglesLandOnTheirPixels)
{
    device().drawRect2D(10, 20, 30, 40, 1, 0, 0, 1, false);
    EXPECT_TRUE(nearColour(gl.pixel(15, 25), 255, 0, 0));
    EXPECT_TRUE(nearColour(gl.pixel(28, 38), 255, 0, 0));
    EXPECT_TRUE(nearColour(gl.pixel(5, 25), 0, 0, 0)) << "left of the rectangle";
    EXPECT_TRUE(nearColour(gl.pixel(15, 45), 0, 0, 0)) << "below: y grows downwards";
    EXPECT_TRUE(nearColour(gl.pixel(15, 15), 0, 0, 0)) << "above";

    // Normalised: fractions of the viewport; the bottom-right quarter.
    device().drawRect2D(0.5f, 0.5f, 1.0f, 1.0f, 0, 0, 1, 1, true);
    EXPECT_TRUE(nearColour(gl.pixel(50, 50), 0, 0, 255));
    EXPECT_TRUE(nearColour(gl.pixel(50, 10), 0, 0, 0));

    // Partly transparent green over the red one (above the default alpha reference 0.5).
    device().drawRect2D(10, 20, 20, 40, 0, 1, 0, 0.6f, false);
    EXPECT_TRUE(nearColour(gl.pixel(15, 30), 102, 153, 0, 3));
    GLboolean blend = GL_TRUE;
    glGetBooleanv(GL_BLEND, &blend);
    EXPECT_EQ(blend, GL_FALSE) << "blending is switched off again";

    device().drawLine2D(0, 55, 64, 55, 1, 1, 0, 1, false);
    const bool onLine = nearColour(gl.pixel(32, 55), 255, 255, 0) || nearColour(gl.pixel(32, 54), 255, 255, 0);
    EXPECT_TRUE(onLine);

    // The state the 2D frame leaves: depth test and culling on.
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(gl.writePpm(gl.scratch().file("render_rect2d.ppm")));
}

TEST_F(GLPixels, TexturedRectangleBlendsByTextureAlpha)
{
    device().setClearColor(0, 0, 1);
    device().clearColor();
    const int texture = solidTexture(255, 255, 255, 153); // alpha 0.6
    ASSERT_GE(texture, 0);
    device().setTexture(0, texture);
    device().drawTexturedRect2D(texture, 8, 8, 56, 56, false);
    EXPECT_EQ(device().textureSlots[0], texture);
    const Rgba8 p = gl.pixel(32, 32);
    EXPECT_TRUE(nearColour(p, 153, 153, 255, 3)) << int(p.r) << " " << int(p.g) << " " << int(p.b);
    EXPECT_TRUE(nearColour(gl.pixel(4, 4), 0, 0, 255));
}

TEST_F(GLPixels, StaticBufferDrawsTheSamePixelsAsTheDynamicPath)
{
    const ColouredVertex v[5] = {{-0.9f, -0.9f, 0, 255, 0, 0, 255, 0, 0},
                                 {0.9f, -0.9f, 0, 0, 255, 0, 255, 0, 0},
                                 {0.0f, 0.9f, 0, 0, 0, 255, 255, 0, 0},
                                 {-0.9f, 0.5f, 0, 255, 255, 0, 255, 0, 0},
                                 {-0.5f, 0.9f, 0, 255, 0, 255, 255, 0, 0}};
    const std::uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    const float* data = reinterpret_cast<const float*>(v);
    device().setTextureSlot(0, -1);

    device().beginFrame();
    device().draw(PrimitiveType::TriangleList, data, 5, ColouredFormat, indices, 6);
    const std::vector<std::uint8_t> dynamic = gl.readRgb();
    const RenderStats dynamicStats = device().stats;

    device().clearAll();
    device().beginFrame();
    const int buffer = device().createBuffer(PrimitiveType::TriangleList, 5, ColouredFormat, 6);
    ASSERT_GE(buffer, 0);
    device().fillBuffer(buffer, data, indices);
    device().drawBuffer(buffer);
    const std::vector<std::uint8_t> listed = gl.readRgb();
    EXPECT_EQ(device().stats.triangles, dynamicStats.triangles);
    EXPECT_EQ(device().stats.vertices, dynamicStats.vertices);

    int lit = 0;
    for (size_t i = 0; i < dynamic.size(); ++i)
        lit += dynamic[i] != 0;
    EXPECT_GT(lit, 1000) << "the triangles cover a good part of the window";
    EXPECT_TRUE(dynamic == listed) << "display list and vertex arrays must agree pixel for pixel";
    EXPECT_EQ(device().destroyBuffer(buffer), 0);
    EXPECT_TRUE(gl.writePpm(gl.scratch().file("render_static_buffer.ppm")));
}

TEST_F(GLPixels, WireShapesAndPointsLeaveWhiteAsTheCurrentColour)
{
    device().setTextureSlot(0, -1);
    device().applyBindings();
    device().drawWireBox(-0.5f, -0.5f, 0.0f, 0.5f, 0.5f, 0.0f, 0, 1, 0);
    device().drawWireEllipsoid(0, 0, 0, 0.8f, 0.8f, 0.0f, 1, 0, 0);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 1.0f);
    EXPECT_FLOAT_EQ(colour[1], 1.0f);
    EXPECT_FLOAT_EQ(colour[2], 1.0f);
    // The ellipsoid's z = 0 ring is a circle of radius 0.8 in x, y: its rightmost point.
    int red = 0;
    for (int y = 28; y <= 36; ++y)
        for (int x = 55; x <= 60; ++x)
            red += nearColour(gl.pixel(x, y), 255, 0, 0, 10);
    EXPECT_GT(red, 0);
}


// A state set without the cache's comparison must still be what the cache believes: a
// cached setter that follows then changes (or keeps) the real state.
TEST_F(GLPixels, PlainStateSettersKeepTheCacheTrue)
{
    auto value = [](GLenum name) {
        GLfloat v = 0.0f;
        glGetFloatv(name, &v);
        return v;
    };
    struct Case {
        void (*steps)(RenderDevice&);
        GLenum state;
        float expected;
    };
    const Case cases[] = {
        {[](RenderDevice& d) { d.setAlphaFunc(CompareFunc::Less); d.setAlphaRefCached(0.25f); },
         GL_ALPHA_TEST_FUNC, float(GL_LESS)},
        {[](RenderDevice& d) { d.setAlphaRef(0.75f); d.setAlphaFunc(CompareFunc::Equal); }, GL_ALPHA_TEST_REF, 0.75f},
        {[](RenderDevice& d) { d.setCullMode(CullMode::None); d.setCullModeCached(CullMode::Back); }, GL_CULL_FACE, 1.0f},
        {[](RenderDevice& d) { d.setDepthWrite(false); d.setDepthWriteCached(true); }, GL_DEPTH_WRITEMASK, 1.0f},
        {[](RenderDevice& d) { d.setBlending(true); d.setBlendingCached(false); }, GL_BLEND, 0.0f},
        {[](RenderDevice& d) { d.setBlendFunc(BlendFactor::One, BlendFactor::One); d.setBlendFuncCached(4, 5); },
         GL_BLEND_SRC, float(GL_SRC_ALPHA)},
    };
    for (const Case& c : cases) {
        device().resetState();
        c.steps(device());
        EXPECT_EQ(value(c.state), c.expected) << "state 0x" << std::hex << c.state;
    }
}
}
