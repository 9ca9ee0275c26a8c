#include "engine/math/Quat.h"
#include "engine/math/Vec3.h"

#include "tests/math/MatrixExpect.h"

namespace {

TEST(Vec3, OperatorsActComponentWiseChainAndIgnoreAZeroDivisor)
{
    Vec3 v(1, 2, 3);
    EXPECT_EQ(&(v += Vec3(0.5f, -1, 2)), &v);
    (v *= 2) *= 0.5f;
    v /= 4;
    EXPECT_TRUE(vectorsNear(v, Vec3(0.375f, 0.25f, 1.25f), 0.0f));
    EXPECT_EQ(&(v /= 0.0f), &v);
    EXPECT_TRUE(vectorsNear(v, Vec3(0.375f, 0.25f, 1.25f), 0.0f));
    EXPECT_TRUE(vectorsNear(2.0f * Vec3(1, 2, 3) - Vec3(3, 2, 1) + Vec3(1, 1, 1), Vec3(0, 3, 6), 0.0f));
}

TEST(Vec3, LengthNormalizeDotAndRightHandedCross)
{
    Vec3 n(2, -3, 6), zero;
    EXPECT_FLOAT_EQ(n.length(), 7);
    n.normalize();
    zero.normalize();
    EXPECT_TRUE(vectorsNear(n, Vec3(2.0f / 7, -3.0f / 7, 6.0f / 7), 1e-6f));
    EXPECT_TRUE(vectorsNear(zero, Vec3(0, 0, 0), 0.0f));
    EXPECT_TRUE(vectorsNear(cross(Vec3(0, 1, 0), Vec3(0, 0, 1)), Vec3(1, 0, 0), 0.0f));
    EXPECT_TRUE(vectorsNear(cross(Vec3(1, 2, 3), Vec3(-4, 5, 0.5f)), Vec3(-14, -12.5f, 13), 1e-5f));
    EXPECT_FLOAT_EQ(dot(Vec3(1, 2, 3), Vec3(-4, 5, 0.5f)), 7.5f);
}

TEST(Quat, DotIsFourComponentAndSignSensitive)
{
    const Quat a(0.5f, -0.5f, 0.5f, 0.5f), negated(-0.5f, 0.5f, -0.5f, -0.5f);
    EXPECT_FLOAT_EQ(dot(a, negated), -1.0f);
    EXPECT_FLOAT_EQ(dot(a, Quat()), 0.5f);   // the default is the identity rotation
}

} // namespace
