#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

// A turn about the axis (1, 2, 2) / 3, so that every component of the quaternion counts.
Quat turn(float degrees)
{
    const float h = degrees * 0.017453292f * 0.5f, s = std::sin(h) / 3.0f;
    return Quat(s, 2.0f * s, 2.0f * s, std::cos(h));
}

TEST(AnimationEvaluate, BlendsBetweenTheEnclosingFramesAndWraps)
{
    // Four frames over 2 s, one bone; translation (1, 2, -3) x frame, turned 30 deg x frame.
    KeyframedAnimation anim;
    anim.boneCount = 1;
    anim.frameCount = 4;
    anim.duration = 2.0f;
    for (int f = 0; f < 4; ++f) {
        const Quat q = turn(30.0f * float(f));
        // Frame 2 holds its turn with the other sign, as exporters may: still the short way.
        const float sign = f == 2 ? -1.0f : 1.0f;
        anim.keys.push_back({ Vec3(float(f), 2.0f * float(f), -3.0f * float(f)), Quat(sign * q.x, sign * q.y, sign * q.z, sign * q.w) });
    }
    const struct { float time, x, degrees; } cases[] = {
        { 0.0f, 0.0f, 0.0f },
        { 0.75f, 1.5f, 45.0f },   // halfway between frames 1 and 2
        { 1.75f, 1.5f, 45.0f },   // halfway between frame 3 (x 3, 90 deg) and frame 0
        { 2.0f, 0.0f, 0.0f },     // the duration lands exactly on frame 0
        { 2.25f, 0.5f, 15.0f },   // the second pass
    };
    for (const auto& c : cases) {
        Mat4 m = anim.evaluate(0, c.time);
        Mat4 r;
        r.setRotationTranslation(Vec3(c.x, 2.0f * c.x, -3.0f * c.x), turn(c.degrees));
        for (int k = 0; k < 16; ++k)
            EXPECT_NEAR(m.m[k], r.m[k], 1e-5f) << c.time << " element " << k;
    }
    // Degenerate: no duration, no frames or a bone the keys do not cover give the identity;
    // huge times stay within the frames.
    const Mat4 identity;
    EXPECT_TRUE(std::isfinite(anim.evaluate(0, 1e30f).m[12]));
    EXPECT_EQ(std::memcmp(anim.evaluate(0, INFINITY).m, identity.m, 64), 0);
    EXPECT_EQ(std::memcmp(anim.evaluate(1, 0.75f).m, identity.m, 64), 0);
    KeyframedAnimation noFrames;
    noFrames.boneCount = 1;
    noFrames.duration = 2.0f;
    EXPECT_EQ(std::memcmp(noFrames.evaluate(0, 1.0f).m, identity.m, 64), 0);
    anim.duration = 0.0f;
    EXPECT_EQ(std::memcmp(anim.evaluate(0, 1.0f).m, identity.m, 64), 0);
}

TEST(AnimationTableSlots, FillsLowestFreeSlotAndRefusesThe129th)
{
    AnimationTable::clear();
    std::vector<KeyframedAnimation> anims(129);
    for (int i = 0; i < 128; ++i)
        ASSERT_EQ(AnimationTable::add(&anims[std::size_t(i)]), i);
    EXPECT_EQ(AnimationTable::add(&anims[128]), -1);
    EXPECT_EQ(AnimationTable::entry(127), &anims[127]);
    EXPECT_EQ(AnimationTable::entry(128), nullptr);
    EXPECT_EQ(AnimationTable::entry(-1), nullptr);
    // A slot given back by its owner is the next one filled; another owner's is kept.
    AnimationTable::remove(5, &anims[6]);
    AnimationTable::remove(5, &anims[5]);
    AnimationTable::remove(9, &anims[9]);
    EXPECT_EQ(AnimationTable::add(&anims[128]), 5);
    EXPECT_EQ(AnimationTable::add(&anims[128]), 9);
    AnimationTable::clear();
    EXPECT_EQ(AnimationTable::entry(0), nullptr);
}

}
