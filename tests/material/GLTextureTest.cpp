// OpenGL textures through the device's texture table: uploads of every supported depth,
// GL-built mip levels, cube maps, updates and the GL name's lifetime.
#include "tests/support/ImageFiles.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/MountedDisk.h"

#include "engine/material/GLTexture.h"
#include "engine/material/Image.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

namespace {

class GLTextures : public GLDeviceTest {
protected:
    // Draws the whole window with texture slot 0 = texture, every vertex's texture
    // coordinate (s, t, r) (three components: a cube map reads a direction).
    Rgba8 drawWith(int texture, float s = 0.5f, float t = 0.5f, float r = 0.0f)
    {
        device().setTextureSlot(0, texture);
        const float v[4][6] = {{-1, -1, 0, s, t, r}, {1, -1, 0, s, t, r}, {-1, 1, 0, s, t, r}, {1, 1, 0, s, t, r}};
        device().draw(PrimitiveType::TriangleStrip, v[0], 4, vertexformat::Position | vertexformat::Tex0Vec3, nullptr, 0);
        return gl.pixel(32, 32);
    }
};

TEST_F(GLTextures, EveryDepthUploadsWithAMatchingTransfer)
{
    struct Case {
        unsigned bits;
        std::uint32_t fill; // 0xAARRGGBB
        int r, g, b, tolerance;
    };
    const Case cases[] = {
        {16, 0xFFFF0000u, 255, 0, 0, 8},     // 5-6-5 red
        {16, 0xFF00FF00u, 0, 255, 0, 8},     // 5-6-5 green: the six-bit field
        {16, 0xFF0000FFu, 0, 0, 255, 8},
        {16, 0xFF808040u, 132, 130, 66, 10}, // mixed: the fields are not swapped
        {24, 0xFF204080u, 32, 64, 128, 2},
        {32, 0xFF8040C0u, 128, 64, 192, 2},
    };
    for (const Case& c : cases) {
        Image image;
        image.allocate(4, 4, c.bits);
        image.fill(c.fill);
        const int texture = device().addTexture(image, "depth");
        ASSERT_GE(texture, 0);
        const Rgba8 p = drawWith(texture);
        EXPECT_TRUE(nearColour(p, c.r, c.g, c.b, c.tolerance))
            << c.bits << " bits: " << int(p.r) << " " << int(p.g) << " " << int(p.b);
        const Texture* t = device().getTexture(texture);
        EXPECT_EQ((t->flags & Texture::HasAlpha) != 0, c.bits == 32);
        EXPECT_TRUE(t->flags & Texture::HasMipmaps);
    }
}

TEST_F(GLTextures, MipLevelsAreBuiltByGL)
{
    Image image;
    image.allocate(64, 32, 24);
    image.fill(0xFF00FF00u);
    const int texture = device().addTexture(image, "mips");
    ASSERT_GE(texture, 0);
    EXPECT_EQ(image.levelCount(), 0) << "no software chain for GL textures";
    device().setTexture(0, texture);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 3, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 8);
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);

    // Stage filters: point sampling, and trilinear falling back to bilinear without mips.
    device().setTextureFilter(0, TextureFilter::Point);
    device().setTexture(0, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_NEAREST);
    const int plain = device().createTexture(4, 4, 24);
    device().setTextureFilter(0, TextureFilter::Trilinear);
    device().setTexture(0, plain);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR);
}

TEST_F(GLTextures, CubeMapFacesAnswerTheirDirections)
{
    const std::uint32_t colours[6] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFF00u, 0xFF00FFFFu, 0xFFFF00FFu};
    Image faces[6];
    for (int i = 0; i < 6; ++i) {
        faces[i].allocate(4, 4, 24);
        faces[i].fill(colours[i]);
    }
    const int cube = device().addCubeTexture(faces, false);
    ASSERT_GE(cube, 0);
    EXPECT_TRUE(device().getTexture(cube)->flags & Texture::CubeMap);
    EXPECT_TRUE(nearColour(drawWith(cube, 1, 0, 0), 255, 0, 0));    // +X
    EXPECT_TRUE(nearColour(drawWith(cube, 0, 0, -1), 255, 0, 255)); // -Z
    EXPECT_TRUE(nearColour(drawWith(cube, 0, 1, 0), 0, 0, 255));    // +Y
    // A cube map is not updated through update().
    EXPECT_FALSE(device().updateTexture(cube, faces[0]));
    device().setTexture(0, -1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_CUBE_MAP_ARB));
}

TEST_F(GLTextures, LastReleaseDeletesTheGLName)
{
    const int texture = device().createTexture(2, 2, 32);
    ASSERT_GE(texture, 0);
    const GLuint name = static_cast<GLuint>(static_cast<const GLTexture*>(device().getTexture(texture))->glName);
    EXPECT_EQ(glIsTexture(name), GL_TRUE);
    EXPECT_TRUE(device().releaseTexture(texture));
    EXPECT_EQ(glIsTexture(name), GL_FALSE);
}

TEST_F(GLTextures, LoadedPictureShowsItsPixels)
{
    ScratchDir dir;
    dir.write("tile.bmp", solidBmp(8, 8, 10, 200, 90));
    int texture = -1;
    {
        MountedDisk disk(dir.path());
        ASSERT_TRUE(disk.ok());
        texture = device().loadTexture("tile.bmp");
    }
    ASSERT_GE(texture, 0);
    EXPECT_EQ(device().getTexture(texture)->name(), "tile.bmp");
    EXPECT_TRUE(nearColour(drawWith(texture), 10, 200, 90));
}

}
