#include "tests/material/PixelFixture.h"

#include "engine/render/GLExtensions.h"

void PixelFixture::SetUp()
{
    ASSERT_TRUE(gl.ok()) << "no GL context on the offscreen driver";
    activeTexture_ = glext::glActiveTextureARB;
    ASSERT_NE(activeTexture_, nullptr);
    GLint units = 0;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    ASSERT_GE(units, 4);
    resetGL();
}

void PixelFixture::resetGL()
{
    glViewport(0, 0, kSize, kSize);
    for (GLenum state : { GL_DEPTH_TEST, GL_LIGHTING, GL_BLEND, GL_CULL_FACE, GL_FOG, GL_ALPHA_TEST })
        glDisable(state);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (int unit = 0; unit < 4; ++unit) {
        selectUnit(unit);
        glBindTexture(GL_TEXTURE_2D, 0);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_CUBE_MAP_ARB);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    selectUnit(0);
    while (glGetError() != GL_NO_ERROR) {
    }
}

void PixelFixture::deleteTextures()
{
    if (!textures_.empty())
        glDeleteTextures(GLsizei(textures_.size()), textures_.data());
    textures_.clear();
}

GLuint PixelFixture::makeTexture(const Rgba& texel)
{
    // Made on the active unit; its binding there is put back afterwards.
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const GLubyte bytes[4] = { GLubyte(texel[0]), GLubyte(texel[1]), GLubyte(texel[2]), GLubyte(texel[3]) };
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    textures_.push_back(texture);
    return texture;
}

void PixelFixture::bindUnit(int unit, GLuint texture)
{
    selectUnit(unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    if (texture != 0)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
}

Rgba PixelFixture::drawQuad()
{
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glBegin(GL_QUADS);
    glTexCoord2f(0.5f, 0.5f);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
    return readPixel(kSize / 2, kSize / 2);
}

Rgba PixelFixture::readPixel(int x, int y)
{
    Rgba8 p = gl.pixel(x, kSize - 1 - y);
    return { p.r, p.g, p.b, p.a };
}
