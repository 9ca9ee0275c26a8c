#include "engine/math/Vec3.h"

#include "tests/math/MatrixExpect.h"

namespace {

TEST(Vec3, CompoundOperatorsActComponentWiseAndChain)
{
    Vec3 v(1, 2, 3);
    Vec3& same = (v += Vec3(0.5f, -1, 2));
    EXPECT_EQ(&same, &v);
    EXPECT_TRUE(vectorsNear(v, Vec3(1.5f, 1, 5), 0.0f));

    (v *= 2) *= 0.5f;
    EXPECT_TRUE(vectorsNear(v, Vec3(1.5f, 1, 5), 0.0f));

    v /= 4;
    EXPECT_TRUE(vectorsNear(v, Vec3(0.375f, 0.25f, 1.25f), 0.0f));

    EXPECT_TRUE(vectorsNear(Vec3(1, 2, 3) - Vec3(3, 2, 1), Vec3(-2, 0, 2), 0.0f));
    EXPECT_TRUE(vectorsNear(2.0f * Vec3(1, 2, 3) + Vec3(1, 1, 1), Vec3(3, 5, 7), 0.0f));
}

TEST(Vec3, ZeroDivisorAndZeroLengthLeaveTheVectorUnchanged)
{
    Vec3 v(1, -2, 3);
    EXPECT_EQ(&(v /= 0.0f), &v);
    EXPECT_TRUE(vectorsNear(v, Vec3(1, -2, 3), 0.0f));

    Vec3 zero;
    zero.normalize();
    EXPECT_TRUE(vectorsNear(zero, Vec3(0, 0, 0), 0.0f));
}

TEST(Vec3, LengthAndNormalize)
{
    struct {
        Vec3 v;
        float length;
        Vec3 unit;
    } cases[] = {
        {{3, 4, 0}, 5, {0.6f, 0.8f, 0}},
        {{2, -3, 6}, 7, {2.0f / 7, -3.0f / 7, 6.0f / 7}},
        {{0, 0, -1e-3f}, 1e-3f, {0, 0, -1}},
    };
    for (const auto& c : cases) {
        EXPECT_FLOAT_EQ(c.v.length(), c.length);
        Vec3 n = c.v;
        n.normalize();
        EXPECT_TRUE(vectorsNear(n, c.unit, 1e-6f));
        EXPECT_NEAR(n.length(), 1.0f, 1e-6f);
    }
}

TEST(Vec3, DotAndCrossFollowTheRightHand)
{
    EXPECT_TRUE(vectorsNear(cross(Vec3(1, 0, 0), Vec3(0, 1, 0)), Vec3(0, 0, 1), 0.0f));
    EXPECT_TRUE(vectorsNear(cross(Vec3(0, 1, 0), Vec3(0, 0, 1)), Vec3(1, 0, 0), 0.0f));
    EXPECT_TRUE(vectorsNear(cross(Vec3(0, 0, 1), Vec3(1, 0, 0)), Vec3(0, 1, 0), 0.0f));
    const Vec3 a(1, 2, 3), b(-4, 5, 0.5f);
    EXPECT_FLOAT_EQ(dot(a, b), -4 + 10 + 1.5f);
    EXPECT_NEAR(dot(cross(a, b), a), 0.0f, 1e-5f);
    EXPECT_NEAR(dot(cross(a, b), b), 0.0f, 1e-5f);
}

} // namespace
