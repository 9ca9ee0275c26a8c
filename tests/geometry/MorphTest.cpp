#include "engine/geometry/Geometry.h"
#include "platform/TimeSource.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vertexformat;

namespace {

constexpr std::int64_t kMs = 1000000;

// The morph clock runs on the process clock: a virtual one, never at tick 0. Three
// frames of three vertices: frame f puts vertex i at p = 2f + i on every axis, its normal
// along x for even frames and along y for odd ones.
class MorphClock : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::useVirtualClock(16 * kMs);
        platform::advanceVirtualClockBy(1000 * kMs);
        auto mesh = std::make_shared<Mesh>(false);
        mesh->vertices.allocate(3, PositionNormalTex0);
        geometry.addItem(std::make_unique<MeshMaterial>(), mesh);
        geometry.morph = std::make_unique<MorphModifier>();
        geometry.morph->resize(1);
        for (std::uint32_t f = 0; f < 3; ++f) {
            VertexArray v;
            v.allocate(3, PositionNormalTex0);
            for (std::uint32_t i = 0; i < 3; ++i) {
                const float p = 2.0f * float(f) + float(i);
                const float values[8] = { p, p, p, f % 2 ? 0.0f : 1.0f, f % 2 ? 1.0f : 0.0f, 0, 0.5f, 0.5f };
                std::copy(values, values + 8, v.vertex(i));
            }
            geometry.morph->tracks[0]->frames.push_back(std::move(v));
        }
    }
    void TearDown() override { platform::useRealClock(); }

    const float* vertex(std::uint32_t i) { return geometry.mesh(0).vertices.vertex(i); }

    Geometry geometry;
};

TEST_F(MorphClock, FramePeriodIsDurationOverFrameCountPlusOne)
{
    MorphModifier& m = *geometry.morph;
    m.duration = 3.0f;
    m.frameCount = 2;
    const struct { std::int64_t advanceMs; std::uint32_t current, next; float fraction; } steps[] = {
        { 0, 0, 1, 0.0f },
        { 500, 0, 1, 0.5f },
        { 1000, 1, 0, 0.5f },  // 1.5 s: halfway from frame 1 back to frame 0
        { 500, 0, 1, 0.0f },   // 2.0 s: the cycle (2 frames x 1 s) starts again
    };
    for (const auto& s : steps) {
        platform::advanceVirtualClockBy(s.advanceMs * kMs);
        geometry.update(0.0f);
        EXPECT_EQ(m.currentFrame, s.current);
        EXPECT_EQ(m.nextFrame, s.next);
        EXPECT_NEAR(m.fraction, s.fraction, 1e-3f);
    }
    platform::advanceVirtualClockBy(1500 * kMs);  // 3.5 s: halfway between frames 1 and 0
    geometry.update(0.0f);
    EXPECT_NEAR(vertex(2)[0], 1.0f + 2.0f, 1e-3f);
    // Normals blend linearly and are not renormalised; texture coordinates are not touched.
    EXPECT_NEAR(vertex(0)[3], 0.5f, 1e-3f);
    EXPECT_NEAR(vertex(0)[4], 0.5f, 1e-3f);
    EXPECT_EQ(vertex(0)[6], 0.0f);
    // Item and geometry boxes follow the blended positions.
    EXPECT_NEAR(m.itemBounds[0].centre.x, 2.0f, 1e-3f);
    EXPECT_NEAR(m.itemBounds[0].half.x, 1.0f, 1e-3f);
    EXPECT_NEAR(geometry.bounds.radius, std::sqrt(3.0f), 1e-3f);
}

TEST_F(MorphClock, ZeroFramesOrZeroDurationStandOnFrameZero)
{
    for (const auto& [duration, frames] : { std::pair { 1.0f, 0u }, std::pair { 0.0f, 3u } }) {
        geometry.morph->duration = duration;
        geometry.morph->frameCount = frames;
        for (int i = 0; i < 3; ++i) {
            platform::advanceVirtualClockBy(700 * kMs);
            geometry.update(0.0f);
            EXPECT_EQ(geometry.morph->fraction, 0.0f);
            EXPECT_EQ(vertex(1)[0], 1.0f);
            EXPECT_EQ(vertex(1)[3], 1.0f);
        }
        EXPECT_NEAR(geometry.morph->itemBounds[0].half.x, 1.0f, 1e-6f);
    }
}

}
