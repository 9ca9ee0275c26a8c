// Combiner materials on a real GL (Mesa llvmpipe offscreen): every operation gives the
// value the GL_ARB_texture_env_combine equations give for chosen inputs. Pixels are read
// back as bytes; a channel may differ from the exact value by 2/255 (rounding of the
// 8-bit inputs and framebuffer), dot3 by 4/255 (its factor 4 magnifies that rounding).
#include "engine/material/GLCombineMaterial.h"
#include "tests/material/PixelFixture.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

namespace {

using Colour = std::array<float, 4>;

Colour toFloat(const Rgba& c)
{
    return { c[0] / 255.0f, c[1] / 255.0f, c[2] / 255.0f, c[3] / 255.0f };
}

float clamp01(float v)
{
    return std::clamp(v, 0.0f, 1.0f);
}

// The diffuse colour is the material's constant (it becomes the current colour).
const Rgba kDiffuse = { 60, 120, 180, 90 };
const Rgba kTexture = { 200, 100, 50, 160 };
const Rgba kWhite = { 255, 255, 255, 255 };
const Rgba kSecond = { 20, 240, 100, 64 };

std::string constLine(const Rgba& c)
{
    return "const " + std::to_string(c[0]) + " " + std::to_string(c[1]) + " "
        + std::to_string(c[2]) + " " + std::to_string(c[3]) + " ";
}

struct Case {
    const char* name;
    std::string script;            // after the constant
    Rgba unit1;                    // texture on unit 1 (unit 0 holds kTexture)
    // Expected red, green, blue from texture t, diffuse d and unit-1 texture u.
    std::function<Colour(const Colour& t, const Colour& d, const Colour& u)> expected;
    int tolerance = 2;
};

class CombinePixels : public PixelFixture {
protected:
    Rgba render(const std::string& script, const Rgba& unit1, bool* applied)
    {
        bindUnit(0, makeTexture(kTexture));
        bindUnit(1, makeTexture(unit1));
        GLCombineMaterial material(activeTexture_);
        std::string text = constLine(kDiffuse) + script;
        EXPECT_TRUE(material.loadFromString(text.c_str(), nullptr, nullptr))
            << material.compileError();
        *applied = material.apply();
        return drawQuad();
    }

    void expectNear(const Rgba& actual, const Colour& expected, int tolerance)
    {
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(actual[c], std::lround(clamp01(expected[c]) * 255.0f), tolerance)
                << "channel " << c;
    }
};

Colour each(const Colour& a, const Colour& b, float (*f)(float, float))
{
    return { f(a[0], b[0]), f(a[1], b[1]), f(a[2], b[2]), f(a[3], b[3]) };
}

// Stage 1 copies stage 0's alpha into the colour: interpolating a white texture and the
// zero environment colour ("c0" is never set) by the previous alpha.
const char* const kAlphaProbe = " tex 1 rgb currentalpha t0 c0 alpha leftarg t0 t0";

Colour grey(float v)
{
    return { v, v, v, 1.0f };
}

TEST_F(CombinePixels, ColourOperations)
{
    const Case cases[] = {
        { "leftarg", "tex 0 rgb leftarg t0 d0 alpha leftarg t0 d0", kWhite,
            [](auto& t, auto&, auto&) { return t; } },
        { "leftarg d0", "tex 0 rgb leftarg d0 t0 alpha leftarg t0 d0", kWhite,
            [](auto&, auto& d, auto&) { return d; } },
        { "c0 reads the default constant", "tex 0 rgb leftarg c0 t0 alpha leftarg t0 d0",
            kWhite, [](auto&, auto&, auto&) { return grey(0); } },
        { "modulate", "tex 0 rgb modulate t0 d0 alpha modulate t0 d0", kWhite,
            [](auto& t, auto& d, auto&) { return each(t, d, [](float a, float b) { return a * b; }); } },
        { "modulate2x", "tex 0 rgb modulate2x t0 d0 alpha modulate t0 d0", kWhite,
            [](auto& t, auto& d, auto&) { return each(t, d, [](float a, float b) { return 2 * a * b; }); } },
        { "modulate4x", "tex 0 rgb modulate4x t0 d0 alpha modulate t0 d0", kWhite,
            [](auto& t, auto& d, auto&) { return each(t, d, [](float a, float b) { return 4 * a * b; }); } },
        { "add", "tex 0 rgb add t0 d0 alpha add t0 d0", kWhite,
            [](auto& t, auto& d, auto&) { return each(t, d, [](float a, float b) { return a + b; }); } },
        { "addsigned", "tex 0 rgb addsigned t0 d0 alpha add t0 d0", kWhite,
            [](auto& t, auto& d, auto&) { return each(t, d, [](float a, float b) { return a + b - 0.5f; }); } },
        { "subtract", "tex 0 rgb subtract t0 d0 alpha add t0 d0", kWhite,
            [](auto& t, auto& d, auto&) { return each(t, d, [](float a, float b) { return a - b; }); } },
        { "subtract reversed", "tex 0 rgb subtract d0 t0 alpha add t0 d0", kWhite,
            [](auto& t, auto& d, auto&) { return each(d, t, [](float a, float b) { return a - b; }); } },
        { "diffusealpha", "tex 0 rgb diffusealpha t0 d0 alpha add t0 d0", kWhite,
            [](auto& t, auto& d, auto&) {
                Colour r;
                for (int c = 0; c < 4; ++c)
                    r[c] = t[c] * d[3] + d[c] * (1 - d[3]);
                return r;
            } },
        { "texturealpha", "tex 0 rgb texturealpha t0 d0 alpha add t0 d0", kWhite,
            [](auto& t, auto& d, auto&) {
                Colour r;
                for (int c = 0; c < 4; ++c)
                    r[c] = t[c] * t[3] + d[c] * (1 - t[3]);
                return r;
            } },
        { "dot3", "tex 0 rgb dot3 t0 d0 alpha add t0 d0", kWhite,
            [](auto& t, auto& d, auto&) {
                float s = 0;
                for (int c = 0; c < 3; ++c)
                    s += (t[c] - 0.5f) * (d[c] - 0.5f);
                return grey(4 * s);
            },
            4 },
        // Two stages: unit 1 reads the previous stage.
        { "modulate by previous", "tex 0 rgb leftarg t0 d0 alpha leftarg t0 d0 tex 1 rgb modulate r0 t0 alpha modulate r0 t0",
            kSecond, [](auto& t, auto&, auto& u) { return each(t, u, [](float a, float b) { return a * b; }); } },
        { "texturealpha over previous", "tex 0 rgb leftarg t0 d0 alpha leftarg t0 d0 tex 1 rgb texturealpha t0 r0 alpha leftarg t0 d0",
            kSecond, [](auto& t, auto&, auto& u) {
                Colour r;
                for (int c = 0; c < 4; ++c)
                    r[c] = u[c] * u[3] + t[c] * (1 - u[3]);
                return r;
            } },
        { "currentalpha", "tex 0 rgb leftarg t0 d0 alpha leftarg t0 d0 tex 1 rgb currentalpha t0 d0 alpha leftarg t0 d0",
            kSecond, [](auto& t, auto& d, auto& u) {
                Colour r;
                for (int c = 0; c < 4; ++c)
                    r[c] = u[c] * t[3] + d[c] * (1 - t[3]);
                return r;
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool applied = false;
        Rgba pixel = render(c.script, c.unit1, &applied);
        EXPECT_TRUE(applied);
        expectNear(pixel, c.expected(toFloat(kTexture), toFloat(kDiffuse), toFloat(c.unit1)),
            c.tolerance);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        deleteTextures();
        resetGL();
    }
}

TEST_F(CombinePixels, AlphaOperationsAndTheColourScale)
{
    const Case cases[] = {
        { "modulate", "tex 0 rgb leftarg t0 d0 alpha modulate t0 d0", kWhite,
            [](auto& t, auto& d, auto&) { return grey(t[3] * d[3]); } },
        { "leftarg d0", "tex 0 rgb leftarg t0 d0 alpha leftarg d0 t0", kWhite,
            [](auto&, auto& d, auto&) { return grey(d[3]); } },
        { "add", "tex 0 rgb leftarg t0 d0 alpha add t0 d0", kWhite,
            [](auto& t, auto& d, auto&) { return grey(t[3] + d[3]); } },
        { "subtract", "tex 0 rgb leftarg t0 d0 alpha subtract t0 d0", kWhite,
            [](auto& t, auto& d, auto&) { return grey(t[3] - d[3]); } },
        { "addsigned", "tex 0 rgb leftarg t0 d0 alpha addsigned t0 d0", kWhite,
            [](auto& t, auto& d, auto&) { return grey(t[3] + d[3] - 0.5f); } },
        // The alpha scale is the colour operation's: modulate2x doubles alpha too.
        { "scaled by the colour operation", "tex 0 rgb modulate2x t0 d0 alpha modulate t0 d0",
            kWhite, [](auto& t, auto& d, auto&) { return grey(2 * t[3] * d[3]); } },
        { "not by the alpha operation", "tex 0 rgb leftarg t0 d0 alpha modulate4x t0 d0",
            kWhite, [](auto& t, auto& d, auto&) { return grey(t[3] * d[3]); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool applied = false;
        Rgba pixel = render(c.script + kAlphaProbe, c.unit1, &applied);
        EXPECT_TRUE(applied);
        expectNear(pixel, c.expected(toFloat(kTexture), toFloat(kDiffuse), toFloat(c.unit1)),
            c.tolerance);
        deleteTextures();
        resetGL();
    }
}

TEST_F(CombinePixels, DisableStageSwitchesItsUnitOffAndEndsApply)
{
    bindUnit(0, makeTexture(kTexture));
    bindUnit(1, makeTexture({ 0, 0, 0, 0 })); // would blacken the result if left on
    bindUnit(2, 0);
    GLCombineMaterial material(activeTexture_);
    ASSERT_TRUE(material.loadFromString("const 255 255 255 255 tex 0 rgb leftarg t0 d0 alpha "
                                        "leftarg t0 d0 tex 1 tex 2 rgb add t0 r0 alpha add t0 r0",
        nullptr, nullptr));
    ASSERT_EQ(material.stageCount(), 3);
    EXPECT_FALSE(material.apply());

    selectUnit(1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_CUBE_MAP_ARB));
    selectUnit(2);
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE) << "a stage after the disabled one was installed";

    Rgba pixel = drawQuad();
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(pixel[c], kTexture[c], 2);
}

TEST_F(CombinePixels, OneDisabledChannelKeepsItsFunctionWithoutAnError)
{
    bindUnit(0, makeTexture(kTexture));
    GLCombineMaterial first(activeTexture_);
    ASSERT_TRUE(first.loadFromString("tex 0 rgb modulate t0 d0 alpha subtract t0 d0", nullptr,
        nullptr));
    ASSERT_TRUE(first.apply());
    GLCombineMaterial second(activeTexture_);
    ASSERT_TRUE(second.loadFromString("tex 0 rgb add t0 d0", nullptr, nullptr));
    EXPECT_TRUE(second.apply());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    selectUnit(0);
    GLint rgb = 0;
    GLint alpha = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, &rgb);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_COMBINE_ALPHA_ARB, &alpha);
    EXPECT_EQ(rgb, GL_ADD);
    EXPECT_EQ(alpha, GL_SUBTRACT_ARB);
}

TEST_F(CombinePixels, RecordOutsideTheTablesIsRefused)
{
    GLCombineMaterial material(activeTexture_);
    MaterialStage bad;
    bad.rgbOperation = kOperationCount;
    EXPECT_FALSE(material.applyStage(0, bad, MaterialColour()));
    MaterialStage badArgument;
    badArgument.rgbOperation = kOpAdd;
    badArgument.alphaArgument2 = -1;
    EXPECT_FALSE(material.applyStage(0, badArgument, MaterialColour()));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}
