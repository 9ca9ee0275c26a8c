// The material pixel tests' GL: a small headless context (GLTestContext) driven with
// plain OpenGL 1.x, so the tests do not depend on the render device's state cache.
// Helpers make 1 x 1 textures, bind them on a unit, draw a full-window quad and read a
// pixel back.
#pragma once

#include "tests/support/GLTestContext.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

using Rgba = std::array<int, 4>; // bytes 0..255

class PixelFixture : public ::testing::Test {
protected:
    static constexpr int kSize = 32;

    void SetUp() override;
    void TearDown() override { deleteTextures(); }

    // Back to the starting state: every unit off with GL_MODULATE, identity matrices.
    void resetGL();
    void deleteTextures();

    // A 1 x 1 RGBA texture with nearest filtering (complete without mipmaps).
    GLuint makeTexture(const Rgba& texel);
    // Binds texture on unit and enables 2D texturing there; 0 disables the unit.
    void bindUnit(int unit, GLuint texture);
    void selectUnit(int unit) { activeTexture_(static_cast<GLenum>(GL_TEXTURE0_ARB + unit)); }
    // Clears to black, draws a quad over the whole window without touching the current
    // colour, and returns the centre pixel.
    Rgba drawQuad();
    // The pixel at (x, y), window coordinates with the origin at the bottom left.
    Rgba readPixel(int x, int y);

    GLTestContext gl { kSize, kSize };
    PFNGLACTIVETEXTUREARBPROC activeTexture_ = nullptr;

private:
    std::vector<GLuint> textures_;
};
