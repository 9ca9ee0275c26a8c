// Rotation arithmetic for posing skeletons, on the engine's Quat in the usual (Hamilton)
// convention: multiply(a, b) turns by b, then by a. The engine's animation keys hold the
// conjugate of the turn they make (Mat4::setRotation), so keys take keyRotation(q).
#pragma once

#include "engine/math/Quat.h"
#include "engine/math/Vec3.h"

// A turn of `degrees` about axis (any length but zero), right-handed.
Quat axisAngle(const Vec3& axis, float degrees);
Quat multiply(const Quat& a, const Quat& b);
Quat conjugate(const Quat& q);
Vec3 rotate(const Quat& q, const Vec3& v);
// The shortest turn taking the direction of `from` to that of `to`.
Quat fromTo(const Vec3& from, const Vec3& to);
// What an animation key stores to turn by q.
inline Quat keyRotation(const Quat& q)
{
    return conjugate(q);
}
