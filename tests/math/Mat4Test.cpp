#include "engine/math/Mat4.h"

#include "tests/math/MatrixExpect.h"

#include <cstring>

namespace {

constexpr float kTol = 1e-5f;

// Every element distinct, last row non-trivial.
Mat4 general()
{
    return matrixFrom({2, -1, 0.5f, 0.25f, 3, 4, -2, 0.5f, 1, 0, 5, -1, 7, -3, 2, 1});
}

TEST(Mat4Product, OutputMayAliasEitherInput)
{
    const Mat4 a = general();
    Mat4 b;
    b.setRotationZ(30);
    b.translate(1, -2, 3);
    Mat4 expected;
    Mat4::product(expected, a, b);
    Mat4 intoA = a, intoB = b, square = a;
    Mat4::product(intoA, intoA, b);
    Mat4::product(intoB, a, intoB);
    EXPECT_TRUE(matricesNear(intoA, expected, 0.0f));
    EXPECT_TRUE(matricesNear(intoB, expected, 0.0f));
    Mat4::product(expected, a, a);
    square.multiply(square);
    EXPECT_TRUE(matricesNear(square, expected, 0.0f));
}

TEST(Mat4Transform, PointAddsTranslationVectorDoesNotAndWIsNotDivided)
{
    const Mat4 m = general();
    Vec3 point(1, 2, 3), withW, vector(1, 2, 3);
    m.transformPoint(point, point);   // in place
    EXPECT_TRUE(vectorsNear(point, Vec3(18, 4, 13.5f), kTol));
    EXPECT_FLOAT_EQ(m.transformPointW(Vec3(1, 2, 3), withW), -0.75f);
    EXPECT_TRUE(vectorsNear(withW, point, 0.0f));
    m.transformVector(vector, vector);
    EXPECT_TRUE(vectorsNear(vector, Vec3(11, 7, 11.5f), kTol));
}

TEST(Mat4Invert, ProductWithInverseIsIdentityAndSingularIsLeftUnchanged)
{
    Mat4 rigid;
    rigid.setRotationZ(33);
    rigid.rotateX(-71);
    rigid.translate(4, -5, 6);
    const Mat4 invertible[] = {
        general(), rigid,
        matrixFrom({0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0}),          // needs row exchanges
        matrixFrom({1e-8f, 1, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}),      // needs partial pivoting
    };
    for (const Mat4& m : invertible) {
        Mat4 inverse = m, left, right;
        ASSERT_TRUE(inverse.invert());
        Mat4::product(left, m, inverse);
        Mat4::product(right, inverse, m);
        EXPECT_TRUE(matricesNear(left, Mat4(), kTol));
        EXPECT_TRUE(matricesNear(right, Mat4(), kTol));
    }
    const Mat4 singular[] = {
        matrixFrom({1, 2, 0, 0, 2, 4, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}),          // second pivot zero
        matrixFrom({1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0}),          // fails at the last pivot
    };
    for (const Mat4& original : singular) {
        Mat4 m = original;
        EXPECT_FALSE(m.invert());
        EXPECT_EQ(std::memcmp(m.m, original.m, sizeof m.m), 0);
    }
}

TEST(Mat4Cofactor, KeepsNormalsPerpendicularAndMayWriteItsSource)
{
    Mat4 m;
    m.rotateY(20);
    m.m[0] *= 3;
    m.m[1] *= 3;
    m.m[2] *= 3;
    Mat4 normals;
    Mat4::cofactor3x3(m, normals);
    Vec3 n, t;   // a surface with normal (1, 1, 0) contains (1, -1, 0)
    normals.transformVector(Vec3(1, 1, 0), n);
    m.transformVector(Vec3(1, -1, 0), t);
    EXPECT_NEAR(dot(n, t), 0.0f, kTol);

    Mat4 s = matrixFrom({2, 0, 0, 9, 0, 3, 0, 9, 0, 0, 4, 9, 9, 9, 9, 9});
    Mat4::cofactor3x3(s, s);
    EXPECT_TRUE(matricesNear(s, matrixFrom({12, 0, 0, 0, 0, 8, 0, 0, 0, 0, 6, 0, 0, 0, 0, 1}), 0.0f));
}

} // namespace
