#include "demo/effects/ParticleSprite.h"

#include "engine/material/DibLoader.h"
#include "engine/render/GLTranslate.h"
#include "engine/render/RenderTypes.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// The sprite's RGB with an alpha that marks where it can add anything: 0 where a texel
// and its eight neighbours (across the edges too, as the texture repeats) are all black,
// 255 elsewhere. Any bilinear sample that touches a lit texel then reads alpha 1 exactly
// (its four texels are all that texel's neighbours), so the additive colour is the same
// as from RGB alone; samples among black texels only, which add nothing, fall to the
// alpha test the scenes draw with and cost no blending.
std::vector<std::uint8_t> withCoverage(const std::uint8_t* rgb, int width, int height)
{
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> rgba(count * 4);
    auto lit = [&](int x, int y) {
        const std::uint8_t* p = rgb + (static_cast<std::size_t>((y + height) % height) * width + (x + width) % width) * 3;
        return (p[0] | p[1] | p[2]) != 0;
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy)
                for (int dx = -1; dx <= 1 && !near; ++dx)
                    near = lit(x + dx, y + dy);
            const std::size_t i = static_cast<std::size_t>(y) * width + x;
            std::memcpy(&rgba[i * 4], rgb + i * 3, 3);
            rgba[i * 4 + 3] = near ? 255 : 0;
        }
    return rgba;
}

// One axis of drawnPart: a sample at t reads texels floor(t * size - 0.5) and the next, so
// only t within (first - 0.5, last + 1.5) / size reaches [first, last].
void drawnSpan(int first, int last, int size, float& from, float& to)
{
    if (first <= 0 || last >= size - 1)
        return;
    from = (float(first) - 1.0f) / float(size);
    to = (float(last) + 2.0f) / float(size);
}

SpriteRect drawnPart(const std::vector<std::uint8_t>& rgba, int width, int height)
{
    int left = width, right = -1, bottom = height, top = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (rgba[(static_cast<std::size_t>(y) * width + x) * 4 + 3] != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                bottom = std::min(bottom, y);
                top = std::max(top, y);
            }
    SpriteRect rect;
    if (right >= 0) {
        drawnSpan(left, right, width, rect.u0, rect.u1);
        drawnSpan(bottom, top, height, rect.v0, rect.v1);
    }
    return rect;
}

}

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

    const std::vector<std::uint8_t> rgba = withCoverage(pixels, width, height);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(gltr::minFilter(TextureFilter::Bilinear)));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(gltr::magFilter(TextureFilter::Bilinear)));
    // Rows are packed without padding, whatever the width.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    texture_ = name;
    drawn_ = drawnPart(rgba, width, height);
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
