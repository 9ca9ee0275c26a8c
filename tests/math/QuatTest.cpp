#include "engine/math/Quat.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Quat, DefaultIsIdentityAndStorageIsXyzw)
{
    const Quat q;
    EXPECT_EQ(q.x, 0.0f);
    EXPECT_EQ(q.y, 0.0f);
    EXPECT_EQ(q.z, 0.0f);
    EXPECT_EQ(q.w, 1.0f);

    const float stored[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    Quat r;
    std::memcpy(&r, stored, sizeof r);   // as the animation files lay a key out
    EXPECT_EQ(r.x, 0.1f);
    EXPECT_EQ(r.w, 0.4f);
}

TEST(Quat, DotIsFourComponentAndSignSensitive)
{
    const Quat a(0.5f, -0.5f, 0.5f, 0.5f);
    const Quat negated(-0.5f, 0.5f, -0.5f, -0.5f);
    EXPECT_FLOAT_EQ(dot(a, a), 1.0f);
    EXPECT_FLOAT_EQ(dot(a, negated), -1.0f);
    EXPECT_FLOAT_EQ(dot(a, Quat()), 0.5f);
}

} // namespace
