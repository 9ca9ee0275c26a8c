// Particle systems on llvmpipe: the batched vertex-array drawing gives the picture and
// the GL state that drawing quad by quad with the matrix stack gives; simulate reaches
// the state drawAndUpdate reaches; a sprite that cannot be loaded fails init.
#include "demo/effects/ParticleSystem.h"
#include "demo/effects/ShowRandom.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/ImageFiles.h"

#include "engine/material/Image.h"
#include "engine/render/GLExtensions.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct SystemSpec {
    int type, count;
    Vec3 emitter, extent;
};

// One of each kind the show draws, few enough not to saturate the picture.
const SystemSpec kSystems[] = {
    {6, 150, {0, 10, 0}, {10, 10, 10}},  {0, 150, {5, 5, 8}, {10, 10, 10}},
    {3, 100, {0, 20, -30}, {10, 10, 10}}, {1, 150, {-40, 0, -40}, {40, 30, 40}},
    {4, 100, {5, 5, -10}, {10, 10, 10}}, {5, 150, {0, 10, 0}, {10, 10, 10}},
};

// A 16 x 16 sprite, red across and green down, fading to black at its rim, so a quad
// drawn mirrored, turned or at another size shows.
std::string spriteBmp()
{
    std::vector<std::vector<std::uint32_t>> rows(16, std::vector<std::uint32_t>(16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const float fade = std::max(0.0f, 1.0f - std::hypot(x - 7.5f, y - 7.5f) / 8.0f);
            const auto r = std::uint32_t(fade * 12 * x), g = std::uint32_t(fade * 12 * y);
            rows[y][x] = (r << 16) | (g << 8) | std::uint32_t(fade * 90);
        }
    BmpLayout layout;
    layout.width = layout.height = 16;
    layout.pixelData = bmpRows24(rows, true);
    return makeBmp(layout);
}

// The specified drawing of one frame, quad by quad through the matrix stack.
void referenceFrame(std::vector<Particle>& particles, const SystemSpec& spec, float time, const Vec3& cam,
                    unsigned sprite)
{
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glext::activeTexture(0);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, sprite);
    for (Particle& p : particles) {
        if (particleIsDead(p)) {
            emitParticle(p, spec.type, time, spec.emitter, spec.extent);
            continue;
        }
        updateParticle(p, time);
        const float x = p.position.x, y = p.position.y, z = p.position.z;
        if (p.type == 5) {
            glColor4f(0.4f, 0.4f, 0.4f, 6.0f);
            const float r0 = (showRand() % 100) / 1000.0f, r1 = (showRand() % 100) / 1000.0f;
            const float r2 = (showRand() % 100) / 10.0f, r3 = (showRand() % 100) / 100.0f;
            glBegin(GL_TRIANGLE_STRIP);
            glTexCoord2f(1, 1), glVertex3f(x + 0.05f + r0, y + 0.05f, z + r1);
            glTexCoord2f(0, 1), glVertex3f(x - 0.05f, y + 0.05f, z + r2);
            glTexCoord2f(1, 0), glVertex3f(x + 0.05f, y - 0.05f, z);
            glTexCoord2f(0, 0), glVertex3f(x - 0.05f + r3, y - 0.05f, z);
            glEnd();
            continue;
        }
        Vec3 v = p.position + cam;
        float yaw = std::atan(v.x / v.z);
        float yawDegrees = yaw * 57.295776f;
        if (v.z > 0) {
            yawDegrees -= 180.0f;
            yaw -= 3.14159265f;
        }
        const bool flipped = v.y > 0;
        if (flipped)
            v.y = -v.y;
        const double pitchZ = std::atan(v.z / v.y) * 57.29577957855229;
        const double pitchX = std::atan(v.x / v.y) * 57.29577957855229;
        const double pitch = flipped ? -(std::sin(yaw) * pitchX) - std::cos(yaw) * pitchZ + 90
                                     : std::cos(yaw) * pitchZ + std::sin(yaw) * pitchX - 90;
        glColor4f(p.red, p.green, p.blue, 1.0f);
        glPushMatrix();
        glTranslatef(x, y, z);
        glRotatef(yawDegrees, 0, 1, 0);
        glRotatef(static_cast<float>(pitch), 1, 0, 0);
        glTranslatef(-x, -y, -z);
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2f(1, 1), glVertex3f(x + 0.5f, y + 0.5f, z);
        glTexCoord2f(0, 1), glVertex3f(x - 0.5f, y + 0.5f, z);
        glTexCoord2f(1, 0), glVertex3f(x + 0.5f, y - 0.5f, z);
        glTexCoord2f(0, 0), glVertex3f(x - 0.5f, y - 0.5f, z);
        glEnd();
        glPopMatrix();
    }
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glDisable(GL_BLEND);
}

// The GL state a particle frame leaves behind; sprite is the texture it should leave bound.
std::vector<float> stateAfter(unsigned sprite)
{
    GLint blendSrc = 0, blendDst = 0, bound = 0, active = 0;
    glGetIntegerv(GL_BLEND_SRC, &blendSrc);
    glGetIntegerv(GL_BLEND_DST, &blendDst);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    std::vector<float> state = {float(glIsEnabled(GL_LIGHTING)), float(glIsEnabled(GL_DEPTH_TEST)),
                                float(glIsEnabled(GL_BLEND)), float(glIsEnabled(GL_TEXTURE_2D)),
                                float(blendSrc), float(blendDst), float(GLuint(bound) == sprite), float(active)};
    float colour[4], modelview[16];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    state.insert(state.end(), colour, colour + 4);
    state.insert(state.end(), modelview, modelview + 16);
    return state;
}

class ParticleDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!gl.ok())
            GTEST_SKIP() << "no GL context";
        sprite = scratch.write("Particle.bmp", spriteBmp());
    }

    // Frames of every system in kSystems, seeded alike, after warm-up frames of simulate;
    // the last frame is drawn by the systems or, with reference, by referenceFrame.
    std::vector<std::uint8_t> render(bool reference, std::vector<float>& state)
    {
        const float dt = 1.0f / 30.0f;
        const Vec3 cam(22, -12, 3); // the eye at (-22, 12, -3), looking down +x
        gl.device().setPerspective(90, 0.1f, 1000);
        Mat4 view;
        view.rotateY(90);
        view.translate(cam.x, cam.y, cam.z);
        gl.device().setView(view);
        gl.device().setWorld(Mat4());
        // A textured draw first, as a scene makes: unit 0 keeps a texture, the last
        // stage is left active.
        Image white;
        white.allocate(2, 2, 24);
        white.fill(0xFFFFFFFFu);
        gl.device().setTextureSlot(0, gl.device().addTexture(white, "white"));
        gl.device().drawQuad(-1, -1, 1, 1);
        gl.device().setClearColor(0, 0, 0);
        gl.device().clearAll();

        seedShowRandom(5);
        unsigned lastSprite = 0;
        for (const SystemSpec& spec : kSystems) {
            ParticleSystem system;
            EXPECT_EQ(system.init(spec.type, sprite.c_str(), spec.count, spec.emitter, spec.extent), 0);
            for (int frame = 0; frame < 40; ++frame)
                system.simulate(dt, cam);
            lastSprite = system.spriteTexture();
            if (!reference) {
                system.drawAndUpdate(dt, cam);
                continue;
            }
            std::vector<Particle> particles(system.particles(), system.particles() + system.count());
            referenceFrame(particles, spec, system.time() + dt, cam, system.spriteTexture());
        }
        state = stateAfter(lastSprite);
        return gl.readRgb();
    }

    GLTestContext gl{160, 120};
    ScratchDir scratch;
    std::string sprite;
};

TEST_F(ParticleDraw, BatchedMatchesQuadByQuadWithinOneGreyLevel)
{
    std::vector<float> batchedState, referenceState;
    const std::vector<std::uint8_t> batched = render(false, batchedState);
    const std::vector<std::uint8_t> reference = render(true, referenceState);
    ASSERT_EQ(batched.size(), reference.size());
    int worst = 0, lit = 0, saturated = 0;
    for (size_t i = 0; i < batched.size(); ++i) {
        worst = std::max(worst, std::abs(batched[i] - reference[i]));
        lit += reference[i] > 8;
        saturated += reference[i] == 255;
    }
    EXPECT_LE(worst, 1);
    EXPECT_GT(lit, int(batched.size() / 20)) << "too little drawn to compare";
    EXPECT_LT(saturated, lit / 10) << "too much saturated to compare";

    EXPECT_EQ(batchedState, referenceState);
    const std::vector<float> specified = {1, 1, 0, 1, GL_SRC_ALPHA, GL_ONE, 1, GL_TEXTURE0};
    EXPECT_TRUE(std::equal(specified.begin(), specified.end(), batchedState.begin()))
        << "lighting, depth test, blending, texturing, blend function, sprite on unit 0";
}

TEST_F(ParticleDraw, SimulateReachesTheStateDrawingReaches)
{
    for (int type = 0; type <= 6; ++type) {
        SCOPED_TRACE(type);
        const Vec3 emitter(-5, 20, -5), extent(5, 30, 5), cam(0, -10, 40);
        ParticleSystem drawn, simulated;
        seedShowRandom(9);
        ASSERT_EQ(drawn.init(type, sprite.c_str(), 200, emitter, extent), 0);
        int dead = 0;
        for (int frame = 0; frame < 60; ++frame) {
            dead = 0;
            for (int i = 0; i < drawn.count(); ++i)
                dead += particleIsDead(drawn.particles()[i]);
            drawn.drawAndUpdate(0.02f, cam);
        }
        EXPECT_EQ(drawn.drawnCount(), drawn.count() - dead);
        const int nextAfterDrawing = showRand();

        seedShowRandom(9);
        ASSERT_EQ(simulated.init(type, sprite.c_str(), 200, emitter, extent), 0);
        for (int frame = 0; frame < 60; ++frame)
            simulated.simulate(0.02f, cam);
        EXPECT_EQ(showRand(), nextAfterDrawing);
        EXPECT_EQ(std::memcmp(drawn.particles(), simulated.particles(), sizeof(Particle) * 200), 0);
    }
}

TEST_F(ParticleDraw, UnloadableSpriteFailsAndLeavesNothingToDraw)
{
    const struct {
        const char* what;
        std::string file;
        int count;
    } cases[] = {
        {"no name", "", 10},
        {"missing file", scratch.file("absent.bmp"), 10},
        {"not a bitmap", scratch.write("text.bmp", "this is not a bitmap at all"), 10},
        {"negative count", sprite, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ParticleSystem system;
        testing::internal::CaptureStderr(); // the loader's message box, without a display
        EXPECT_EQ(system.init(0, c.file.empty() ? nullptr : c.file.c_str(), c.count, {}, {}), -1);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(system.spriteTexture(), 0u);
        system.drawAndUpdate(0.1f, {});
        EXPECT_EQ(system.drawnCount(), 0);
    }
}

}
