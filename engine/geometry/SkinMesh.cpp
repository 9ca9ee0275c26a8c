#include "engine/geometry/SkinMesh.h"

#include "engine/geometry/Skeleton.h"
#include "engine/math/FileBuffer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace vertexformat;

bool SkinMesh::read(FileBuffer& file)
{
    if (std::strcmp(file.readString(), "QZSKINMESH") != 0)
        return false;
    file.readInt();
    std::int32_t count = file.readInt();
    if (file.overrun() || count < 0 || std::uint64_t(count) * 16 > file.remaining())
        return false;
    if (std::uint32_t(count) != weights.size())
        weights.assign(std::size_t(count), SkinWeight());
    for (SkinWeight& w : weights) {
        w.bone0 = file.readInt();
        w.weight0 = file.readFloat();
        w.bone1 = file.readInt();
        w.weight1 = file.readFloat();
    }
    return !file.overrun();
}

bool SkinMesh::weightsValid(std::uint32_t boneCount) const
{
    auto ok = [boneCount](std::int32_t b) { return b == -1 || (b >= 0 && std::uint32_t(b) < boneCount); };
    return std::all_of(weights.begin(), weights.end(),
        [&](const SkinWeight& w) { return ok(w.bone0) && ok(w.bone1); });
}

namespace {

using Affine = SkinMesh::Affine;

Affine affineOf(const Mat4& m)
{
    return Affine { { m.m[0], m.m[4], m.m[8], m.m[12],
                      m.m[1], m.m[5], m.m[9], m.m[13],
                      m.m[2], m.m[6], m.m[10], m.m[14] } };
}

inline void addPoint(const Affine& a, float w, const float* p, float* sum)
{
    sum[0] += w * (a.r[0] * p[0] + a.r[1] * p[1] + a.r[2] * p[2] + a.r[3]);
    sum[1] += w * (a.r[4] * p[0] + a.r[5] * p[1] + a.r[6] * p[2] + a.r[7]);
    sum[2] += w * (a.r[8] * p[0] + a.r[9] * p[1] + a.r[10] * p[2] + a.r[11]);
}

inline void addVector(const Affine& a, float w, const float* p, float* sum)
{
    sum[0] += w * (a.r[0] * p[0] + a.r[1] * p[1] + a.r[2] * p[2]);
    sum[1] += w * (a.r[4] * p[0] + a.r[5] * p[1] + a.r[6] * p[2]);
    sum[2] += w * (a.r[8] * p[0] + a.r[9] * p[1] + a.r[10] * p[2]);
}

inline void writeNormalised(const float* sum, float* out)
{
    float squared = sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2];
    float inv = squared != 0.0f ? 1.0f / std::sqrt(squared) : 1.0f;
    out[0] = sum[0] * inv;
    out[1] = sum[1] * inv;
    out[2] = sum[2] * inv;
}

// One pass over the vertices for one component: points (with translation) or
// directions (normalised afterwards).
void deformComponent(const VertexArray& bind, VertexArray& target, const std::vector<SkinWeight>& weights,
                     const std::vector<Affine>& matrices, std::uint32_t offset, bool point)
{
    const std::uint32_t stride = bind.stride;
    const std::uint32_t n = std::min<std::uint32_t>(bind.vertexCount, std::uint32_t(weights.size()));
    const std::size_t boneCount = matrices.size();
    const float* src = bind.data() + offset;
    float* dst = target.data() + offset;
    for (std::uint32_t v = 0; v < n; ++v, src += stride, dst += stride) {
        const SkinWeight& w = weights[v];
        float sum[3] = { 0.0f, 0.0f, 0.0f };
        if (std::size_t(std::uint32_t(w.bone0)) < boneCount) {
            if (point)
                addPoint(matrices[std::size_t(w.bone0)], w.weight0, src, sum);
            else
                addVector(matrices[std::size_t(w.bone0)], w.weight0, src, sum);
        }
        if (std::size_t(std::uint32_t(w.bone1)) < boneCount) {
            if (point)
                addPoint(matrices[std::size_t(w.bone1)], w.weight1, src, sum);
            else
                addVector(matrices[std::size_t(w.bone1)], w.weight1, src, sum);
        }
        if (point) {
            dst[0] = sum[0];
            dst[1] = sum[1];
            dst[2] = sum[2];
        } else {
            writeNormalised(sum, dst);
        }
    }
}

}
// Positions and normals in one pass (the common case): each vertex's weights and bone
// rows are fetched once for both.
void deformPositionsAndNormals(const VertexArray& bind, VertexArray& target, const std::vector<SkinWeight>& weights,
                               const std::vector<Affine>& matrices)
{
    const std::uint32_t stride = bind.stride;
    const std::uint32_t n = std::min<std::uint32_t>(bind.vertexCount, std::uint32_t(weights.size()));
    const std::size_t boneCount = matrices.size();
    const std::uint32_t normalOffset = bind.normalOffset;
    const float* src = bind.data() + bind.positionOffset;
    float* dst = target.data() + bind.positionOffset;
    const Affine* rows = matrices.data();
    const SkinWeight* w = weights.data();
    static const Affine zero = {};
    for (std::uint32_t v = 0; v < n; ++v, src += stride, dst += stride, ++w) {
        // One blended 3 x 4 matrix per vertex: w0 A + w1 B (a missing bone adds nothing).
        const bool has0 = std::size_t(std::uint32_t(w->bone0)) < boneCount;
        const bool has1 = std::size_t(std::uint32_t(w->bone1)) < boneCount;
        const Affine& a = has0 ? rows[w->bone0] : zero;
        const Affine& b = has1 ? rows[w->bone1] : zero;
        const float w0 = has0 ? w->weight0 : 0.0f;
        const float w1 = has1 ? w->weight1 : 0.0f;
        float m[12];
        for (int k = 0; k < 12; ++k)
            m[k] = w0 * a.r[k] + w1 * b.r[k];
        const float* p = src;
        const float* q = src + normalOffset;
        dst[0] = m[0] * p[0] + m[1] * p[1] + m[2] * p[2] + m[3];
        dst[1] = m[4] * p[0] + m[5] * p[1] + m[6] * p[2] + m[7];
        dst[2] = m[8] * p[0] + m[9] * p[1] + m[10] * p[2] + m[11];
        const float nor[3] = { m[0] * q[0] + m[1] * q[1] + m[2] * q[2],
                               m[4] * q[0] + m[5] * q[1] + m[6] * q[2],
                               m[8] * q[0] + m[9] * q[1] + m[10] * q[2] };
        writeNormalised(nor, dst + normalOffset);
    }
}



void SkinMesh::deform(const Skeleton& skeleton, VertexArray& target)
{
    // Components the deformation does not write must equal the bind pose. When every
    // component of every vertex is rewritten below, the copy can be left out.
    constexpr std::uint32_t rewritten = Position | Normal | Tex0Vec3 | Tex1Vec3 | Tex2Vec3;
    const bool sameShape = target.vertexCount == bindPose.vertexCount && target.format == bindPose.format;
    const bool allRewritten = (bindPose.format & ~rewritten) == 0 && weights.size() >= bindPose.vertexCount
        && (bindPose.format & (Tex0 | Tex1 | Tex2)) == 0;
    if (!sameShape)
        target.copyFrom(bindPose);
    else if (!allRewritten)
        std::copy(bindPose.data(), bindPose.data() + bindPose.floatCount(), target.data());

    if (bindPose.vertexCount > 0) {
        // The bone matrices in a compact row-major form, gathered once per mesh.
        std::vector<Affine>& skin = skinRows_;
        std::vector<Affine>& normal = normalRows_;
        skin.clear();
        normal.clear();
        for (const Bone& bone : skeleton.bones) {
            skin.push_back(affineOf(bone.skinMatrix));
            normal.push_back(affineOf(bone.normalMatrix));
        }
        if (bindPose.has(Position) && bindPose.has(Normal)) {
            deformPositionsAndNormals(bindPose, target, weights, skin);
        } else {
            if (bindPose.has(Position))
                deformComponent(bindPose, target, weights, skin, bindPose.positionOffset, true);
            if (bindPose.has(Normal))
                deformComponent(bindPose, target, weights, skin, bindPose.normalOffset, false);
        }
        if (bindPose.has(Tex0Vec3))
            deformComponent(bindPose, target, weights, normal, bindPose.texOffset0, false);
        if (bindPose.has(Tex1Vec3))
            deformComponent(bindPose, target, weights, normal, bindPose.texOffset1, false);
        if (bindPose.has(Tex2Vec3))
            deformComponent(bindPose, target, weights, normal, bindPose.texOffset2, false);
    }
    bounds.fromPositions(target);
}
