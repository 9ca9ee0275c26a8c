#include "demo/effects/ParticleSprite.h"

#include "engine/material/DibLoader.h"
#include "engine/render/GLTranslate.h"
#include "engine/render/RenderTypes.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

bool ParticleSprite::load(const char* fileName)
{
    release();
    if (!fileName)
        return false;
    std::FILE* probe = std::fopen(fileName, "r");
    if (!probe)
        return false;
    std::fclose(probe);
    std::unique_ptr<DibImage> dib = loadDib(fileName);
    if (!dib)
        return false;

    const int width = dib->width;
    const int height = std::abs(dib->height);
    const std::uint8_t* pixels = dib->pixels.get();
    // A top-down bitmap stores its top row first; GL takes the bottom row first.
    std::vector<std::uint8_t> bottomUp;
    if (dib->height < 0 && width > 0) {
        const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
        bottomUp.resize(rowBytes * static_cast<std::size_t>(height));
        for (int row = 0; row < height; ++row)
            std::memcpy(bottomUp.data() + rowBytes * static_cast<std::size_t>(height - 1 - row),
                        pixels + rowBytes * static_cast<std::size_t>(row), rowBytes);
        pixels = bottomUp.data();
    }

    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(gltr::minFilter(TextureFilter::Bilinear)));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(gltr::magFilter(TextureFilter::Bilinear)));
    // Rows are packed without padding, whatever the width.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
    texture_ = name;
    return true;
}

void ParticleSprite::release()
{
    if (texture_ == 0)
        return;
    const GLuint name = texture_;
    glDeleteTextures(1, &name);
    texture_ = 0;
}
