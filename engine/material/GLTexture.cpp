#include "engine/material/GLTexture.h"

#include "engine/material/Image.h"
#include "engine/render/GLExtensions.h"
#include "engine/render/GLTranslate.h"
#include "engine/render/RenderTypes.h"

#include <GL/glext.h>
#include <GL/glu.h>

bool glPixelTransferFor(unsigned bitsPerPixel, GLPixelTransfer& out)
{
    switch (bitsPerPixel) {
    case 16:
        // Image's 16-bit layout is a 5-6-5 word with red in the top bits: exactly what
        // GL_UNSIGNED_SHORT_5_6_5 unpacks for GL_RGB.
        out = {GL_RGB5, GL_RGB, GL_UNSIGNED_SHORT_5_6_5};
        return true;
    case 24:
        out = {GL_RGB8, GL_RGB, GL_UNSIGNED_BYTE};
        return true;
    case 32:
        out = {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE};
        return true;
    default:
        return false;
    }
}

namespace {

void upload(GLenum target, const GLPixelTransfer& t, GLsizei w, GLsizei h, const void* pixels, bool mipmaps)
{
    if (mipmaps)
        gluBuild2DMipmaps(target, t.internalFormat, w, h, t.format, t.type, pixels);
    else
        glTexImage2D(target, 0, t.internalFormat, w, h, 0, t.format, t.type, pixels);
}

GLuint generateName()
{
    GLuint name = 0;
    glGenTextures(1, &name);
    return name;
}

}

GLTexture::~GLTexture()
{
    if (glName != -1 && glIsTexture(static_cast<GLuint>(glName)) == GL_TRUE) {
        const GLuint name = static_cast<GLuint>(glName);
        glDeleteTextures(1, &name);
    }
}

bool GLTexture::create2D(Image& image, bool mipmaps, bool)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glName = static_cast<GLint>(generateName());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(glName));
    GLPixelTransfer t;
    if (glPixelTransferFor(image.bitsPerPixel(), t) && image.pixels())
        upload(GL_TEXTURE_2D, t, static_cast<GLsizei>(image.width()), static_cast<GLsizei>(image.height()),
               image.pixels(), mipmaps);
    glGetError();
    return true;
}

bool GLTexture::createCube(Image* faces, bool mipmaps)
{
    if (!faces)
        return false;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glName = static_cast<GLint>(generateName());
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, static_cast<GLuint>(glName));
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(gltr::magFilter(TextureFilter::Bilinear)));
    glTexParameteri(GL_TEXTURE_CUBE_MAP_ARB, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(gltr::minFilter(TextureFilter::Bilinear)));
    flags |= CubeMap;
    GLPixelTransfer t;
    if (!glPixelTransferFor(faces[0].bitsPerPixel(), t))
        return true;
    for (int i = 0; i < 6; ++i) {
        const Image& face = faces[i];
        // A face of another depth would be read with the first face's layout.
        if (face.bitsPerPixel() != faces[0].bitsPerPixel() || !face.pixels())
            continue;
        upload(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + static_cast<GLenum>(i), t, static_cast<GLsizei>(face.width()),
               static_cast<GLsizei>(face.height()), face.pixels(), mipmaps);
    }
    glGetError();
    flags |= CubeMap;
    width = static_cast<std::int32_t>(faces[0].width());
    height = static_cast<std::int32_t>(faces[0].height());
    return true;
}

bool GLTexture::update2D(const Image& image)
{
    GLPixelTransfer t;
    if (!glPixelTransferFor(image.bitsPerPixel(), t) || !image.pixels())
        return false;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(glName));
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, t.format, t.type, image.pixels());
    glGetError();
    return true;
}

bool GLTexture::updateCube(const Image& image)
{
    GLPixelTransfer t;
    if (!glPixelTransferFor(image.bitsPerPixel(), t) || !image.pixels())
        return false;
    glBindTexture(GL_TEXTURE_CUBE_MAP_ARB, static_cast<GLuint>(glName));
    for (int i = 0; i < 6; ++i)
        glTexSubImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X_ARB + static_cast<GLenum>(i), 0, 0, 0, width, height,
                        t.format, t.type, image.pixels());
    glGetError();
    return true;
}

bool GLTexture::bind(int stage)
{
    glext::activeTexture(stage);
    const GLenum target = (flags & CubeMap) ? GL_TEXTURE_CUBE_MAP_ARB : GL_TEXTURE_2D;
    if (glName == -1) {
        glDisable(target);
        return false;
    }
    glEnable(target);
    glBindTexture(target, static_cast<GLuint>(glName));
    return true;
}
