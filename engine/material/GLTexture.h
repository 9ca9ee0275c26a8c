// GLTexture: a Texture held as one OpenGL texture name. It builds its mipmaps with GLU
// (no software chain) and sets no sampling parameters of its own: the device applies
// filters and wrapping when it binds the texture to a stage. Needs a current context
// for every operation, including destruction.
#pragma once

#include "engine/material/Texture.h"

#include <GL/gl.h>

class GLTexture : public Texture {
public:
    GLTexture() = default;
    ~GLTexture() override;

    bool wantsSoftwareMips() const override { return false; }
    // Always true once a name exists, also when the depth (8 bits) uploads nothing.
    bool create2D(Image& image, bool mipmaps, bool updatable) override;
    bool createCube(Image* faces, bool mipmaps) override;
    bool update2D(const Image& image) override;
    // False without uploading for an unsupported depth.
    bool updateCube(const Image& image) override;
    bool bind(int stage) override;

    // GL texture name, -1 before create2D / createCube.
    GLint glName = -1;
};

// Upload parameters for an image depth: internal format, pixel format and pixel type.
// False for depths the texture cannot upload (anything but 16, 24 and 32). 16-bit
// images (5-6-5 words) go up as GL_RGB with GL_UNSIGNED_SHORT_5_6_5.
struct GLPixelTransfer {
    GLint internalFormat = 0;
    GLenum format = 0;
    GLenum type = 0;
};
bool glPixelTransferFor(unsigned bitsPerPixel, GLPixelTransfer& out);
