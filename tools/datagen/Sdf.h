// Signed distances of the shapes the show's models are sculpted from: negative inside,
// positive outside, in model units. Small inline functions only; combining them into a
// model and meshing the result is SurfaceNets' and the model builders' work.
#pragma once

#include "engine/math/Vec3.h"

#include <algorithm>
#include <cmath>

namespace sdf {

inline float sphere(const Vec3& p, const Vec3& centre, float radius)
{
    return (p - centre).length() - radius;
}

// Distance from p to the segment a-b, and where along it the nearest point lies (0..1).
inline float segmentDistance(const Vec3& p, const Vec3& a, const Vec3& b, float* along = nullptr)
{
    const Vec3 ab = b - a;
    const float len2 = dot(ab, ab);
    float h = len2 > 0.0f ? dot(p - a, ab) / len2 : 0.0f;
    h = std::clamp(h, 0.0f, 1.0f);
    if (along)
        *along = h;
    return (p - (a + ab * h)).length();
}

// A capsule whose radius runs from ra at a to rb at b (a cone with round ends, close
// enough to a true distance when the radii differ less than the length).
inline float taperedCapsule(const Vec3& p, const Vec3& a, const Vec3& b, float ra, float rb)
{
    float h = 0.0f;
    const float d = segmentDistance(p, a, b, &h);
    return d - (ra + (rb - ra) * h);
}

// An ellipsoid with semi-axes r around centre (a bound, exact on the axes).
inline float ellipsoid(const Vec3& p, const Vec3& centre, const Vec3& r)
{
    const Vec3 q = p - centre;
    const float k0 = Vec3(q.x / r.x, q.y / r.y, q.z / r.z).length();
    const float k1 = Vec3(q.x / (r.x * r.x), q.y / (r.y * r.y), q.z / (r.z * r.z)).length();
    return k1 > 0.0f ? k0 * (k0 - 1.0f) / k1 : -std::min(r.x, std::min(r.y, r.z));
}

// A torus around the Y axis through centre: ring radius major, tube radius minor.
inline float torusY(const Vec3& p, const Vec3& centre, float major, float minor)
{
    const Vec3 q = p - centre;
    const float ring = std::sqrt(q.x * q.x + q.z * q.z) - major;
    return std::sqrt(ring * ring + q.y * q.y) - minor;
}

// A vertical cylinder of radius r between heights y0 and y1, rounded by edge.
inline float cylinderY(const Vec3& p, const Vec3& centre, float r, float y0, float y1, float edge)
{
    const float dr = std::sqrt((p.x - centre.x) * (p.x - centre.x) + (p.z - centre.z) * (p.z - centre.z)) - (r - edge);
    const float dy = std::max(y0 - p.y, p.y - y1) + edge;
    const float outside = std::sqrt(std::max(dr, 0.0f) * std::max(dr, 0.0f) + std::max(dy, 0.0f) * std::max(dy, 0.0f));
    return outside + std::min(std::max(dr, dy), 0.0f) - edge;
}

// Union that rounds the crease between a and b over a width of about k.
inline float smoothUnion(float a, float b, float k)
{
    if (k <= 0.0f)
        return std::min(a, b);
    const float h = std::clamp(0.5f + 0.5f * (b - a) / k, 0.0f, 1.0f);
    return b + (a - b) * h - k * h * (1.0f - h);
}

}
