// Combiner materials on a real GL (Mesa llvmpipe offscreen): every operation gives the
// pixel the GL_ARB_texture_env_combine equations give for fixed inputs: texture t =
// (200, 100, 50, 160) on unit 0, diffuse d = the material's constant (60, 120, 180, 90),
// and a second texture u on unit 1. A channel may differ by 2/255 (rounding of the 8-bit
// inputs and framebuffer), dot3 by 4/255 (its factor 4 magnifies that rounding).
#include "engine/material/GLCombineMaterial.h"
#include "tests/material/PixelFixture.h"

#include <string>

namespace {

const Rgba kTexture = { 200, 100, 50, 160 };
const Rgba kWhite = { 255, 255, 255, 255 };
const Rgba kSecond = { 20, 240, 100, 64 };

struct Case {
    const char* script;  // after the constant
    Rgba unit1;          // texture on unit 1
    Rgba expected;       // red, green, blue
    int tolerance = 2;
};

// Stage 1 copies stage 0's alpha into the colour: interpolating a white texture and the
// zero environment colour ("c0" is never set) by the previous alpha.
const std::string kAlphaProbe = " tex 1 rgb currentalpha t0 c0 alpha leftarg t0 t0";

class CombinePixels : public PixelFixture {
protected:
    void expectPixels(const Case* begin, const Case* end, const std::string& suffix)
    {
        for (const Case* c = begin; c != end; ++c) {
            SCOPED_TRACE(c->script);
            bindUnit(0, makeTexture(kTexture));
            bindUnit(1, makeTexture(c->unit1));
            GLCombineMaterial material(activeTexture_);
            std::string text = "const 60 120 180 90 " + std::string(c->script) + suffix;
            EXPECT_TRUE(material.loadFromString(text.c_str(), nullptr, nullptr)) << material.compileError();
            EXPECT_TRUE(material.apply());
            Rgba pixel = drawQuad();
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(pixel[k], c->expected[k], c->tolerance) << "channel " << k;
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
            deleteTextures();
            resetGL();
        }
    }
};

TEST_F(CombinePixels, ColourOperations)
{
    const Case cases[] = {
        { "tex 0 rgb leftarg t0 d0 alpha leftarg t0 d0", kWhite, { 200, 100, 50 } },
        { "tex 0 rgb leftarg d0 t0 alpha leftarg t0 d0", kWhite, { 60, 120, 180 } },
        { "tex 0 rgb leftarg c0 t0 alpha leftarg t0 d0", kWhite, { 0, 0, 0 } },
        { "tex 0 rgb modulate t0 d0 alpha modulate t0 d0", kWhite, { 47, 47, 35 } },
        { "tex 0 rgb modulate2x t0 d0 alpha modulate t0 d0", kWhite, { 94, 94, 71 } },
        { "tex 0 rgb modulate4x t0 d0 alpha modulate t0 d0", kWhite, { 188, 188, 141 } },
        { "tex 0 rgb add t0 d0 alpha add t0 d0", kWhite, { 255, 220, 230 } },
        { "tex 0 rgb addsigned t0 d0 alpha add t0 d0", kWhite, { 132, 93, 102 } },
        { "tex 0 rgb subtract t0 d0 alpha add t0 d0", kWhite, { 140, 0, 0 } },
        { "tex 0 rgb subtract d0 t0 alpha add t0 d0", kWhite, { 0, 20, 130 } },
        { "tex 0 rgb diffusealpha t0 d0 alpha add t0 d0", kWhite, { 109, 113, 134 } },
        { "tex 0 rgb texturealpha t0 d0 alpha add t0 d0", kWhite, { 148, 107, 98 } },
        { "tex 0 rgb dot3 t0 t0 alpha add t0 d0", kWhite, { 189, 189, 189 }, 4 },
        // Two stages: unit 1 reads the previous stage.
        { "tex 0 rgb leftarg t0 d0 alpha leftarg t0 d0 tex 1 rgb modulate r0 t0 alpha modulate r0 t0", kSecond, { 16, 94, 20 } },
        { "tex 0 rgb leftarg t0 d0 alpha leftarg t0 d0 tex 1 rgb texturealpha t0 r0 alpha leftarg t0 d0", kSecond, { 155, 135, 63 } },
        { "tex 0 rgb leftarg t0 d0 alpha leftarg t0 d0 tex 1 rgb currentalpha t0 d0 alpha leftarg t0 d0", kSecond, { 35, 195, 130 } },
    };
    expectPixels(std::begin(cases), std::end(cases), "");
}

TEST_F(CombinePixels, AlphaOperationsAndTheColourScale)
{
    const Case cases[] = {
        { "tex 0 rgb leftarg t0 d0 alpha modulate t0 d0", kWhite, { 56, 56, 56 } },
        { "tex 0 rgb leftarg t0 d0 alpha leftarg d0 t0", kWhite, { 90, 90, 90 } },
        { "tex 0 rgb leftarg t0 d0 alpha add t0 d0", kWhite, { 250, 250, 250 } },
        { "tex 0 rgb leftarg t0 d0 alpha subtract t0 d0", kWhite, { 70, 70, 70 } },
        { "tex 0 rgb leftarg t0 d0 alpha addsigned t0 d0", kWhite, { 123, 123, 123 } },
        // The alpha scale is the colour operation's: modulate2x doubles alpha too, and an
        // alpha modulate4x does not scale.
        { "tex 0 rgb modulate2x t0 d0 alpha modulate t0 d0", kWhite, { 113, 113, 113 } },
        { "tex 0 rgb leftarg t0 d0 alpha modulate4x t0 d0", kWhite, { 56, 56, 56 } },
    };
    expectPixels(std::begin(cases), std::end(cases), kAlphaProbe);
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
