#include "engine/math/Quat.h"

#include <gtest/gtest.h>

namespace {

TEST(Quat, DotIsFourComponentAndSignSensitive)
{
    EXPECT_EQ(Quat().w, 1.0f);   // a default Quat is the identity rotation
    const Quat a(0.5f, -0.5f, 0.5f, 0.5f);
    const Quat negated(-0.5f, 0.5f, -0.5f, -0.5f);
    EXPECT_FLOAT_EQ(dot(a, a), 1.0f);
    EXPECT_FLOAT_EQ(dot(a, negated), -1.0f);
    EXPECT_FLOAT_EQ(dot(a, Quat()), 0.5f);
}

} // namespace
