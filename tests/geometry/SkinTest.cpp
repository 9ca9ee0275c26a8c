#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationTable.h"
#include "tests/geometry/TestModels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace vertexformat;

namespace {

Skeleton twoBones()
{
    Skeleton s;
    s.resize(2);
    s.bones[0].firstChild = 1;
    s.bones[1].parent = 0;
    return s;
}

// Each vertex is the weighted sum of its bones' transforms, the weights not normalised and
// a missing bone (-1) adding nothing; directions are renormalised afterwards.
TEST(SkinDeform, EachComponentLayoutFollowsItsWeightedBoneMatrices)
{
    Skeleton s = twoBones();
    for (std::size_t b = 0; b < 2; ++b)
        for (int k : { 0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14 }) {
            s.bones[b].skinMatrix.m[k] = 0.1f * float(k + 1) - 0.3f * float(b) + (k % 5 == 0 ? 1.0f : 0.0f);
            s.bones[b].normalMatrix.m[k] = 0.05f * float(k * k % 7) + 0.2f * float(b);
        }
    // One vertex: position, normal and a three-component set 0, each where the format has it.
    const std::uint32_t components[3] = { Position, Normal, Tex0Vec3 };
    const Vec3 bind[3] = { { 1, 2, 3 }, { 0.3f, -0.5f, 0.8f }, { 0.2f, 0.7f, -0.4f } };
    auto blend = [&](int c, const SkinWeight& w) {
        Vec3 sum;
        for (auto [bone, weight] : { std::pair { w.bone0, w.weight0 }, { w.bone1, w.weight1 } }) {
            if (bone < 0)
                continue;
            const Bone& b = s.bones[std::size_t(bone)];
            Vec3 moved;
            c == 0 ? b.skinMatrix.transformPoint(bind[c], moved)
                   : (c == 2 ? b.normalMatrix : b.skinMatrix).transformVector(bind[c], moved);
            sum += moved * weight;
        }
        return c == 0 || sum.length() == 0.0f ? sum : sum * (1.0f / sum.length());
    };
    const SkinWeight weights[] = { { 0, 1, 0.75f, 0.25f }, { 1, -1, 2.0f, 7.0f }, { -1, -1, 1.0f, 1.0f } };
    for (std::uint32_t format : { Position | Normal | Tex0Vec3, Position, Normal | Tex0Vec3 }) {
        for (const SkinWeight& w : weights) {
            SkinMesh m;
            m.bindPose.allocate(1, format);
            m.weights.push_back(w);
            const std::uint32_t offsets[3] = { m.bindPose.positionOffset, m.bindPose.normalOffset, m.bindPose.texOffset0 };
            for (int c = 0; c < 3; ++c)
                if (format & components[c])
                    std::copy(&bind[c].x, &bind[c].x + 3, m.bindPose.data() + offsets[c]);
            VertexArray target;
            target.allocate(5, 0x01F);  // another count and format: becomes a copy first
            m.deform(s, target);
            ASSERT_EQ(std::make_pair(target.vertexCount, target.format), std::make_pair(1u, format));
            for (int c = 0; c < 3; ++c) {
                const Vec3 expected = blend(c, w);
                for (int k = 0; k < 3 && (format & components[c]); ++k)
                    EXPECT_NEAR(target.data()[offsets[c] + k], (&expected.x)[k], 1e-5f) << format << " component " << c << " bone " << w.bone0;
            }
            if (format & Position) {
                EXPECT_NEAR(m.bounds.centre.x, blend(0, w).x, 1e-5f);
            }
        }
    }
}

// Two bones: bone 0 translates along x with time, bone 1 along y and has an offset.
class SkeletonPlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        AnimationTable::clear();
        std::tie(anim.boneCount, anim.frameCount, anim.duration) = std::make_tuple(2u, 2u, 2.0f);
        anim.keys = { {}, {}, { Vec3(2, 0, 0), Quat() }, { Vec3(0, 4, 0), Quat() } };
        index = AnimationTable::add(&anim);
        skeleton.bones[1].offset.setTranslation(0.0f, 0.0f, -5.0f);
    }
    void TearDown() override { AnimationTable::clear(); }

    KeyframedAnimation anim;
    std::int32_t index = -1;
    Skeleton skeleton = twoBones();
};

TEST_F(SkeletonPlayback, LoopWrapsTheTimeAndChildrenComposeWithTheirParent)
{
    skeleton.assignAnimation(index, 0, false, EndLoop);
    skeleton.update(5.5f);
    EXPECT_EQ(std::make_pair(skeleton.bones[0].time, skeleton.bones[1].time), std::make_pair(1.5f, 1.5f));
    // Halfway from frame 1 back to frame 0: x from bone 0, y from bone 1; then the offset.
    const Bone& b = skeleton.bones[1];
    EXPECT_EQ(std::vector<float>({ b.world.m[12], b.world.m[13], b.skinMatrix.m[14] }), std::vector<float>({ 1, 2, -5 }));
    // Without an animation a bone moves rigidly with its parent.
    skeleton.bones[1].animIndex = -1;
    skeleton.update(1.5f);
    EXPECT_EQ(std::memcmp(b.skinMatrix.m, skeleton.bones[0].skinMatrix.m, 64), 0);
    EXPECT_FLOAT_EQ(b.skinMatrix.m[12], 2.0f);  // frame 1
}

TEST_F(SkeletonPlayback, StopEvaluatesAtTheDurationOnceThenFollowsTheParent)
{
    skeleton.assignAnimation(index, 1, false, EndStop);
    skeleton.bones[0].animIndex = -1;  // the root stands still
    skeleton.update(2.5f);
    Bone& b = skeleton.bones[1];
    EXPECT_EQ(std::make_tuple(b.animIndex, b.speed, b.time), std::make_tuple(-1, 0.0f, 2.0f));
    EXPECT_FLOAT_EQ(b.skinMatrix.m[14], -5.0f) << "time = duration is key 0, and the offset applies";
    skeleton.update(0.1f);
    EXPECT_FLOAT_EQ(b.skinMatrix.m[14], 0.0f) << "detached: the parent's matrices, without its own offset";
}

TEST_F(SkeletonPlayback, FollowParentTakesOverThePlaybackState)
{
    skeleton.assignAnimation(index, 0, false, EndLoop);
    Bone& child = skeleton.bones[1];
    child.endMode = EndFollowParent;
    child.speed = 2.0f;
    skeleton.update(1.5f);  // parent at 1.5 s, child at 3.0 s > 2.0
    EXPECT_EQ(std::make_tuple(child.time, child.endMode, child.speed), std::make_tuple(1.5f, EndLoop, 1.0f));
    // A root has nobody to follow: it stops at time 0.
    Bone& root = skeleton.bones[0];
    root.endMode = EndFollowParent;
    skeleton.update(1.0f);
    EXPECT_EQ(std::make_tuple(root.animIndex, root.time, root.endMode), std::make_tuple(-1, 0.0f, EndLoop));
}

TEST_F(SkeletonPlayback, SiblingsPlayAndAssignReachesTheFirstBonesOnlyWhenAsked)
{
    Skeleton s;
    s.resize(4);  // 0 -> children 1, 2 (siblings); 3 is a sibling of 0
    const std::int32_t links[4][3] = { { -1, 1, 3 }, { 0, -1, 2 }, { 0, -1, -1 }, { -1, -1, -1 } };
    for (std::size_t b = 0; b < 4; ++b)
        std::tie(s.bones[b].parent, s.bones[b].firstChild, s.bones[b].nextSibling) = std::tie(links[b][0], links[b][1], links[b][2]);
    s.assignAnimation(index, 0, false, EndStop);
    EXPECT_EQ(std::make_tuple(s.bones[2].animIndex, s.bones[2].endMode, s.bones[3].animIndex), std::make_tuple(index, EndStop, -1));
    s.update(0.5f);  // the root's second child (a second arm) moves with the root
    EXPECT_EQ(s.bones[2].world.m[12], 1.0f);
    s.assignAnimation(index, 0, true, EndLoop);
    EXPECT_EQ(std::make_tuple(s.bones[3].animIndex, s.bones[3].speed), std::make_tuple(index, 1.0f));
}

// The skeleton plays once per frame, before the first item is deformed; the geometry's box
// is then the smallest around every item's vertices.
TEST(SkinModifierUpdate, GeometryUpdatePlaysTheSkeletonDeformsEveryItemAndBoxesThemAll)
{
    Geometry g;
    testmodels::addItems(g, 4, false);
    // Middle, highest, lowest, middle: each face of the box is taken once from the items
    // merged so far and once from the next one.
    std::vector<GeometryItem> order;
    for (int i : { 1, 3, 0, 2 })
        order.push_back(std::move(g.items[std::size_t(i)]));
    g.items = std::move(order);
    testmodels::addSkin(g);
    KeyframedAnimation anim;  // the root moves 2 along x over the take, its children with it
    std::tie(anim.boneCount, anim.frameCount, anim.duration) = std::make_tuple(1u, 2u, 2.0f);
    anim.keys = { {}, { Vec3(2, 0, 0), Quat() } };
    AnimationTable::clear();
    g.skin->skeleton.assignAnimation(AnimationTable::add(&anim), 0, false, EndLoop);
    g.update(0.5f);
    AnimationTable::clear();
    Vec3 lo(1e9f, 1e9f, 1e9f), hi = lo * -1.0f;
    for (std::uint32_t i = 0; i < 4; ++i) {
        const VertexArray& bind = g.skin->skinMeshes[i]->bindPose;
        const VertexArray& out = g.mesh(i).vertices;
        for (std::uint32_t v = 0; v < out.vertexCount; ++v) {
            const float* p = out.vertex(v);
            // Odd vertices have one influence of 0.75, even ones two summing to 1.
            EXPECT_FLOAT_EQ(p[0], (v % 2 ? 0.75f : 1.0f) * (bind.vertex(v)[0] + 1.0f)) << i << "/" << v;
            EXPECT_TRUE(!out.has(Tex0) || p[out.texOffset0] == bind.vertex(v)[out.texOffset0]) << "texture sets stay";
            lo = Vec3(std::min(lo.x, p[0]), std::min(lo.y, p[1]), std::min(lo.z, p[2]));
            hi = Vec3(std::max(hi.x, p[0]), std::max(hi.y, p[1]), std::max(hi.z, p[2]));
        }
    }
    EXPECT_NEAR((g.bounds.centre - (lo + hi) * 0.5f).length() + (g.bounds.half - (hi - lo) * 0.5f).length(), 0.0f, 1e-4f);
}

}
