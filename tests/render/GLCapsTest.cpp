#include "tests/support/GLTestContext.h"

#include "engine/material/Image.h"
#include "engine/render/AppWindow.h"
#include "engine/render/GLExtensions.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>

#include <unistd.h>

namespace {

TEST(GLExtensionNames, AreFoundAsSubstrings)
{
    const struct { const char* extensions; const char* name; bool found; } cases[] = {
        {"GL_ARB_multitexture GL_EXT_foo", "GL_ARB_multitexture", true},
        {"GL_EXT_foo GL_ARB_multitexture_extended", "GL_ARB_multitexture", true}, // prefix of a longer name
        {"GL_EXT_foo GL_ARB_multitextur", "GL_ARB_multitexture", false},
        {"", "GL_ARB_multitexture", false},
        {nullptr, "GL_ARB_multitexture", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(glext::hasExtension(c.extensions, c.name), c.found) << (c.extensions ? c.extensions : "(null)");
}

TEST(GLCaps, EachStartAppendsTheDriverReport)
{
    GLTestContext gl(16, 16);
    if (!gl.ok())
        GTEST_SKIP() << "no GL context";
    const Caps& caps = gl.device().caps;
    EXPECT_GE(caps.MaxSimultaneousTextures, 2);
    EXPECT_GE(caps.MaxTextureWidth, 1024);
    EXPECT_FALSE(caps.NativeColorOrder);
    EXPECT_FALSE(caps.OcclusionTest) << "llvmpipe has no GL_HP_occlusion_test";
    std::ostringstream report;
    report << "OpenGl Extensions :\n" << reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)) << "\n \n"
           << "** Resquested Extension Ok - MultiTexturing \n"
           << "** WARNING ** - Can't use NV Occlusion Query \n"
           << "** WARNING ** - Can't use HP Occlusion Test \n"
           << "Caps.DeviceName              = DUZER - OPENGL\n"
           << "Caps.MaxSimultaneousTextures = " << caps.MaxSimultaneousTextures << "\n"
           << "Caps.MaxTextureWidth         = " << caps.MaxTextureWidth << "\n"
           << "Caps.MaxTextureHeight        = " << caps.MaxTextureHeight << "\n"
           << "Caps.PixelShaderVersion      = 0.0\n"
           << "Caps.VertexShaderVersion     = 1.0\n \n";
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(gl.scratch().path().c_str()), 0);
    gl.device().attachWindow(new AppWindow(16, 16, 32, false, false));
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_EQ(readWholeFile(gl.scratch().file("Init.log")), report.str() + report.str());
}

TEST(GLCaps, OlderDriverDegradesWithoutCallingMissingEntryPoints)
{
    GLTestContext gl(32, 32, "GL_ARB_texture_env_combine GL_EXT_bgra");
    if (!gl.ok())
        GTEST_SKIP() << "no GL context";
    GLRenderDevice& d = gl.device();
    EXPECT_FALSE(d.hasMultitexture);
    EXPECT_FALSE(d.hasVertexProgram);
    EXPECT_TRUE(d.hasEnvCombine);
    EXPECT_EQ(std::make_tuple(d.caps.MaxSimultaneousTextures, int(d.caps.VertexShaderVersion.major), d.caps.MaxAnisotropy,
                              d.caps.AnisotropicFiltering), std::make_tuple(1, 0, 0, false));
    EXPECT_EQ(glext::glActiveTextureARB, nullptr);
    EXPECT_EQ(glext::glGenProgramsARB, nullptr);

    // No program object that would call a null entry point.
    EXPECT_EQ(d.newVertexProgram(1, 0), nullptr) << "level 1 needs GL_ARB_vertex_program";

    // One texture unit still draws texture set 0 from interleaved vertices: a texture of
    // a red and a blue column across the window shows both.
    Image image;
    image.allocate(2, 1, 24);
    const std::uint8_t texels[6] = {255, 0, 0, 0, 0, 255};
    std::copy(texels, texels + 6, image.pixels());
    const int texture = d.addTexture(image, "columns");
    ASSERT_GE(texture, 0);
    d.setTextureFilter(0, TextureFilter::Point);
    d.setTextureSlot(0, texture);
    d.setProjection(Mat4());
    d.setView(Mat4());
    const float quad[4][5] = {{-1, -1, 0, 0, 0}, {1, -1, 0, 1, 0}, {-1, 1, 0, 0, 1}, {1, 1, 0, 1, 1}};
    d.draw(PrimitiveType::TriangleStrip, quad[0], 4, vertexformat::Position | vertexformat::Tex0, nullptr, 0);
    EXPECT_TRUE(nearColour(gl.pixel(4, 16), 255, 0, 0));
    EXPECT_TRUE(nearColour(gl.pixel(28, 16), 0, 0, 255));

    const std::string log = readWholeFile(gl.scratch().file("Init.log"));
    EXPECT_NE(log.find("** WARNING ** - Can't Do MultiTexturing \n"), std::string::npos);
    EXPECT_NE(log.find("Caps.VertexShaderVersion     = 0.0\n"), std::string::npos);
}

}
