#include "tools/datagen/Rotations.h"

#include <cmath>
#include <numbers>

Quat axisAngle(const Vec3& axis, float degrees)
{
    Vec3 a = axis;
    a.normalize();
    const float half = 0.5f * degrees * std::numbers::pi_v<float> / 180.0f;
    const float s = std::sin(half);
    return Quat(a.x * s, a.y * s, a.z * s, std::cos(half));
}

Quat multiply(const Quat& a, const Quat& b)
{
    return Quat(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
        a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
}

Quat conjugate(const Quat& q)
{
    return Quat(-q.x, -q.y, -q.z, q.w);
}

Vec3 rotate(const Quat& q, const Vec3& v)
{
    const Quat r = multiply(multiply(q, Quat(v.x, v.y, v.z, 0.0f)), conjugate(q));
    return Vec3(r.x, r.y, r.z);
}

Quat fromTo(const Vec3& from, const Vec3& to)
{
    Vec3 a = from, b = to;
    a.normalize();
    b.normalize();
    const float d = dot(a, b);
    if (d < -0.999999f) {
        // Opposite: half a turn about any axis across a.
        Vec3 axis = cross(Vec3(1, 0, 0), a);
        if (axis.length() < 1e-3f)
            axis = cross(Vec3(0, 1, 0), a);
        return axisAngle(axis, 180.0f);
    }
    const Vec3 c = cross(a, b);
    Quat q(c.x, c.y, c.z, 1.0f + d);
    const float n = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    return Quat(q.x / n, q.y / n, q.z / n, q.w / n);
}
