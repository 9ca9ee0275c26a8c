#include "tools/datagen/SurfaceNets.h"

#include <meshoptimizer.h>

#include <cmath>

namespace {

// Corner c of a cell sits at (c & 1, c >> 1 & 1, c >> 2 & 1); its twelve edges join the
// corners that differ in one bit.
struct CubeEdges {
    int a[12], b[12];
    CubeEdges()
    {
        int n = 0;
        for (int c = 0; c < 8; ++c)
            for (int bit = 1; bit < 8; bit <<= 1)
                if (!(c & bit)) {
                    a[n] = c;
                    b[n] = c | bit;
                    ++n;
                }
    }
};

class Grid {
public:
    Grid(const Vec3& lo, float cell, int nx, int ny, int nz) : lo_(lo), cell_(cell), n_{nx, ny, nz} {}
    int size(int axis) const { return n_[axis]; }
    std::size_t point(int i, int j, int k) const { return std::size_t(i) + std::size_t(n_[0]) * (j + std::size_t(n_[1]) * k); }
    std::size_t cell(int i, int j, int k) const
    {
        return std::size_t(i) + std::size_t(n_[0] - 1) * (j + std::size_t(n_[1] - 1) * k);
    }
    Vec3 position(int i, int j, int k) const { return lo_ + Vec3(float(i), float(j), float(k)) * cell_; }

private:
    Vec3 lo_;
    float cell_;
    int n_[3];
};

}

SurfaceMesh surfaceNets(const DistanceField& field, const Vec3& lo, const Vec3& hi, float cell)
{
    SurfaceMesh mesh;
    if (!(cell > 0.0f))
        return mesh;
    auto count = [cell](float extent) { return std::max(2, int(std::ceil(extent / cell)) + 1); };
    const Grid grid(lo, cell, count(hi.x - lo.x), count(hi.y - lo.y), count(hi.z - lo.z));
    const int nx = grid.size(0), ny = grid.size(1), nz = grid.size(2);

    std::vector<float> value(std::size_t(nx) * ny * nz);
    for (int k = 0; k < nz; ++k)
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i)
                value[grid.point(i, j, k)] = field(grid.position(i, j, k));

    // One vertex per crossed cell: the mean of the points where its edges cross zero.
    static const CubeEdges EDGES;
    std::vector<std::int32_t> cellVertex(std::size_t(nx - 1) * (ny - 1) * (nz - 1), -1);
    for (int k = 0; k + 1 < nz; ++k)
        for (int j = 0; j + 1 < ny; ++j)
            for (int i = 0; i + 1 < nx; ++i) {
                float v[8];
                int inside = 0;
                for (int c = 0; c < 8; ++c) {
                    v[c] = value[grid.point(i + (c & 1), j + (c >> 1 & 1), k + (c >> 2 & 1))];
                    inside += v[c] < 0.0f;
                }
                if (inside == 0 || inside == 8)
                    continue;
                Vec3 sum;
                int crossings = 0;
                for (int e = 0; e < 12; ++e) {
                    const int a = EDGES.a[e], b = EDGES.b[e];
                    if ((v[a] < 0.0f) == (v[b] < 0.0f))
                        continue;
                    const float t = v[a] / (v[a] - v[b]);
                    const Vec3 pa(float(a & 1), float(a >> 1 & 1), float(a >> 2 & 1));
                    const Vec3 pb(float(b & 1), float(b >> 1 & 1), float(b >> 2 & 1));
                    sum += pa + (pb - pa) * t;
                    ++crossings;
                }
                cellVertex[grid.cell(i, j, k)] = std::int32_t(mesh.positions.size());
                mesh.positions.push_back(grid.position(i, j, k) + sum * (cell / float(crossings)));
            }

    // One quad per crossed grid edge, joining the four cells around it, turned so that
    // it faces the edge's outside end. Axis a's quad runs around the plane of the next
    // two axes (u, w), counter-clockwise seen from +a.
    for (int k = 0; k < nz; ++k)
        for (int j = 0; j < ny; ++j)
            for (int i = 0; i < nx; ++i) {
                const int p[3] = {i, j, k};
                for (int axis = 0; axis < 3; ++axis) {
                    const int u = (axis + 1) % 3, w = (axis + 2) % 3;
                    if (p[axis] + 1 >= grid.size(axis) || p[u] < 1 || p[w] < 1 || p[u] >= grid.size(u) - 1
                        || p[w] >= grid.size(w) - 1)
                        continue;
                    int q[3] = {i, j, k};
                    ++q[axis];
                    const bool lowInside = value[grid.point(i, j, k)] < 0.0f;
                    if (lowInside == (value[grid.point(q[0], q[1], q[2])] < 0.0f))
                        continue;
                    static const int AROUND[4][2] = {{-1, -1}, {0, -1}, {0, 0}, {-1, 0}};
                    std::uint32_t quad[4];
                    for (int c = 0; c < 4; ++c) {
                        int r[3] = {i, j, k};
                        r[u] += AROUND[c][0];
                        r[w] += AROUND[c][1];
                        quad[c] = std::uint32_t(cellVertex[grid.cell(r[0], r[1], r[2])]);
                    }
                    if (!lowInside)
                        std::swap(quad[1], quad[3]);
                    // Split along the shorter diagonal.
                    const auto& P = mesh.positions;
                    if ((P[quad[0]] - P[quad[2]]).length() <= (P[quad[1]] - P[quad[3]]).length())
                        mesh.indices.insert(mesh.indices.end(), {quad[0], quad[1], quad[2], quad[0], quad[2], quad[3]});
                    else
                        mesh.indices.insert(mesh.indices.end(), {quad[0], quad[1], quad[3], quad[1], quad[2], quad[3]});
                }
            }
    return mesh;
}

void simplifySurface(SurfaceMesh& mesh, std::size_t targetTriangles, float maxError)
{
    const std::size_t vertexCount = mesh.positions.size();
    if (vertexCount == 0)
        return;
    std::vector<std::uint32_t> indices(mesh.indices.size());
    std::size_t n = mesh.indices.size();
    if (mesh.triangleCount() > targetTriangles)
        n = meshopt_simplify(indices.data(), mesh.indices.data(), mesh.indices.size(), &mesh.positions[0].x,
            vertexCount, sizeof(Vec3), targetTriangles * 3, maxError, 0, nullptr);
    else
        indices = mesh.indices;
    indices.resize(n);
    meshopt_optimizeVertexCache(indices.data(), indices.data(), n, vertexCount);
    std::vector<std::uint32_t> remap(vertexCount);
    const std::size_t kept = meshopt_optimizeVertexFetchRemap(remap.data(), indices.data(), n, vertexCount);
    meshopt_remapIndexBuffer(indices.data(), indices.data(), n, remap.data());
    std::vector<Vec3> positions(kept);
    meshopt_remapVertexBuffer(positions.data(), mesh.positions.data(), vertexCount, sizeof(Vec3), remap.data());
    mesh.positions = std::move(positions);
    mesh.indices = std::move(indices);
}

std::vector<Vec3> fieldNormals(const SurfaceMesh& mesh, const DistanceField& field, float h)
{
    std::vector<Vec3> normals;
    normals.reserve(mesh.positions.size());
    for (const Vec3& p : mesh.positions) {
        Vec3 n(field(p + Vec3(h, 0, 0)) - field(p - Vec3(h, 0, 0)), field(p + Vec3(0, h, 0)) - field(p - Vec3(0, h, 0)),
            field(p + Vec3(0, 0, h)) - field(p - Vec3(0, 0, h)));
        if (n.length() > 0.0f)
            n.normalize();
        else
            n = Vec3(0, 1, 0);
        normals.push_back(n);
    }
    return normals;
}
