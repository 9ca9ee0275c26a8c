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

TEST(Mat4Product, IdentityIsNeutralOnEitherSide)
{
    const Mat4 a = general();

    Mat4 left;
    left.multiply(a);
    EXPECT_TRUE(matricesNear(left, a, 0.0f));

    Mat4 right = a;
    right.multiply(identity());
    EXPECT_TRUE(matricesNear(right, a, 0.0f));
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

struct AxisCase {
    const char* name;
    void (*apply)(Mat4&);
    Vec3 in;
    Vec3 out;
};

TEST(Mat4Rotation, QuarterTurnsAreRightHanded)
{
    const AxisCase cases[] = {
        {"rotateX 90", [](Mat4& m) { m.rotateX(90); }, {0, 1, 0}, {0, 0, 1}},
        {"rotateX -90", [](Mat4& m) { m.rotateX(-90); }, {0, 1, 0}, {0, 0, -1}},
        {"rotateY 90", [](Mat4& m) { m.rotateY(90); }, {0, 0, 1}, {1, 0, 0}},
        {"rotateY 90 of x", [](Mat4& m) { m.rotateY(90); }, {1, 0, 0}, {0, 0, -1}},
        {"setRotationZ 90", [](Mat4& m) { m.setRotationZ(90); }, {1, 0, 0}, {0, 1, 0}},
        {"rotateX 450", [](Mat4& m) { m.rotateX(450); }, {0, 1, 0}, {0, 0, 1}},
    };
    for (const AxisCase& c : cases) {
        Mat4 m;
        c.apply(m);
        Vec3 out;
        m.transformPoint(c.in, out);
        EXPECT_TRUE(vectorsNear(out, c.out, kTol)) << c.name;
    }
}

TEST(Mat4Rotation, SetRotationZReplacesWhatTheMatrixHeld)
{
    Mat4 m = general();
    m.setRotationZ(90);
    Vec3 out;
    m.transformPoint(Vec3(1, 0, 0), out);
    EXPECT_TRUE(vectorsNear(out, Vec3(0, 1, 0), kTol));
    EXPECT_EQ(m.m[3], 0.0f);
    EXPECT_EQ(m.m[12], 0.0f);
    EXPECT_EQ(m.m[13], 0.0f);
    EXPECT_EQ(m.m[14], 0.0f);
    EXPECT_EQ(m.m[15], 1.0f);
}

TEST(Mat4Rotation, LastOperationActsFirstOnTheVertex)
{
    // translate then rotate in code order: the point is rotated, then translated.
    Mat4 m;
    m.translate(10, 0, 0);
    m.rotateY(90);
    Vec3 out;
    m.transformPoint(Vec3(0, 0, 1), out);
    EXPECT_TRUE(vectorsNear(out, Vec3(11, 0, 0), kTol));
}

TEST(Mat4Translate, ChangesOnlyTheTranslationColumn)
{
    Mat4 m = general();
    const Mat4 before = m;
    m.translate(1, 2, 3);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(m.m[i], before.m[i]) << i;
    // column 3 += x column 0 + y column 1 + z column 2, rows 0..2 only
    EXPECT_FLOAT_EQ(m.m[12], 7 + 2 * 1 + 3 * 2 + 1 * 3);
    EXPECT_FLOAT_EQ(m.m[13], -3 + -1 * 1 + 4 * 2 + 0 * 3);
    EXPECT_FLOAT_EQ(m.m[14], 2 + 0.5f * 1 + -2 * 2 + 5 * 3);
    EXPECT_EQ(m.m[15], before.m[15]);
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

TEST(Mat4Projection, PerspectiveDividesTheFieldOfViewByTheAspect)
{
    // fov 90 at 4:3 is a vertical angle of 67.5 degrees, not 90.
    Mat4 p;
    p.setPerspective(90, 1, 100, 4.0f / 3.0f);
    const float vertical = 2.0f * std::atan(1.0f / p.m[5]) / 0.017453292f;
    EXPECT_NEAR(vertical, 67.5f, 1e-3f);
    EXPECT_NEAR(p.m[0], p.m[5] * 0.75f, kTol);
    EXPECT_EQ(p.m[8], 0.0f);
    EXPECT_EQ(p.m[9], 0.0f);

    // aspect 1: fov is the vertical angle
    p.setPerspective(60, 0.5f, 10, 1);
    EXPECT_NEAR(p.m[5], 1.0f / std::tan(30.0f * 0.017453292f), kTol);
}

TEST(Mat4Projection, OrthoDepthRunsFromZeroAtNearToOneAtFar)
{
    Mat4 o;
    o.setOrtho(0, 1024, 0, 768, -1, 1);
    struct {
        Vec3 eye;
        Vec3 clip;
    } cases[] = {
        {{0, 0, 1}, {-1, -1, 0}},        // eye z = -near
        {{1024, 768, -1}, {1, 1, 1}},    // eye z = -far
        {{512, 384, 0}, {0, 0, 0.5f}},
    };
    for (const auto& c : cases) {
        Vec3 out;
        EXPECT_FLOAT_EQ(o.transformPointW(c.eye, out), 1.0f);
        EXPECT_TRUE(vectorsNear(out, c.clip, kTol));
    }

    o.setOrtho(-2, 2, -1, 1, 10, 110);
    Vec3 out;
    o.transformPoint(Vec3(0, 0, -10), out);
    EXPECT_NEAR(out.z, 0.0f, kTol);
    o.transformPoint(Vec3(0, 0, -110), out);
    EXPECT_NEAR(out.z, 1.0f, kTol);
}

TEST(Mat4Quaternion, MatrixRotatesByTheConjugate)
{
    Mat4 m;
    m.setRotation(Quat(0, 0, 0, 1));
    EXPECT_TRUE(matricesNear(m, identity(), 0.0f));

    // q = 90 degrees about +Z; the matrix turns the other way, by -90.
    const float h = std::sqrt(0.5f);
    m.setRotation(Quat(0, 0, h, h));
    Vec3 out;
    m.transformPoint(Vec3(1, 0, 0), out);
    EXPECT_TRUE(vectorsNear(out, Vec3(0, -1, 0), kTol));

    // 90 about +X: (0, 1, 0) goes to (0, 0, -1)
    m.setRotation(Quat(h, 0, 0, h));
    m.transformPoint(Vec3(0, 1, 0), out);
    EXPECT_TRUE(vectorsNear(out, Vec3(0, 0, -1), kTol));
}

} // namespace
