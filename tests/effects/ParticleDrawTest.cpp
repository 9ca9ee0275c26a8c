// Particle systems on llvmpipe: batched drawing gives the picture and GL state that quad
// by quad drawing through the matrix stack gives, and simulate the state drawing gives.
#include "demo/effects/ParticleSystem.h"
#include "demo/effects/PictureLayer.h"
#include "demo/effects/ShowRandom.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/MountedDisk.h"
#include "engine/material/Image.h"
#include "engine/render/GLExtensions.h"

#include <gtest/gtest.h>
#include <numbers>

#include <GL/gl.h>

#include <cmath>
#include <algorithm>

namespace {

// One of each kind the show draws, few enough not to saturate the picture.
const struct SystemSpec {
    int type, count;
    Vec3 emitter, extent;
} kSystems[] = {{6, 150, {0, 10, 0}, {}}, {0, 150, {5, 5, 8}, {}}, {3, 100, {0, 20, -30}, {}},
    {1, 150, {-40, 0, -40}, {40, 30, 40}}, {4, 100, {5, 5, -10}, {}}, {5, 150, {0, 10, 0}, {}}};

// A side x side 24-bit bitmap whose pixel (x, y from the top) is colour(x, y) = 0xRRGGBB.
template <class Colour> std::string bitmap(int side, Colour colour)
{
    std::vector<std::vector<std::uint32_t>> rows(side, std::vector<std::uint32_t>(side));
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            rows[y][x] = colour(x, y);
    BmpLayout layout;
    layout.width = layout.height = side;
    layout.pixelData = bmpRows24(rows, true);
    return makeBmp(layout);
}

// A 16 x 16 sprite, red across, green down, fading to black at the rim: a quad drawn
// mirrored, turned or at another size shows.
std::string spriteBmp()
{
    return bitmap(16, [](int x, int y) {
        const float fade = std::max(0.0f, 1.0f - std::hypot(x - 7.5f, y - 7.5f) / 8.0f);
        return std::uint32_t(fade * 12 * x) << 16 | std::uint32_t(fade * 12 * y) << 8 | std::uint32_t(fade * 90);
    });
}

void vertex(float u, float v, float x, float y, float z) { glTexCoord2f(u, v), glVertex3f(x, y, z); }

// One frame as specified: quad by quad, each billboard turned on the matrix stack.
void referenceFrame(std::vector<Particle>& particles, const SystemSpec& spec, float time, const Vec3& cam,
                    unsigned sprite)
{
    glDisable(GL_LIGHTING), glDisable(GL_DEPTH_TEST), glEnable(GL_BLEND), glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glext::activeTexture(0), glEnable(GL_TEXTURE_2D), glBindTexture(GL_TEXTURE_2D, sprite);
    for (Particle& p : particles) {
        if (particleIsDead(p)) {
            emitParticle(p, spec.type, time, spec.emitter, spec.extent);
            continue;
        }
        updateParticle(p, time);
        const float x = p.position.x, y = p.position.y, z = p.position.z;
        glBegin(GL_TRIANGLE_STRIP);
        if (p.type == 5) {
            glColor4f(0.4f, 0.4f, 0.4f, 6.0f);
            const float r0 = (showRand() % 100) / 1000.0f, r1 = (showRand() % 100) / 1000.0f;
            const float r2 = (showRand() % 100) / 10.0f, r3 = (showRand() % 100) / 100.0f;
            vertex(1, 1, x + 0.05f + r0, y + 0.05f, z + r1), vertex(0, 1, x - 0.05f, y + 0.05f, z + r2);
            vertex(1, 0, x + 0.05f, y - 0.05f, z), vertex(0, 0, x - 0.05f + r3, y - 0.05f, z);
            glEnd();
            continue;
        }
        glEnd();
        Vec3 v = p.position + cam;
        float yaw = std::atan(v.x / v.z), yawDegrees = yaw * 57.295776f;
        if (v.z > 0)
            yawDegrees -= 180.0f, yaw -= std::numbers::pi_v<float>;
        const bool flipped = v.y > 0;
        v.y = flipped ? -v.y : v.y;
        const double pitchZ = std::atan(v.z / v.y) * 57.29577957855229;
        const double pitchX = std::atan(v.x / v.y) * 57.29577957855229;
        glColor4f(p.red, p.green, p.blue, 1.0f);
        glPushMatrix();
        glTranslatef(x, y, z);
        glRotatef(yawDegrees, 0, 1, 0);
        glRotatef(float(flipped ? -(std::sin(yaw) * pitchX) - std::cos(yaw) * pitchZ + 90
                                : std::cos(yaw) * pitchZ + std::sin(yaw) * pitchX - 90), 1, 0, 0);
        glTranslatef(-x, -y, -z);
        glBegin(GL_TRIANGLE_STRIP);
        vertex(1, 1, x + 0.5f, y + 0.5f, z), vertex(0, 1, x - 0.5f, y + 0.5f, z);
        vertex(1, 0, x + 0.5f, y - 0.5f, z), vertex(0, 0, x - 0.5f, y - 0.5f, z);
        glEnd();
        glPopMatrix();
    }
    glEnable(GL_DEPTH_TEST), glEnable(GL_LIGHTING), glDisable(GL_BLEND);
}

// The GL state a particle frame leaves behind; sprite is the texture it should leave bound.
std::vector<float> stateAfter(unsigned sprite)
{
    GLint src = 0, dst = 0, bound = 0, active = 0;
    glGetIntegerv(GL_BLEND_SRC, &src), glGetIntegerv(GL_BLEND_DST, &dst), glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    std::vector<float> state = {float(glIsEnabled(GL_LIGHTING)), float(glIsEnabled(GL_DEPTH_TEST)), float(glIsEnabled(GL_BLEND)),
        float(glIsEnabled(GL_TEXTURE_2D)), float(src), float(dst), float(GLuint(bound) == sprite), float(active),
        float(glIsEnabled(GL_VERTEX_ARRAY)), float(glIsEnabled(GL_COLOR_ARRAY))};
    state.resize(state.size() + 20);
    glGetFloatv(GL_CURRENT_COLOR, &state[state.size() - 20]);
    glGetFloatv(GL_MODELVIEW_MATRIX, &state[state.size() - 16]);
    return state;
}

class Effects : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!gl.ok())
            GTEST_SKIP() << "no GL context";
    }

    // Every system of kSystems, seeded alike, after warm-up frames; the last frame drawn
    // by the systems or, with reference, by referenceFrame. The warm-up runs simulate for
    // the reference and unseen drawAndUpdate for the systems: both must reach one state.
    std::vector<std::uint8_t> render(bool reference, std::vector<float>& state)
    {
        const Vec3 cam(22, -12, 3); // the eye at (-22, 12, -3), looking down +x
        Mat4 view;
        view.rotateY(90), view.translate(cam.x, cam.y, cam.z);
        // A textured draw first, as in a scene: it leaves a texture on unit 0 and the
        // last stage active.
        Image white;
        white.allocate(2, 2, 24);
        gl.device().setTextureSlot(0, gl.device().addTexture(white, "white"));
        gl.device().drawQuad(-1, -1, 1, 1);
        gl.device().setClearColor(0, 0, 0), gl.device().clearAll();
        gl.device().setPerspective(90, 0.1f, 1000);
        gl.device().setView(view);
        seedShowRandom(5);
        ParticleSprite shared;
        EXPECT_TRUE(shared.load(sprite.c_str()));
        unsigned lastSprite = 0;
        for (const SystemSpec& spec : kSystems) {
            ParticleSystem system;
            EXPECT_EQ(system.init(spec.type, shared, spec.count, spec.emitter, spec.extent), 0);
            glColorMask(false, false, false, false);
            for (int frame = 0; frame < 40; ++frame)
                reference ? system.simulate(1 / 30.0f, cam) : system.drawAndUpdate(gl.device(), 1 / 30.0f, cam);
            glColorMask(true, true, true, true);
            lastSprite = system.spriteTexture();
            std::vector<Particle> particles(system.particles(), system.particles() + system.count());
            if (reference) {
                referenceFrame(particles, spec, system.time() + 1 / 30.0f, cam, lastSprite);
                continue;
            }
            system.drawAndUpdate(gl.device(), 1 / 30.0f, cam);
            EXPECT_EQ(system.drawnCount(),
                std::count_if(particles.begin(), particles.end(), [](const Particle& p) { return !particleIsDead(p); }));
        }
        state = stateAfter(lastSprite);
        shared.release();
        return gl.readRgb();
    }

    GLTestContext gl{160, 120};
    ScratchDir scratch;
    std::string sprite = scratch.write("Particle.bmp", spriteBmp());
};

TEST_F(Effects, BatchedParticlesMatchQuadByQuadWithinOneGreyLevel)
{
    std::vector<float> batchedState, referenceState;
    const std::vector<std::uint8_t> batched = render(false, batchedState), reference = render(true, referenceState);
    int worst = 0, lit = 0, saturated = 0;
    for (size_t i = 0; i < batched.size(); ++i)
        worst = std::max(worst, std::abs(batched[i] - reference[i])), lit += reference[i] > 8, saturated += reference[i] == 255;
    EXPECT_LE(worst, 1);
    EXPECT_GT(lit, int(batched.size() / 20)) << "too little drawn to compare";
    EXPECT_LT(saturated, lit / 10) << "too much saturated to compare";
    EXPECT_EQ(batchedState, referenceState);
    const std::vector<float> specified = {1, 1, 0, 1, GL_SRC_ALPHA, GL_ONE, 1, GL_TEXTURE0, 0, 0};
    EXPECT_TRUE(std::equal(specified.begin(), specified.end(), batchedState.begin()));
}

TEST_F(Effects, UnloadableSpriteOrNegativeCountFailsAndLeavesNothingToDraw)
{
    const std::string notABitmap = scratch.write("text.bmp", "this is not a bitmap at all");
    testing::internal::CaptureStderr(); // the loader's message box, without a display
    for (const char* file : {(const char*)nullptr, "absent.bmp", notABitmap.c_str(), sprite.c_str()}) {
        ParticleSprite loaded;
        EXPECT_EQ(loaded.load(file), file == sprite.c_str()) << (file ? file : "null");
        ParticleSystem system;
        EXPECT_EQ(system.init(0, loaded, file == sprite.c_str() ? -1 : 10, {}, {}), -1) << (file ? file : "null");
        system.drawAndUpdate(gl.device(), 0.1f, {});
        EXPECT_EQ(system.spriteTexture() + system.drawnCount(), 0u);
        loaded.release();
    }
    testing::internal::GetCapturedStderr();
}

TEST_F(Effects, PictureLayerAddsOverTheViewportTopLeftFirst)
{
    scratch.write("picture.bmp", bitmap(8, [](int x, int y) {
        return y < 4 ? (x < 4 ? 0xC80000u : 0x00C800u) : (x < 4 ? 0x000096u : 0x646464u);
    }));
    scratch.write("Particle.bmp", bitmap(4, [](int, int) { return 0u; }));
    MountedDisk disk(scratch.path());
    ParticleSprite none; // particles that add nothing
    ASSERT_TRUE(none.load(scratch.file("Particle.bmp").c_str()));
    PictureLayer layer, missing;
    ASSERT_TRUE(layer.init(gl.device(), "picture.bmp", none));
    EXPECT_FALSE(missing.init(gl.device(), "absent.jpg", none));
    const int projectionTop = gl.device().projection.top;
    const struct {
        int x, y, r, g, b; // picture plus the dark blue background
    } probes[] = {{10, 10, 200, 0, 70}, {149, 10, 0, 200, 70}, {10, 109, 0, 0, 220}, {149, 109, 100, 100, 170}};
    for (int frame = 0; frame < 2; ++frame) {
        gl.device().setClearColor(0, 0, 70 / 255.0f), gl.device().clearAll();
        Mat4 moved; // the scene's view and world, which the picture must not follow
        moved.setTranslation(0.5f, 0.5f, -2);
        gl.device().setView(moved), gl.device().setWorld(moved);
        missing.draw(gl.device(), 1 / 30.0f, {0, 0, -40}); // a layer without its picture adds nothing
        layer.draw(gl.device(), 1 / 30.0f, {0, 0, -40});
        for (const auto& p : probes)
            EXPECT_TRUE(nearColour(gl.pixel(p.x, p.y), p.r, p.g, p.b)) << frame << ": " << p.x << "," << p.y;
        for (int corner = 0; corner < 4; ++corner) { // covered, though filtering mixes the colours there
            const Rgba8 seen = gl.pixel(corner % 2 * 159, corner / 2 * 119);
            EXPECT_GT(seen.r + seen.g + seen.b, 150) << "corner " << corner;
        }
        EXPECT_EQ(gl.device().projection.top, projectionTop);
    }
    layer.release();
    none.release();
}

}
