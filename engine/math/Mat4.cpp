#include "engine/math/Mat4.h"

#include "engine/math/Conventions.h"

#include <cmath>
#include <cstring>
#include <utility>

Mat4::Mat4()
{
    setIdentity();
}

void Mat4::setIdentity()
{
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void Mat4::copy(const Mat4& other)
{
    std::memcpy(m, other.m, sizeof m);
}

void Mat4::setTranslation(float x, float y, float z)
{
    setIdentity();
    m[12] = x;
    m[13] = y;
    m[14] = z;
}

void Mat4::translate(float x, float y, float z)
{
    for (int i = 0; i < 3; ++i)
        m[12 + i] += x * m[i] + y * m[4 + i] + z * m[8 + i];
}

void Mat4::rotateX(float degrees)
{
    const float rad = degrees * kDegToRad;
    const float c = std::cos(rad);
    const float s = std::sin(rad);
    for (int i = 0; i < 4; ++i) {
        const float col1 = m[4 + i];
        const float col2 = m[8 + i];
        m[4 + i] = c * col1 + s * col2;
        m[8 + i] = c * col2 - s * col1;
    }
}

void Mat4::rotateY(float degrees)
{
    const float rad = degrees * kDegToRad;
    const float c = std::cos(rad);
    const float s = std::sin(rad);
    for (int i = 0; i < 4; ++i) {
        const float col0 = m[i];
        const float col2 = m[8 + i];
        m[i] = c * col0 - s * col2;
        m[8 + i] = s * col0 + c * col2;
    }
}

void Mat4::setRotationZ(float degrees)
{
    const float rad = degrees * kDegToRad;
    const float c = std::cos(rad);
    const float s = std::sin(rad);
    std::memset(m, 0, sizeof m);
    m[0] = c;
    m[1] = s;
    m[4] = -s;
    m[5] = c;
    m[10] = 1.0f;
    m[15] = 1.0f;
}

void Mat4::multiply(const Mat4& other)
{
    product(*this, *this, other);
}

void Mat4::product(Mat4& out, const Mat4& a, const Mat4& b)
{
    float result[16];
    for (int k = 0; k < 4; ++k) {
        for (int r = 0; r < 4; ++r) {
            float sum = 0.0f;
            for (int j = 0; j < 4; ++j)
                sum += a.m[4 * j + r] * b.m[4 * k + j];
            result[4 * k + r] = sum;
        }
    }
    std::memcpy(out.m, result, sizeof result);
}

void Mat4::transformPoint(const Vec3& src, Vec3& dst) const
{
    const Vec3 p = src;
    dst.x = m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12];
    dst.y = m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13];
    dst.z = m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14];
}

float Mat4::transformPointW(const Vec3& src, Vec3& dst) const
{
    const Vec3 p = src;
    transformPoint(p, dst);
    return m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15];
}

void Mat4::transformVector(const Vec3& src, Vec3& dst) const
{
    const Vec3 v = src;
    dst.x = m[0] * v.x + m[4] * v.y + m[8] * v.z;
    dst.y = m[1] * v.x + m[5] * v.y + m[9] * v.z;
    dst.z = m[2] * v.x + m[6] * v.y + m[10] * v.z;
}

void Mat4::transpose()
{
    std::swap(m[1], m[4]);
    std::swap(m[2], m[8]);
    std::swap(m[3], m[12]);
    std::swap(m[6], m[9]);
    std::swap(m[7], m[13]);
    std::swap(m[11], m[14]);
}

bool Mat4::invert()
{
    // Work rows: row r of the matrix, then row r of the identity.
    float work[4][8];
    float* row[4];
    for (int r = 0; r < 4; ++r) {
        for (int k = 0; k < 4; ++k) {
            work[r][k] = m[4 * k + r];
            work[r][4 + k] = (r == k) ? 1.0f : 0.0f;
        }
        row[r] = work[r];
    }

    for (int col = 0; col < 3; ++col) {
        // One bottom-up pass brings the largest magnitude in this column to the pivot row.
        for (int i = 3; i > col; --i) {
            if (std::fabs(row[i][col]) > std::fabs(row[i - 1][col]))
                std::swap(row[i], row[i - 1]);
        }
        const float* pivot = row[col];
        if (pivot[col] == 0.0f)
            return false;
        for (int i = col + 1; i < 4; ++i) {
            float* target = row[i];
            const float factor = target[col] / pivot[col];
            for (int k = col + 1; k < 4; ++k)
                target[k] -= factor * pivot[k];
            for (int k = 4; k < 8; ++k) {
                if (pivot[k] != 0.0f)
                    target[k] -= factor * pivot[k];
            }
        }
    }
    if (row[3][3] == 0.0f)
        return false;

    for (int i = 3; i >= 0; --i) {
        const float scale = 1.0f / row[i][i];
        for (int k = 4; k < 8; ++k) {
            float value = row[i][k];
            for (int j = 3; j > i; --j)
                value -= row[j][k] * row[i][j];
            row[i][k] = scale * value;
        }
    }

    for (int r = 0; r < 4; ++r) {
        for (int k = 0; k < 4; ++k)
            m[4 * k + r] = row[r][4 + k];
    }
    return true;
}

void Mat4::cofactor3x3(const Mat4& src, Mat4& out)
{
    // Each row of the cofactor matrix is the cross product of the other two rows.
    const Vec3 row0(src.at(0, 0), src.at(0, 1), src.at(0, 2));
    const Vec3 row1(src.at(1, 0), src.at(1, 1), src.at(1, 2));
    const Vec3 row2(src.at(2, 0), src.at(2, 1), src.at(2, 2));
    const Vec3 c[3] = {cross(row1, row2), cross(row2, row0), cross(row0, row1)};

    std::memset(out.m, 0, sizeof out.m);
    for (int r = 0; r < 3; ++r) {
        out.at(r, 0) = c[r].x;
        out.at(r, 1) = c[r].y;
        out.at(r, 2) = c[r].z;
    }
    out.m[15] = 1.0f;
}

void Mat4::setFrustum(float left, float right, float bottom, float top, float zNear, float zFar)
{
    std::memset(m, 0, sizeof m);
    m[0] = 2.0f * zNear / (right - left);
    m[5] = 2.0f * zNear / (top - bottom);
    m[8] = (right + left) / (right - left);
    m[9] = (top + bottom) / (top - bottom);
    m[10] = -(zFar + zNear) / (zFar - zNear);
    m[11] = -1.0f;
    m[14] = -2.0f * zFar * zNear / (zFar - zNear);
}

void Mat4::setPerspective(float fovDegrees, float zNear, float zFar, float aspect)
{
    const float h = zNear * std::tan(fovDegrees * kDegToRad / aspect * 0.5f);
    setFrustum(-h * aspect, h * aspect, -h, h, zNear, zFar);
}

void Mat4::setOrtho(float left, float right, float bottom, float top, float zNear, float zFar)
{
    std::memset(m, 0, sizeof m);
    m[0] = 2.0f / (right - left);
    m[5] = 2.0f / (top - bottom);
    m[10] = -1.0f / (zFar - zNear);
    m[12] = -(right + left) / (right - left);
    m[13] = -(top + bottom) / (top - bottom);
    m[14] = -zNear / (zFar - zNear);
    m[15] = 1.0f;
}

void Mat4::setRotation(const Quat& q)
{
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    std::memset(m, 0, sizeof m);
    m[0] = 1.0f - 2.0f * (y * y + z * z);
    m[1] = 2.0f * (x * y - z * w);
    m[2] = 2.0f * (x * z + y * w);
    m[4] = 2.0f * (x * y + z * w);
    m[5] = 1.0f - 2.0f * (x * x + z * z);
    m[6] = 2.0f * (y * z - x * w);
    m[8] = 2.0f * (x * z - y * w);
    m[9] = 2.0f * (y * z + x * w);
    m[10] = 1.0f - 2.0f * (x * x + y * y);
    m[15] = 1.0f;
}

void Mat4::setRotationTranslation(const Vec3& t, const Quat& q)
{
    setRotation(q);
    m[12] = t.x;
    m[13] = t.y;
    m[14] = t.z;
}
