// A particle system: a fixed number of particles of one motion type, one sprite texture
// and an emitter. Each frame it advances every particle along its path, emits dead ones
// again and draws the live ones as additive textured quads, the whole system in one
// vertex array.
// It owns its particles and its vertex buffers; the sprite texture it draws with is a
// shared ParticleSprite's, which outlives it. It makes no GL call outside drawAndUpdate.
// Drawing goes past the render device's state cache, in drawAndUpdate alone, which
// brings the device's pending bindings to GL first and tells the cache what it leaves.
#pragma once

#include "demo/effects/Particle.h"
#include "demo/effects/ParticleSprite.h"

#include "engine/math/Vec3.h"

#include <cstdint>
#include <memory>

class RenderDevice;

// One corner of a drawn quad, as the vertex array sends it.
struct ParticleVertex {
    float x, y, z;
    float u, v;
    float red, green, blue, alpha;
};

class ParticleSystem {
public:
    ParticleSystem() = default;
    ~ParticleSystem();
    ParticleSystem(const ParticleSystem&) = delete;
    ParticleSystem& operator=(const ParticleSystem&) = delete;

    // Sets the system up with count particles of motion type (0..6), all emitted at
    // time 0, drawn with sprite's texture (not owned; it must outlive the system's
    // drawing). emitter and extent: see emitParticle. 0 on success; -1 when count is
    // negative, memory runs out, or the sprite has no texture (the system then stays
    // empty and draws nothing; callers print "erreur chargement moteur de particule").
    int init(int type, const ParticleSprite& sprite, int count, const Vec3& emitter, const Vec3& extent);

    // Advances the system time by frameDelta seconds; then, in particle order, emits
    // each dead particle again (not drawn this frame) and moves and draws each live one.
    // camera is the scene camera's translation (the billboards turn towards the eye).
    // First the device's pending bindings reach GL (the current vertex program or none,
    // the current material's textures), so the particles never run through a program
    // or stages the scene has already let go of, and culling goes off through the device
    // (a billboard may show either face). Then it draws with the current GL
    // modelview and projection, directly in OpenGL, past the device's cache, and leaves
    // GL_LIGHTING and GL_DEPTH_TEST enabled, GL_BLEND disabled with the blend function
    // (GL_SRC_ALPHA, GL_ONE), texture unit 0 active with GL_TEXTURE_2D enabled and the
    // sprite bound, and the current colour that of the last particle drawn. The device's
    // cached lighting, depth test, blending and blend factors are set to match.
    void drawAndUpdate(RenderDevice& device, float frameDelta, const Vec3& camera);

    // drawAndUpdate without any GL call: the same per-particle work and the same random
    // numbers in the same order, so seeking and stills reach the state a played show
    // reaches. Leaves drawnCount as it was.
    void simulate(float frameDelta, const Vec3& camera);

    // Back to the particles and time init left (no random number drawn), so a replay
    // from the show's start moves them as the first run did.
    void rewind();

    // Particles drawn by the last drawAndUpdate.
    int drawnCount() const { return drawn_; }
    int count() const { return count_; }
    int type() const { return type_; }
    // Seconds accumulated from the frame deltas.
    float time() const { return time_; }
    // count() records; null before a successful init.
    const Particle* particles() const { return particles_.get(); }
    // The sprite's GL texture name; 0 before a successful init.
    unsigned spriteTexture() const { return spriteTexture_; }

private:
    // One frame of motion and emission; writes the quads of the live particles to out
    // (four vertices each) unless out is null. Returns how many were live.
    int advance(float frameDelta, const Vec3& camera, ParticleVertex* out);

    int count_ = 0;
    float time_ = 0.0f;
    Vec3 emitter_;
    Vec3 extent_;
    int type_ = 0;
    std::unique_ptr<Particle[]> particles_;
    std::unique_ptr<Particle[]> initial_;          // as init emitted them, for rewind
    std::unique_ptr<ParticleVertex[]> vertices_;   // 4 per particle, filled each frame
    std::unique_ptr<std::uint32_t[]> indices_;     // 6 per particle, made once
    unsigned spriteTexture_ = 0;
    SpriteRect spriteRect_;                        // billboards are drawn over this part
    int drawn_ = 0;
};
