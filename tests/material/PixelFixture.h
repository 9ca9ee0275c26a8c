// A small offscreen GL window for the material pixel tests: one context per test suite,
// helpers to make 1 x 1 textures, bind them on a unit, draw a full-window quad and read
// the centre pixel back. Everything is plain OpenGL 1.x so the tests do not depend on
// the render device.
#pragma once

#include "platform/GLWindow.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <array>

using Rgba = std::array<int, 4>; // bytes 0..255

class PixelFixture : public ::testing::Test {
protected:
    static constexpr int kSize = 32;

    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override { deleteTextures(); }

    // Back to the starting state: every unit off with GL_MODULATE, identity matrices.
    void resetGL();
    void deleteTextures();

    // A 1 x 1 RGBA texture with nearest filtering (complete without mipmaps).
    GLuint makeTexture(const Rgba& texel);
    // Binds texture on unit and enables 2D texturing there; 0 disables the unit.
    void bindUnit(int unit, GLuint texture);
    void selectUnit(int unit);
    // Clears to black, draws a quad over the whole window without touching the current
    // colour, and returns the pixel at (x, y) (window coordinates, origin bottom left).
    Rgba drawQuad();
    Rgba readPixel(int x, int y);

    static platform::NativeWindow* window_;
    static PFNGLACTIVETEXTUREARBPROC activeTexture_;
    static int unitCount_;

private:
    std::array<GLuint, 16> textures_ {};
    int textureCount_ = 0;
};
