#include "engine/math/Vec3.h"

#include <cmath>

Vec3& Vec3::operator+=(const Vec3& v)
{
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

Vec3& Vec3::operator-=(const Vec3& v)
{
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}

Vec3& Vec3::operator*=(float s)
{
    x *= s;
    y *= s;
    z *= s;
    return *this;
}

Vec3& Vec3::operator/=(float s)
{
    if (s != 0.0f) {
        x /= s;
        y /= s;
        z /= s;
    }
    return *this;
}

float Vec3::length() const
{
    return std::sqrt(x * x + y * y + z * z);
}

void Vec3::normalize()
{
    const float len = length();
    if (len != 0.0f)
        *this *= 1.0f / len;
}

Vec3 operator+(Vec3 a, const Vec3& b) { return a += b; }
Vec3 operator-(Vec3 a, const Vec3& b) { return a -= b; }
Vec3 operator*(Vec3 v, float s) { return v *= s; }
Vec3 operator*(float s, Vec3 v) { return v *= s; }

float dot(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 cross(const Vec3& a, const Vec3& b)
{
    return Vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
