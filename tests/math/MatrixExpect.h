// Element-by-element comparisons shared by the math tests.
#pragma once

#include "engine/math/Mat4.h"
#include "engine/math/Vec3.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>

// Each element within tolerance relative to the expected value (absolute below 1); NaN fails.
inline ::testing::AssertionResult matricesNear(const Mat4& actual, const Mat4& expected, float tolerance)
{
    for (int i = 0; i < 16; ++i) {
        if (!(std::fabs(actual.m[i] - expected.m[i]) <= tolerance * std::max(1.0f, std::fabs(expected.m[i]))))
            return ::testing::AssertionFailure() << "m[" << i << "] is " << actual.m[i] << ", expected " << expected.m[i];
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult vectorsNear(const Vec3& a, const Vec3& e, float tolerance)
{
    if (std::fabs(a.x - e.x) <= tolerance && std::fabs(a.y - e.y) <= tolerance && std::fabs(a.z - e.z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ", " << a.z << ") is not ("
                                         << e.x << ", " << e.y << ", " << e.z << ")";
}

// A matrix from sixteen values in storage (column-major) order.
inline Mat4 matrixFrom(std::initializer_list<float> values)
{
    Mat4 result;
    std::copy(values.begin(), values.end(), result.m);
    return result;
}
