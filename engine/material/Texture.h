// Texture: one picture the renderer samples, made from an Image (or six for a cube map).
// It owns its API object (GLTexture holds the GL name); it does not own the Image it was
// made from and keeps no pixels. Textures live in the render device's texture table,
// which counts its references; only the device creates and destroys them.
#pragma once

#include "engine/material/Resource.h"

#include <cstdint>

class Image;

class Texture : public Resource {
public:
    // Flag bits.
    static constexpr std::uint32_t HasAlpha = 1;    // made from a 32-bit image
    static constexpr std::uint32_t CubeMap = 2;
    static constexpr std::uint32_t Updatable = 8;
    static constexpr std::uint32_t HasMipmaps = 16;

    Texture() = default;
    ~Texture() override = default;

    // True when the class wants a software mip chain built in the Image before create2D.
    virtual bool wantsSoftwareMips() const { return true; }
    // Uploads image (level 0, plus mipmaps when asked). False when nothing could be made.
    virtual bool create2D(Image& image, bool mipmaps, bool updatable) = 0;
    // faces: six images in +X, -X, +Y, -Y, +Z, -Z order.
    virtual bool createCube(Image* faces, bool mipmaps) = 0;
    // Rewrites level 0 with image (same size as the texture).
    virtual bool update2D(const Image& image) = 0;
    // Rewrites all six faces with the same image.
    virtual bool updateCube(const Image& image) = 0;
    // Binds to texture unit stage (0..7); false when there is nothing to bind.
    virtual bool bind(int stage) = 0;

    // create2D, then records size and flags; the name becomes empty. False changes
    // nothing else.
    bool createFromImage(Image& image, bool mipmaps, bool updatable);
    // Loads fileName through the current file system and creates a texture of it; the
    // name becomes fileName. False when the file cannot be read or decoded.
    bool loadFromFile(const char* fileName, bool mipmaps);
    // update2D when the texture is updatable, not a cube map, and image has its size;
    // false otherwise (nothing done).
    bool update(const Image& image);

    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t flags = 0;
};
