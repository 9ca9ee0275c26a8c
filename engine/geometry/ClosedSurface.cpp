#include "engine/geometry/ClosedSurface.h"

#include "engine/geometry/TriangleList.h"
#include "engine/geometry/VertexArray.h"
#include "engine/math/Vec3.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <map>
#include <unordered_map>
#include <vector>

namespace {

// One id per distinct position, in vertex order.
std::vector<std::uint32_t> weldByPosition(const VertexArray& vertices)
{
    std::map<std::array<std::uint32_t, 3>, std::uint32_t> ids;
    std::vector<std::uint32_t> welded(vertices.vertexCount);
    for (std::uint32_t i = 0; i < vertices.vertexCount; ++i) {
        std::array<std::uint32_t, 3> key {};
        std::memcpy(key.data(), vertices.vertex(i) + vertices.positionOffset, sizeof key);
        welded[i] = ids.emplace(key, std::uint32_t(ids.size())).first->second;
    }
    return welded;
}

Vec3 component(const VertexArray& vertices, std::uint32_t index, std::uint32_t offset)
{
    const float* v = vertices.vertex(index) + offset;
    return Vec3(v[0], v[1], v[2]);
}

}

bool isClosedFacingItsNormals(const VertexArray& vertices, const TriangleList& triangles)
{
    if (!vertices.has(vertexformat::Position) || !vertices.has(vertexformat::Normal) || triangles.count == 0)
        return false;
    const std::vector<std::uint32_t> welded = weldByPosition(vertices);
    // Directed edges, each seen once; its reverse must be there as often.
    std::unordered_map<std::uint64_t, int> edges;
    double agreement = 0.0;
    for (std::uint32_t t = 0; t < triangles.count; ++t) {
        const std::uint16_t* corner = &triangles.indices[std::size_t(t) * 3];
        if (corner[0] >= vertices.vertexCount || corner[1] >= vertices.vertexCount || corner[2] >= vertices.vertexCount)
            return false;
        const std::uint32_t w[3] = {welded[corner[0]], welded[corner[1]], welded[corner[2]]};
        if (w[0] == w[1] || w[1] == w[2] || w[0] == w[2])
            continue; // a triangle without area draws nothing and closes nothing
        for (int k = 0; k < 3; ++k) {
            const std::uint64_t key = std::uint64_t(w[k]) << 32 | w[(k + 1) % 3];
            ++edges[key];
        }
        const Vec3 a = component(vertices, corner[0], vertices.positionOffset);
        const Vec3 facing = cross(component(vertices, corner[1], vertices.positionOffset) - a,
            component(vertices, corner[2], vertices.positionOffset) - a);
        const Vec3 normals = component(vertices, corner[0], vertices.normalOffset)
            + component(vertices, corner[1], vertices.normalOffset) + component(vertices, corner[2], vertices.normalOffset);
        agreement += dot(facing, normals);
    }
    for (const auto& [key, uses] : edges) {
        const auto reverse = edges.find(key >> 32 | key << 32);
        if (reverse == edges.end() || reverse->second != uses)
            return false;
    }
    return !edges.empty() && agreement > 0.0;
}
