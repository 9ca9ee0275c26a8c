// A full-screen picture added over the frame, with its own particle system (a sphere
// of 1000 type 6 particles around the origin) drawn first. The picture is an entry of
// the render device's texture table, made from the file at init; the layer holds that
// entry until release or the next init, and owns its particle system. The sprite is
// shared and not owned. The destructor makes no device call: release before the device
// is detached.
#pragma once

#include "demo/effects/ParticleSystem.h"

#include "engine/math/Vec3.h"

class ParticleSprite;
class RenderDevice;

class PictureLayer {
public:
    PictureLayer() = default;
    PictureLayer(const PictureLayer&) = delete;
    PictureLayer& operator=(const PictureLayer&) = delete;

    // Gives back what an earlier init took, then loads pictureFileName (JPEG, BMP or
    // TGA, through the engine's file systems) into device's texture table and sets up
    // the particle system with sprite, printing "erreur chargement moteur de particule"
    // when that fails. True when both are ready; a picture that does not load leaves no
    // texture (index -1) and is then never drawn.
    bool init(RenderDevice& device, const char* pictureFileName, const ParticleSprite& sprite);
    // Gives the picture's table entry back to the device it came from.
    void release();

    // Draws and advances the particle system (frameDelta seconds, camera translation),
    // then adds the picture over the whole viewport: an orthographic pass with (0, 0) at
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
    RenderDevice* device_ = nullptr; // the holder of texture_
    int texture_ = -1;
    ParticleSystem particles_;
};
