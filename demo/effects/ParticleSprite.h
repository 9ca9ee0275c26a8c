// The particle sprite: one OpenGL texture made straight from a BMP file through the
// stand-alone DIB loader, outside the render device's texture table, and shared by every
// particle system of the show. It owns the GL texture name; release deletes it and must
// run while the context that made it is current. The destructor makes no GL call.
#pragma once

#include "demo/effects/ParticleBillboard.h"

class ParticleSprite {
public:
    ParticleSprite() = default;
    ParticleSprite(const ParticleSprite&) = delete;
    ParticleSprite& operator=(const ParticleSprite&) = delete;

    // Makes the texture (the bitmap's colours with an alpha that is 0 only far from any
    // lit texel, so that the alpha test drops fragments that would add nothing; linear
    // filtering) from fileName, read from the operating system's current directory; a
    // texture made before is released first. Needs a current GL context. False, and no
    // texture, when the file does not open or is not a bitmap the DIB loader reads.
    bool load(const char* fileName);
    // Deletes the texture; nothing happens when there is none.
    void release();

    // The GL texture name; 0 when there is none.
    unsigned texture() const { return texture_; }
    // Where a linear sample can read a texel whose alpha is not 0 (half a texel more on
    // each side, for rounding); the whole sprite when that part touches an edge, as
    // samples there wrap round.
    const SpriteRect& drawn() const { return drawn_; }

private:
    unsigned texture_ = 0;
    SpriteRect drawn_;
};
