#include "engine/geometry/Bounds.h"

#include "engine/geometry/VertexArray.h"

#include <algorithm>

namespace {
constexpr float kFloatMax = 3.4028235e38f;

void setFromLimits(Bounds& box, const Vec3& lo, const Vec3& hi)
{
    box.centre = Vec3((lo.x + hi.x) * 0.5f, (lo.y + hi.y) * 0.5f, (lo.z + hi.z) * 0.5f);
    box.half = hi - box.centre;
    box.radius = box.half.length();
}
}

void Bounds::fromPositions(const VertexArray& vertices)
{
    Vec3 lo(kFloatMax, kFloatMax, kFloatMax);
    Vec3 hi(-kFloatMax, -kFloatMax, -kFloatMax);
    // Arrays too narrow to hold a position contribute nothing.
    if (vertices.stride >= 3) {
        for (std::uint32_t i = 0; i < vertices.vertexCount; ++i) {
            const float* p = vertices.vertex(i);
            lo = Vec3(std::min(lo.x, p[0]), std::min(lo.y, p[1]), std::min(lo.z, p[2]));
            hi = Vec3(std::max(hi.x, p[0]), std::max(hi.y, p[1]), std::max(hi.z, p[2]));
        }
    }
    setFromLimits(*this, lo, hi);
}

void Bounds::add(const Bounds& other)
{
    if (radius == 0.0f) {
        *this = other;
        return;
    }
    Vec3 lo(std::min(centre.x - half.x, other.centre.x - other.half.x),
            std::min(centre.y - half.y, other.centre.y - other.half.y),
            std::min(centre.z - half.z, other.centre.z - other.half.z));
    Vec3 hi(std::max(centre.x + half.x, other.centre.x + other.half.x),
            std::max(centre.y + half.y, other.centre.y + other.half.y),
            std::max(centre.z + half.z, other.centre.z + other.half.z));
    setFromLimits(*this, lo, hi);
}
