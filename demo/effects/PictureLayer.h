// A full-screen picture added over the frame, with its own particle system (a sphere
// of 1000 type 6 particles around the origin) drawn first. The picture is a texture of
// the render device's table, made from the file at init and owned by that table; the
// layer owns only its particle system.
#pragma once

#include "demo/effects/ParticleSystem.h"

#include "engine/math/Vec3.h"

class RenderDevice;

class PictureLayer {
public:
    // Loads pictureFileName (JPEG, BMP or TGA, through the engine's file systems) into
    // the texture table of the current device, then sets up the particle system from
    // "Particle.bmp", printing "erreur chargement moteur de particule" when that fails.
    // True when both are ready; a picture that does not load leaves no texture (index
    // -1) and is then never drawn.
    bool init(const char* pictureFileName);

    // Draws and advances the particle system (frameDelta seconds, camera translation),
    // then adds the picture over the whole window: an orthographic pass with (0, 0) at
    // the top left, no vertex program, the default material, identity view and world,
    // no culling, no lighting, blending (one, one). Leaves lighting on, blending off,
    // the projection as it found it, and the view and world at the identity.
    void draw(RenderDevice& device, float frameDelta, const Vec3& camera);

    // draw without GL: the particle system's simulate.
    void simulate(float frameDelta, const Vec3& camera);

    // The particle system back to its state after init.
    void rewind() { particles_.rewind(); }

    // Texture-table index of the picture, -1 when none.
    int texture() const { return texture_; }
    const ParticleSystem& particles() const { return particles_; }

private:
    int texture_ = -1;
    ParticleSystem particles_;
};
