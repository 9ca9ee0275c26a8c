// Particles as a viewer sees them: each billboard a unit square turned to the eye, never
// mirrored; one particle drawn on llvmpipe at its place, size and colour, with the GL state
// the batch leaves behind; sprites that fail to load; the picture layer over the viewport.
#include "demo/effects/ParticleBillboard.h"
#include "demo/effects/ParticleSystem.h"
#include "demo/effects/PictureLayer.h"
#include "demo/effects/ShowRandom.h"
#include "tests/support/GLTestContext.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/MountedDisk.h"
#include "engine/material/Image.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>

namespace {

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

// Seen from anywhere but straight above or below (where the show's turn is only
// approximate), the quad is a unit square centred on the particle, its u edge level, its
// normal towards the eye and its texture the right way round.
TEST(ParticleBillboard, UnitSquareTurnedToTheEyeAndNeverMirrored)
{
    const Vec3 particle(0, 0, -5);
    const Vec3 eyes[] = {{0.5f, 1, 0}, {0, -1, -10}, {5, 8, -10}, {-5, -8, -10}, {3, 2, 1}, {0, 20, -1}, {0, -20, -1},
        {7, -3, -12}, {-9, 1, -4.5f}};
    for (const Vec3& eye : eyes) {
        Vec3 c[4];
        billboardCorners(particle, Vec3(0, 0, 0) - eye, c);
        const Vec3 across = (c[0] - c[1]) * 0.5f, up = (c[0] - c[2]) * 0.5f, toParticle = particle - eye;
        const Vec3 centre = (c[0] + c[1] + c[2] + c[3]) * 0.25f, normal = cross(across, up);
        const float facing = dot(normal, toParticle) / (0.25f * std::sqrt(dot(toParticle, toParticle)));
        EXPECT_NEAR(dot(centre - particle, centre - particle), 0, 1e-10f) << eye.x << "," << eye.y << "," << eye.z;
        const Vec3 skew = c[3] - c[2] + c[0] - c[1];
        EXPECT_NEAR(dot(skew, skew), 0, 1e-10f) << "a parallelogram";
        EXPECT_NEAR(dot(across, across), 0.25f, 1e-5f) << eye.x << "," << eye.y << "," << eye.z;
        EXPECT_NEAR(dot(up, up), 0.25f, 1e-5f) << eye.x << "," << eye.y << "," << eye.z;
        EXPECT_NEAR(dot(across, up), 0, 1e-5f) << eye.x << "," << eye.y << "," << eye.z;
        EXPECT_EQ(across.y, 0.0f);
        EXPECT_GT(up.y, 0.0f) << eye.x << "," << eye.y << "," << eye.z;
        EXPECT_LT(facing, -0.9f) << eye.x << "," << eye.y << "," << eye.z;
        Vec3 part[4]; // the quad's point at (u, v) is c[3] + u (c[2] - c[3]) + v (c[1] - c[3])
        billboardCorners(particle, Vec3(0, 0, 0) - eye, part, SpriteRect{0.25f, 0.125f, 0.5f, 0.875f});
        for (int k = 0; k < 4; ++k) {
            const float u = k % 2 ? 0.25f : 0.5f, v = k < 2 ? 0.875f : 0.125f;
            const Vec3 off = part[k] - (c[3] + (c[2] - c[3]) * u + (c[1] - c[3]) * v);
            EXPECT_NEAR(dot(off, off), 0, 1e-10f) << k;
        }
    }
}

// The streak: a 0.1-unit quad stretched by four random terms, the one part of the show's
// random sequence that drawing consumes.
TEST(ParticleBillboard, StreakStretchesItsQuadByFourRandomTerms)
{
    seedShowRandom(3);
    for (int i = 0; i < 50; ++i) {
        Vec3 c[4];
        streakCorners(Vec3(1, 2, 3), c);
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(c[k].y, k < 2 ? 2.05f : 1.95f, 1e-5f) << k;
            EXPECT_TRUE(c[k].x >= 0.95f - 1e-5f && c[k].x < 1.95f && c[k].z >= 3 && c[k].z < 13) << k;
        }
        EXPECT_NEAR(c[2].x - c[1].x, 0.1f, 1e-5f) << "the unjittered corners";
    }
    const int next = showRand();
    seedShowRandom(3);
    for (int i = 0; i < 200; ++i)
        showRand();
    EXPECT_EQ(showRand(), next) << "four draws per streak";
}

class Effects : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!gl.ok())
            GTEST_SKIP() << "no GL context";
    }

    GLTestContext gl{160, 120};
    ScratchDir scratch;
    // 16 x 16, red across, green down, blue throughout, fading to black at the rim.
    std::string sprite = scratch.write("Particle.bmp", bitmap(16, [](int x, int y) {
        const float fade = std::max(0.0f, 1.0f - std::hypot(x - 7.5f, y - 7.5f) / 8.0f);
        return std::uint32_t(fade * 16 * x) << 16 | std::uint32_t(fade * 16 * y) << 8 | std::uint32_t(fade * 200);
    }));
};

// One fountain particle 5 units ahead of the eye, drawn after a textured draw (which leaves
// another texture on unit 0): a square around the centre of the picture, the sprite
// upright and unmirrored in the particle's colour, and the state the batch leaves behind.
TEST_F(Effects, OneParticleShowsItsSpriteAtItsPlaceSizeAndColour)
{
    Image white;
    white.allocate(2, 2, 24);
    gl.device().setTextureSlot(0, gl.device().addTexture(white, "white"));
    gl.device().drawQuad(-1, -1, 1, 1);
    gl.device().setClearColor(0, 0, 0), gl.device().clearAll();
    gl.device().setPerspective(90, 0.1f, 1000);
    Mat4 view;
    view.translate(0, -10, 0);
    gl.device().setView(view);
    seedShowRandom(5);
    ParticleSprite shared;
    ASSERT_TRUE(shared.load(sprite.c_str()));
    ParticleSystem system;
    ASSERT_EQ(system.init(0, shared, 1, Vec3(0, 10, -5), {}), 0);
    system.drawAndUpdate(gl.device(), 0.0001f, Vec3(0, -10, 0));
    EXPECT_EQ(system.drawnCount(), 1);
    const Particle& p = system.particles()[0];
    const Rgba8 centre = gl.pixel(80, 60), left = gl.pixel(76, 60), right = gl.pixel(84, 60), top = gl.pixel(80, 56),
                bottom = gl.pixel(80, 64);
    EXPECT_GT(right.r, left.r + 30) << "red grows across the sprite, left to right";
    EXPECT_GT(bottom.g, top.g + 10) << "green grows down the sprite, top to bottom";
    EXPECT_GT(centre.r, 100);
    EXPECT_NEAR(centre.g, p.green * centre.r, 6) << "sprite times the particle's colour";
    EXPECT_LE(centre.b, 1) << "the sprite's blue times the particle's blue, under 0.05";
    // A square, as wide as high; nothing ten pixels out.
    for (const auto& [x, y] : {std::pair{73, 60}, {87, 60}, {80, 53}, {80, 67}})
        EXPECT_GT(gl.pixel(x, y).r, 5) << x << "," << y << ": inside the quad";
    for (const auto& [x, y] : {std::pair{70, 60}, {90, 60}, {80, 50}, {80, 70}})
        EXPECT_EQ(gl.pixel(x, y).r + gl.pixel(x, y).g, 0) << x << "," << y << ": outside the quad";
    GLint src = 0, dst = 0, bound = 0, active = 0;
    glGetIntegerv(GL_BLEND_SRC, &src), glGetIntegerv(GL_BLEND_DST, &dst), glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ((std::vector<int> {glIsEnabled(GL_LIGHTING), glIsEnabled(GL_DEPTH_TEST), glIsEnabled(GL_BLEND),
                  glIsEnabled(GL_TEXTURE_2D), src, dst, GLuint(bound) == system.spriteTexture(), active,
                  glIsEnabled(GL_VERTEX_ARRAY), glIsEnabled(GL_COLOR_ARRAY)}),
        (std::vector<int> {1, 1, 0, 1, GL_SRC_ALPHA, GL_ONE, 1, GL_TEXTURE0, 0, 0}));
    float colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(std::vector<float>(colour, colour + 4), (std::vector<float> {p.red, p.green, p.blue, 1})) << "the last corner's";
    shared.release();
}

// A sprite lit only inside is drawn over that part of the quad, the right way round; one
// lit up to an edge, whose samples wrap round, over the whole width.
TEST_F(Effects, ASpriteLitInsideIsDrawnOverThatPartOnly)
{
    auto block = [](bool edge) {
        return bitmap(16, [edge](int x, int y) {
            return x >= 3 && x <= 6 && y >= 3 && y <= 6 ? 40u * x << 16 | 0x2020u : edge && x == 14 && y == 8 ? 0xFFFFFFu : 0u;
        });
    };
    ParticleSprite edge, inside;
    ASSERT_TRUE(edge.load(scratch.write("edge.bmp", block(true)).c_str()) && inside.load(scratch.write("in.bmp", block(false)).c_str()));
    const SpriteRect e = edge.drawn(), r = inside.drawn(); // texels 2..7 across, rows 8..13 from the bottom
    EXPECT_EQ(std::vector<float>({e.u0, e.u1, r.u0, r.v0, r.u1, r.v1}),
        std::vector<float>({0, 1, 1 / 16.f, 7 / 16.f, 9 / 16.f, 15 / 16.f}));
    gl.device().setClearColor(0, 0, 0), gl.device().clearAll();
    gl.device().setPerspective(90, 0.1f, 1000);
    ParticleSystem system;
    ASSERT_EQ(system.init(0, inside, 1, Vec3(0, 0, -1.5f), {}), 0);
    system.drawAndUpdate(gl.device(), 0.0001f, Vec3(0, 0, 0));
    int lit = 0, astray = 0; // lit right of or below the centre, where the block is not
    std::vector<int> red;    // along the block's middle row
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 160; ++x) {
            const int r = gl.pixel(x, y).r;
            lit += r > 0, astray += r > 0 && (x >= 80 || y >= 60);
            if (r > 0 && y == 50)
                red.push_back(r);
        }
    EXPECT_TRUE(lit > 100 && astray == 0 && red.size() > 10u) << lit << " " << astray << " " << red.size();
    for (std::size_t i = 4; i + 4 < red.size(); ++i) // inside the filtered rim
        EXPECT_GE(red[i] + 2, red[i - 1]) << "red grows across, " << i;
    edge.release(), inside.release();
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
