#include "tests/material/PixelFixture.h"

platform::NativeWindow* PixelFixture::window_ = nullptr;
PFNGLACTIVETEXTUREARBPROC PixelFixture::activeTexture_ = nullptr;
int PixelFixture::unitCount_ = 1;

void PixelFixture::SetUpTestSuite()
{
    platform::WindowRequest request;
    request.title = "material pixels";
    request.width = kSize;
    request.height = kSize;
    window_ = platform::createGLWindow(request);
    if (window_ == nullptr)
        return;
    activeTexture_ = reinterpret_cast<PFNGLACTIVETEXTUREARBPROC>(
        platform::glProcAddress("glActiveTextureARB"));
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &unitCount_);
}

void PixelFixture::TearDownTestSuite()
{
    platform::destroyGLWindow(window_);
    window_ = nullptr;
}

void PixelFixture::SetUp()
{
    ASSERT_NE(window_, nullptr) << "no GL context on the offscreen driver";
    ASSERT_NE(activeTexture_, nullptr);
    ASSERT_GE(unitCount_, 4);
    platform::makeCurrent(window_);
    resetGL();
}

void PixelFixture::resetGL()
{
    glViewport(0, 0, kSize, kSize);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (int unit = 0; unit < 8 && unit < unitCount_; ++unit) {
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
    if (textureCount_ > 0)
        glDeleteTextures(textureCount_, textures_.data());
    textureCount_ = 0;
}

GLuint PixelFixture::makeTexture(const Rgba& texel)
{
    // Made on the active unit; its binding there is put back afterwards.
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const GLubyte bytes[4] = { GLubyte(texel[0]), GLubyte(texel[1]), GLubyte(texel[2]),
        GLubyte(texel[3]) };
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    if (textureCount_ < static_cast<int>(textures_.size()))
        textures_[textureCount_++] = texture;
    return texture;
}

void PixelFixture::selectUnit(int unit)
{
    activeTexture_(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
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
    GLubyte bytes[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, bytes);
    return { bytes[0], bytes[1], bytes[2], bytes[3] };
}
