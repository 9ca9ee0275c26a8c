// A 4 x 4 single-precision matrix in the layout OpenGL loads directly (column-major,
// element (row r, column k) = m[4k + r]); see engine/math/Conventions.h. Every operation
// acts on the matrix itself unless it names a result. It owns no state beyond its
// sixteen floats and never touches OpenGL; the render device loads m as it stands.
#pragma once

#include "engine/math/Quat.h"
#include "engine/math/Vec3.h"

struct Mat4 {
    float m[16];

    // The identity.
    Mat4();

    void setIdentity();
    // All sixteen elements copied from other.
    void copy(const Mat4& other);

    // Identity with translation (x, y, z).
    void setTranslation(float x, float y, float z);
    // M = M T(x, y, z): only m[12..14] change.
    void translate(float x, float y, float z);
    // M = M Rx(degrees), right-handed about +X.
    void rotateX(float degrees);
    // M = M Ry(degrees), right-handed about +Y.
    void rotateY(float degrees);
    // Replaces the matrix by Rz(degrees); discards what it held (no multiply).
    void setRotationZ(float degrees);

    // M = M * other.
    void multiply(const Mat4& other);
    // out = a * b through a temporary, so out may be a or b.
    static void product(Mat4& out, const Mat4& a, const Mat4& b);

    // dst = M (src, 1) without the division by w; dst may be src.
    void transformPoint(const Vec3& src, Vec3& dst) const;
    // As transformPoint; returns w = m[3] x + m[7] y + m[11] z + m[15], not divided.
    float transformPointW(const Vec3& src, Vec3& dst) const;
    // dst = upper 3 x 3 of M times src (no translation); dst may be src.
    void transformVector(const Vec3& src, Vec3& dst) const;

    void transpose();
    // General inverse by Gauss-Jordan elimination with partial pivoting. False when a
    // pivot is exactly 0 (singular); the matrix is then unchanged.
    bool invert();
    // out's upper 3 x 3 = cofactor matrix of src's upper 3 x 3 (determinant times the
    // inverse-transpose, not divided), for transforming normals; the rest of out is
    // zero except m[15] = 1. out may be src.
    static void cofactor3x3(const Mat4& src, Mat4& out);

    // The OpenGL frustum matrix (as glFrustum builds it).
    void setFrustum(float left, float right, float bottom, float top, float zNear, float zFar);
    // A frustum with h = zNear tan(fov / aspect / 2) and width 2 h aspect. fov is divided
    // by the aspect ratio, so it is not the vertical angle (90 at 4:3 gives 67.5 degrees
    // vertically). Note the argument order: fov, near, far, aspect.
    void setPerspective(float fovDegrees, float zNear, float zFar, float aspect);
    // Orthographic projection whose depth maps eye z = -zNear to 0 and eye z = -zFar to 1
    // (not the -1..1 of glOrtho: the z scale is 1, not 2).
    void setOrtho(float left, float right, float bottom, float top, float zNear, float zFar);

    // The rotation matrix of q, transposed from the usual column-vector form: it rotates
    // by the conjugate of q. Skeleton and animation data are built for this convention.
    void setRotation(const Quat& q);
    // setRotation(q), then translation t in m[12..14].
    void setRotationTranslation(const Vec3& t, const Quat& q);

    // Element in row r, column k (both 0..3).
    float& at(int r, int k) { return m[4 * k + r]; }
    float at(int r, int k) const { return m[4 * k + r]; }
    const float* data() const { return m; }
};

static_assert(sizeof(Mat4) == 64, "Mat4 is sixteen packed floats");
