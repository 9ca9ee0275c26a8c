#include "engine/geometry/AnimationTable.h"
#include "tests/geometry/TestModels.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vertexformat;

namespace {

// One vertex at (1, 2, 3) with normal (0, 0, 1) and a three-component set 0.
SkinMesh oneVertex(SkinWeight w)
{
    SkinMesh m;
    m.bindPose.allocate(1, Position | Normal | Tex0Vec3);
    const float v[9] = { 1, 2, 3, 0, 0, 1, 1, 0, 0 };
    std::copy(v, v + 9, m.bindPose.data());
    m.weights.push_back(w);
    return m;
}

Skeleton twoBones()
{
    Skeleton s;
    s.resize(2);
    s.bones[0].firstChild = 1;
    s.bones[1].parent = 0;
    return s;
}

TEST(SkinDeform, InfluencesAreWeightedSumsWithoutNormalisation)
{
    Skeleton s = twoBones();
    s.update(0.0f);  // no animation: identity matrices everywhere
    struct Case {
        SkinWeight w;
        float scale;   // expected position = scale x bind pose
        bool zeroNormal;
    };
    const Case cases[] = {
        { { -1, -1, 1.0f, 1.0f }, 0.0f, true },
        { { 0, 1, 0.5f, 0.5f }, 1.0f, false },
        { { 0, 1, 1.0f, 1.0f }, 2.0f, false },
        { { 1, -1, 0.25f, 7.0f }, 0.25f, false },
    };
    for (const Case& c : cases) {
        SkinMesh m = oneVertex(c.w);
        VertexArray target;
        m.deform(s, target);
        EXPECT_FLOAT_EQ(target.vertex(0)[0], 1.0f * c.scale);
        EXPECT_FLOAT_EQ(target.vertex(0)[2], 3.0f * c.scale);
        EXPECT_FLOAT_EQ(target.vertex(0)[5], c.zeroNormal ? 0.0f : 1.0f) << "normals are renormalised";
    }
}

TEST(SkinDeform, MovesPositionsNormalsAndThreeComponentSetsByTheirMatrices)
{
    Skeleton s = twoBones();
    s.update(0.0f);
    // Bone 0: rotate 90 degrees about Z (x -> y) and move by (10, 0, 0); scale 2 on x.
    Mat4 skin;
    skin.setRotationZ(90.0f);
    skin.m[12] = 10.0f;
    s.bones[0].skinMatrix = skin;
    Mat4::cofactor3x3(skin, s.bones[0].normalMatrix);
    SkinMesh m = oneVertex({ 0, -1, 1.0f, 0.0f });
    m.bindPose.vertex(0)[3] = 1.0f;  // normal (1, 0, 1) -> (0, 1, 1) normalised
    VertexArray target;
    target.allocate(5, 0x01F);  // different count and format: becomes a copy first
    m.deform(s, target);
    ASSERT_EQ(target.vertexCount, 1u);
    ASSERT_EQ(target.format, m.bindPose.format);
    const float* v = target.vertex(0);
    EXPECT_NEAR(v[0], 10.0f - 2.0f, 1e-5f);
    EXPECT_NEAR(v[1], 1.0f, 1e-5f);
    EXPECT_NEAR(v[2], 3.0f, 1e-5f);
    EXPECT_NEAR(v[3], 0.0f, 1e-5f);
    EXPECT_NEAR(v[4], std::sqrt(0.5f), 1e-5f);
    EXPECT_NEAR(v[5], std::sqrt(0.5f), 1e-5f);
    EXPECT_NEAR(v[6], 0.0f, 1e-5f);  // (1, 0, 0) through the normal matrix
    EXPECT_NEAR(v[7], 1.0f, 1e-5f);
    // Bounds of the single deformed vertex.
    EXPECT_NEAR(m.bounds.centre.x, 8.0f, 1e-5f);
    EXPECT_EQ(m.bounds.radius, 0.0f);
}

class SkeletonPlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        AnimationTable::clear();
        // Two bones; bone 0 translates along x with time, bone 1 along y.
        anim.boneCount = 2;
        anim.frameCount = 2;
        anim.duration = 2.0f;
        anim.keys = { { Vec3(0, 0, 0), Quat() }, { Vec3(0, 0, 0), Quat() },
                      { Vec3(2, 0, 0), Quat() }, { Vec3(0, 4, 0), Quat() } };
        index = AnimationTable::add(&anim);
        skeleton = twoBones();
        skeleton.bones[1].offset.setTranslation(0.0f, 0.0f, -5.0f);
    }
    void TearDown() override { AnimationTable::clear(); }

    KeyframedAnimation anim;
    std::int32_t index = -1;
    Skeleton skeleton;
};

TEST_F(SkeletonPlayback, LoopWrapsTheTime)
{
    skeleton.assignAnimation(index, 0, false, EndLoop);
    skeleton.update(5.5f);
    EXPECT_FLOAT_EQ(skeleton.bones[0].time, 1.5f);
    EXPECT_FLOAT_EQ(skeleton.bones[1].time, 1.5f);
    // 1.5 s is halfway from frame 1 back to frame 0. Child world = parent world x local:
    // x from bone 0, y from bone 1; then the offset.
    EXPECT_FLOAT_EQ(skeleton.bones[1].world.m[12], 1.0f);
    EXPECT_FLOAT_EQ(skeleton.bones[1].world.m[13], 2.0f);
    EXPECT_FLOAT_EQ(skeleton.bones[1].skinMatrix.m[14], -5.0f);
}

TEST_F(SkeletonPlayback, StopEvaluatesAtTheDurationOnceThenFollowsTheParent)
{
    skeleton.assignAnimation(index, 1, false, EndStop);
    skeleton.bones[0].animIndex = -1;  // the root stands still
    skeleton.update(2.5f);
    Bone& b = skeleton.bones[1];
    EXPECT_EQ(b.animIndex, -1);
    EXPECT_EQ(b.speed, 0.0f);
    EXPECT_FLOAT_EQ(b.time, 2.0f);
    // time = duration maps back to key 0: no translation, but the offset applies.
    EXPECT_FLOAT_EQ(b.skinMatrix.m[14], -5.0f);
    skeleton.update(0.1f);
    // Detached: copies the parent's (identity) matrices; its own offset is not applied.
    EXPECT_FLOAT_EQ(b.skinMatrix.m[14], 0.0f);
}

TEST_F(SkeletonPlayback, FollowParentTakesOverThePlaybackState)
{
    skeleton.assignAnimation(index, 0, false, EndLoop);
    skeleton.bones[1].endMode = EndFollowParent;
    skeleton.bones[1].speed = 2.0f;
    skeleton.update(1.5f);  // parent at 1.5 s, child at 3.0 s > 2.0
    EXPECT_FLOAT_EQ(skeleton.bones[1].time, 1.5f);
    EXPECT_EQ(skeleton.bones[1].endMode, EndLoop);
    EXPECT_EQ(skeleton.bones[1].speed, 1.0f);

    // A root with follow-parent has nobody to follow: it stops at time 0.
    skeleton.bones[0].endMode = EndFollowParent;
    skeleton.update(1.0f);
    EXPECT_EQ(skeleton.bones[0].animIndex, -1);
    EXPECT_EQ(skeleton.bones[0].time, 0.0f);
    EXPECT_EQ(skeleton.bones[0].endMode, EndLoop);
}

TEST_F(SkeletonPlayback, BoneWithoutAnimationMovesRigidlyWithItsParent)
{
    skeleton.assignAnimation(index, 0, false, EndLoop);
    skeleton.bones[1].animIndex = -1;
    skeleton.update(1.0f);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(skeleton.bones[1].skinMatrix.m[k], skeleton.bones[0].skinMatrix.m[k]);
    EXPECT_FLOAT_EQ(skeleton.bones[0].skinMatrix.m[12], 2.0f);  // frame 1
}

TEST_F(SkeletonPlayback, AssignReachesSiblingsOnlyWhenAsked)
{
    Skeleton s;
    s.resize(4);  // 0 -> children 1, 2 (siblings); 3 is a sibling of 0
    const std::int32_t links[4][3] = { { -1, 1, 3 }, { 0, -1, 2 }, { 0, -1, -1 }, { -1, -1, -1 } };
    for (std::size_t b = 0; b < 4; ++b) {
        s.bones[b].parent = links[b][0];
        s.bones[b].firstChild = links[b][1];
        s.bones[b].nextSibling = links[b][2];
    }
    s.assignAnimation(index, 0, false, EndStop);
    EXPECT_EQ(s.bones[2].animIndex, index);
    EXPECT_EQ(s.bones[2].endMode, EndStop);
    EXPECT_EQ(s.bones[3].animIndex, -1);
    s.assignAnimation(index, 0, true, EndLoop);
    EXPECT_EQ(s.bones[3].animIndex, index);
    EXPECT_EQ(s.bones[3].speed, 1.0f);
}

TEST(SkinModifierUpdate, GeometryUpdateDeformsEveryItemAndTracksBounds)
{
    Geometry g;
    testmodels::addItems(g, 2, false);
    testmodels::addSkin(g);
    Bounds before = g.bounds;
    g.update(0.0f);  // identity bones: positions = (0.75 + 0.25 or 0) x bind pose
    const SkinMesh& s = *g.skin->skinMeshes[0];
    const VertexArray& out = g.mesh(0).vertices;
    for (std::uint32_t v = 0; v < out.vertexCount; ++v) {
        float scale = v % 2 ? 0.75f : 1.0f;
        EXPECT_FLOAT_EQ(out.vertex(v)[1], scale * s.bindPose.vertex(v)[1]);
        // Texture sets and colours stay as in the bind pose.
        EXPECT_EQ(out.vertex(v)[8], s.bindPose.vertex(v)[8]);
    }
    Bounds merged = g.skin->skinMeshes[0]->bounds;
    merged.add(g.skin->skinMeshes[1]->bounds);
    EXPECT_EQ(g.bounds.radius, merged.radius);
    EXPECT_NE(g.bounds.radius, before.radius);
}

}
