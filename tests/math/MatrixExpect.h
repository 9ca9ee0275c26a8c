// Element-by-element comparisons shared by the math tests.
#pragma once

#include "engine/math/Mat4.h"
#include "engine/math/Vec3.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>

// Each element within tolerance relative to the expected value (absolute below 1).
// NaN never passes.
inline ::testing::AssertionResult matricesNear(const float* actual, const float* expected,
                                               float tolerance)
{
    for (int i = 0; i < 16; ++i) {
        const float allowed = tolerance * std::max(1.0f, std::fabs(expected[i]));
        if (!(std::fabs(actual[i] - expected[i]) <= allowed)) {
            return ::testing::AssertionFailure()
                   << "m[" << i << "] (row " << i % 4 << ", column " << i / 4 << ") is "
                   << actual[i] << ", expected " << expected[i] << " +/- " << allowed;
        }
    }
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult matricesNear(const Mat4& actual, const Mat4& expected,
                                               float tolerance)
{
    return matricesNear(actual.m, expected.m, tolerance);
}

inline ::testing::AssertionResult vectorsNear(const Vec3& actual, const Vec3& expected,
                                              float tolerance)
{
    if (std::fabs(actual.x - expected.x) <= tolerance && std::fabs(actual.y - expected.y) <= tolerance &&
        std::fabs(actual.z - expected.z) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z
                                         << ") is not (" << expected.x << ", " << expected.y << ", "
                                         << expected.z << ") +/- " << tolerance;
}

// A matrix from sixteen values in storage (column-major) order.
inline Mat4 matrixFrom(std::initializer_list<float> values)
{
    Mat4 result;
    std::copy(values.begin(), values.end(), result.m);
    return result;
}
