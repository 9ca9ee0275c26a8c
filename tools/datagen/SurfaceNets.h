// Meshing a signed-distance field: surface nets over a regular grid (one vertex per cell
// that the surface crosses, one quad per crossed grid edge), then meshoptimizer's
// simplifier to bring the model down to its triangle budget. The mesh returned owns its
// arrays; the field is the caller's.
#pragma once

#include "engine/math/Vec3.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Negative inside the solid, positive outside, in model units.
using DistanceField = std::function<float(const Vec3&)>;

struct SurfaceMesh {
    std::vector<Vec3> positions;
    // Three per triangle, counter-clockwise seen from outside (the positive side).
    std::vector<std::uint32_t> indices;

    std::size_t triangleCount() const { return indices.size() / 3; }
};

// The zero surface of field inside the box lo..hi, sampled every `cell` units. Where the
// solid reaches the box's faces the surface stays open there.
SurfaceMesh surfaceNets(const DistanceField& field, const Vec3& lo, const Vec3& hi, float cell);
// Brings the mesh down to at most targetTriangles where that moves no vertex further than
// maxError times the mesh's extent, drops unused vertices and orders what remains for the
// vertex cache. Deterministic.
void simplifySurface(SurfaceMesh& mesh, std::size_t targetTriangles, float maxError = 0.02f);
// Unit normals: the field's gradient at each position, by central differences of step h.
std::vector<Vec3> fieldNormals(const SurfaceMesh& mesh, const DistanceField& field, float h);
