#include "engine/math/Mat4.h"

#include "tests/math/MatrixExpect.h"

#include <cmath>
#include <cstring>

namespace {

constexpr float kTol = 1e-5f;

// A general matrix with no special structure (every element distinct, last row non-trivial).
Mat4 general()
{
    return matrixFrom({2, -1, 0.5f, 0.25f, 3, 4, -2, 0.5f, 1, 0, 5, -1, 7, -3, 2, 1});
}

Mat4 identity()
{
    return Mat4();
}

TEST(Mat4Product, OutputMayAliasEitherInput)
{
    const Mat4 a = general();
    Mat4 b;
    b.setRotationZ(30);
    b.translate(1, -2, 3);
    Mat4 expected;
    Mat4::product(expected, a, b);

    Mat4 intoA = a;
    Mat4::product(intoA, intoA, b);
    EXPECT_TRUE(matricesNear(intoA, expected, 0.0f));

    Mat4 intoB = b;
    Mat4::product(intoB, a, intoB);
    EXPECT_TRUE(matricesNear(intoB, expected, 0.0f));

    Mat4 square = a;
    Mat4 expectedSquare;
    Mat4::product(expectedSquare, a, a);
    square.multiply(square);
    EXPECT_TRUE(matricesNear(square, expectedSquare, 0.0f));
}

TEST(Mat4Transform, PointVectorAndW)
{
    const Mat4 m = general();
    const Vec3 p(1, 2, 3);

    Vec3 point;
    m.transformPoint(p, point);
    EXPECT_TRUE(vectorsNear(point, Vec3(2 + 6 + 3 + 7, -1 + 8 + 0 - 3, 0.5f - 4 + 15 + 2), kTol));

    Vec3 withW;
    const float w = m.transformPointW(p, withW);
    EXPECT_TRUE(vectorsNear(withW, point, 0.0f));   // no division by w
    EXPECT_FLOAT_EQ(w, 0.25f + 1.0f - 3.0f + 1.0f);

    Vec3 vector;
    m.transformVector(p, vector);
    EXPECT_TRUE(vectorsNear(vector, Vec3(2 + 6 + 3, -1 + 8 + 0, 0.5f - 4 + 15), kTol));

    Vec3 inPlace = p;
    m.transformPoint(inPlace, inPlace);
    EXPECT_TRUE(vectorsNear(inPlace, point, 0.0f));
    inPlace = p;
    m.transformVector(inPlace, inPlace);
    EXPECT_TRUE(vectorsNear(inPlace, vector, 0.0f));
}

struct InvertCase {
    const char* name;
    Mat4 matrix;
};

Mat4 rigid()
{
    Mat4 m;
    m.setRotationZ(33);
    m.rotateX(-71);
    m.rotateY(125);
    m.translate(4, -5, 6);
    return m;
}

Mat4 frustum()
{
    Mat4 m;
    m.setFrustum(-1, 2, -0.5f, 1.5f, 1, 100);
    return m;
}

TEST(Mat4Invert, ProductWithInverseIsIdentity)
{
    const InvertCase cases[] = {
        {"identity", Mat4()},
        {"general", general()},
        {"rigid", rigid()},
        {"frustum", frustum()},
        // zero on the diagonal: needs row exchanges
        {"permutation", matrixFrom({0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0})},
        // a tiny leading pivot: without partial pivoting the 1s are lost to rounding
        {"tiny pivot", matrixFrom({1e-8f, 1, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1})},
        {"scale", matrixFrom({1000, 0, 0, 0, 0, 0.001f, 0, 0, 0, 0, -4, 0, 1, 2, 3, 1})},
    };
    for (const InvertCase& c : cases) {
        Mat4 inverse = c.matrix;
        ASSERT_TRUE(inverse.invert()) << c.name;
        Mat4 left;
        Mat4::product(left, c.matrix, inverse);
        EXPECT_TRUE(matricesNear(left, identity(), kTol)) << c.name << " M M^-1";
        Mat4 right;
        Mat4::product(right, inverse, c.matrix);
        EXPECT_TRUE(matricesNear(right, identity(), kTol)) << c.name << " M^-1 M";
    }
}

TEST(Mat4Invert, SingularMatrixFailsAndIsLeftUnchanged)
{
    const InvertCase cases[] = {
        {"zeros", matrixFrom({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        // rows 0 and 1 proportional: the second pivot is zero
        {"second pivot", matrixFrom({1, 2, 0, 0, 2, 4, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1})},
        // rank 3 with an empty last column: fails only at the final check
        {"last pivot", matrixFrom({1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 0, 0, 0, 0})},
        {"zero column 2", matrixFrom({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 5, 6, 7, 1})},
    };
    for (const InvertCase& c : cases) {
        Mat4 m = c.matrix;
        EXPECT_FALSE(m.invert()) << c.name;
        EXPECT_EQ(std::memcmp(m.m, c.matrix.m, sizeof m.m), 0) << c.name;
    }
}

TEST(Mat4Cofactor, IsDeterminantTimesInverseTranspose)
{
    // A rotation is its own cofactor matrix; the translation is dropped.
    const Mat4 r = rigid();
    Mat4 out;
    Mat4::cofactor3x3(r, out);
    Mat4 rotationOnly = r;
    rotationOnly.m[12] = rotationOnly.m[13] = rotationOnly.m[14] = 0;
    EXPECT_TRUE(matricesNear(out, rotationOnly, kTol));

    // scale (2, 3, 4): cofactors (12, 8, 6); the rest zero except m[15]
    Mat4 s = matrixFrom({2, 0, 0, 9, 0, 3, 0, 9, 0, 0, 4, 9, 9, 9, 9, 9});
    Mat4::cofactor3x3(s, s);   // out may be src
    EXPECT_TRUE(matricesNear(s, matrixFrom({12, 0, 0, 0, 0, 8, 0, 0, 0, 0, 6, 0, 0, 0, 0, 1}), 0.0f));

    // general: C^T A = det(A) I on the upper 3 x 3
    const Mat4 a = general();
    Mat4 c;
    Mat4::cofactor3x3(a, c);
    const float det = a.at(0, 0) * (a.at(1, 1) * a.at(2, 2) - a.at(1, 2) * a.at(2, 1)) -
                      a.at(0, 1) * (a.at(1, 0) * a.at(2, 2) - a.at(1, 2) * a.at(2, 0)) +
                      a.at(0, 2) * (a.at(1, 0) * a.at(2, 1) - a.at(1, 1) * a.at(2, 0));
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            float sum = 0;
            for (int k = 0; k < 3; ++k)
                sum += c.at(k, i) * a.at(k, j);
            EXPECT_NEAR(sum, i == j ? det : 0.0f, kTol * std::fabs(det)) << i << "," << j;
        }
    }
}

TEST(Mat4Cofactor, KeepsNormalsPerpendicularUnderNonUniformScale)
{
    // A surface with normal (1, 1, 0) contains the direction (1, -1, 0).
    Mat4 m;
    m.rotateY(20);
    m.m[0] *= 3;
    m.m[1] *= 3;
    m.m[2] *= 3;
    Mat4 normals;
    Mat4::cofactor3x3(m, normals);
    Vec3 n, t;
    normals.transformVector(Vec3(1, 1, 0), n);
    m.transformVector(Vec3(1, -1, 0), t);
    EXPECT_NEAR(dot(n, t), 0.0f, kTol);
}

} // namespace
