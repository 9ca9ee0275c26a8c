#include "demo/effects/ParticleSystem.h"

#include "demo/effects/ParticleBillboard.h"

#include "engine/render/GLExtensions.h"
#include "engine/render/RenderDevice.h"

#include <GL/gl.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Most particles a system may hold: six indices each must fit a GL count.
constexpr int kMaxParticles = INT_MAX / 6;

void writeQuad(ParticleVertex* out, const Vec3 corners[4], const float colour[4], const SpriteRect& rect = {})
{
    for (int i = 0; i < 4; ++i)
        out[i] = {corners[i].x, corners[i].y, corners[i].z, rect.u(i), rect.v(i), colour[0], colour[1], colour[2],
                  colour[3]};
}

}

ParticleSystem::~ParticleSystem() = default;

int ParticleSystem::init(int type, const ParticleSprite& sprite, int count, const Vec3& emitter, const Vec3& extent)
{
    if (count < 0 || count > kMaxParticles)
        return -1;
    const std::size_t n = static_cast<std::size_t>(count);
    std::unique_ptr<Particle[]> particles(new (std::nothrow) Particle[n]);
    std::unique_ptr<ParticleVertex[]> vertices(new (std::nothrow) ParticleVertex[n * 4]);
    std::unique_ptr<std::uint32_t[]> indices(new (std::nothrow) std::uint32_t[n * 6]);
    if (!particles || !vertices || !indices)
        return -1;

    if (sprite.texture() == 0)
        return -1;
    spriteTexture_ = sprite.texture();
    spriteRect_ = sprite.drawn();

    // Each quad is the two triangles of its strip, wound as the strip winds them.
    for (std::size_t i = 0; i < n; ++i) {
        const auto base = static_cast<std::uint32_t>(i * 4);
        const std::uint32_t quad[6] = {base, base + 1, base + 2, base + 2, base + 1, base + 3};
        std::memcpy(&indices[i * 6], quad, sizeof quad);
    }

    emitter_ = emitter;
    extent_ = extent;
    type_ = type;
    count_ = count;
    time_ = 0.0f;
    drawn_ = 0;
    particles_ = std::move(particles);
    vertices_ = std::move(vertices);
    indices_ = std::move(indices);
    for (int i = 0; i < count_; ++i)
        emitParticle(particles_[i], type_, 0.0f, emitter_, extent_);
    initial_ = std::make_unique<Particle[]>(n);
    std::copy(particles_.get(), particles_.get() + n, initial_.get());
    return 0;
}

int ParticleSystem::advance(float frameDelta, const Vec3& camera, ParticleVertex* out)
{
    time_ += frameDelta;
    int live = 0;
    Vec3 corners[4];
    for (int i = 0; i < count_; ++i) {
        Particle& p = particles_[i];
        if (particleIsDead(p)) {
            emitParticle(p, type_, time_, emitter_, extent_);
            continue;
        }
        updateParticle(p, time_);
        // The streak draws its random terms even when nothing is drawn.
        if (p.type == 5) {
            streakCorners(p.position, corners);
            if (out)
                writeQuad(out + 4 * live, corners, kStreakColour);
        } else if (out) {
            billboardCorners(p.position, camera, corners, spriteRect_);
            const float colour[4] = {p.red, p.green, p.blue, 1.0f};
            writeQuad(out + 4 * live, corners, colour, spriteRect_);
        }
        ++live;
    }
    return live;
}

void ParticleSystem::simulate(float frameDelta, const Vec3& camera)
{
    advance(frameDelta, camera, nullptr);
}

void ParticleSystem::drawAndUpdate(RenderDevice& device, float frameDelta, const Vec3& camera)
{
    // A program or material the scene let go of still sits in GL until the device's next
    // draw binds: bind now, whatever drew last.
    device.applyBindings();
    // Billboards turn either face to the eye: none may be culled after a closed model.
    device.setCullModeCached(CullMode::None);
    // Straight to OpenGL from here, past the render device's cache.
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    // The texture coordinates go to unit 0, so the sprite must be there too (the device
    // leaves its last stage active after binding a material's textures).
    glext::activeTexture(0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, spriteTexture_);

    drawn_ = advance(frameDelta, camera, vertices_.get());
    if (drawn_ > 0) {
        const ParticleVertex* v = vertices_.get();
        constexpr GLsizei stride = sizeof(ParticleVertex);
        glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
        glext::clientActiveTexture(0);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        glVertexPointer(3, GL_FLOAT, stride, &v->x);
        glTexCoordPointer(2, GL_FLOAT, stride, &v->u);
        glColorPointer(4, GL_FLOAT, stride, &v->red);
        glDrawElements(GL_TRIANGLES, drawn_ * 6, GL_UNSIGNED_INT, indices_.get());
        glPopClientAttrib();
        // Drawing from arrays leaves the current colour and texture coordinate undefined;
        // leave those of the last corner drawn, as drawing quad by quad would.
        const ParticleVertex& last = v[drawn_ * 4 - 1];
        glColor4f(last.red, last.green, last.blue, last.alpha);
        glTexCoord2f(last.u, last.v);
    }

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
    // What GL holds now, so the device's cached setters reach GL again afterwards.
    device.lighting = true;
    device.depthTest = true;
    device.blending = false;
    device.blendSrc = BlendFactor::SrcAlpha;
    device.blendDst = BlendFactor::One;
    device.stats.particles += drawn_;
}

void ParticleSystem::rewind()
{
    if (initial_)
        std::copy(initial_.get(), initial_.get() + count_, particles_.get());
    time_ = 0.0f;
    drawn_ = 0;
}
