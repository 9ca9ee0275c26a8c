#include "tools/qztool/ImportMeshes.h"

#include "tools/qztool/ImportSkeleton.h"

#include <assimp/scene.h>

#include <algorithm>
#include <utility>

using namespace vertexformat;

namespace {

void place(const aiNode& node, const aiMatrix4x4& parent, std::vector<MeshPlacement>& out, const aiScene& scene)
{
    const aiMatrix4x4 world = parent * node.mTransformation;
    for (unsigned i = 0; i < node.mNumMeshes; ++i)
        if (node.mMeshes[i] < scene.mNumMeshes)
            out.push_back(MeshPlacement { scene.mMeshes[node.mMeshes[i]], &node, world });
    for (unsigned c = 0; c < node.mNumChildren; ++c)
        place(*node.mChildren[c], world, out, scene);
}

void putVec3(float* out, const aiVector3D& v)
{
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
}

using Influence = std::pair<int, float>;

SkinWeight reduce(std::vector<Influence>& influences, WeightReduction& reduction)
{
    std::sort(influences.begin(), influences.end(),
        [](const Influence& a, const Influence& b) { return a.second > b.second; });
    float total = 0.0f;
    for (const Influence& i : influences)
        total += i.second;
    SkinWeight w;
    if (influences.size() > 2) {
        ++reduction.verticesReduced;
        reduction.worstDropped = std::max(reduction.worstDropped, influences[2].second / total);
        influences.resize(2);
    }
    float kept = influences[0].second + (influences.size() > 1 ? influences[1].second : 0.0f);
    w.bone0 = influences[0].first;
    w.weight0 = influences[0].second / kept;
    if (influences.size() > 1) {
        w.bone1 = influences[1].first;
        w.weight1 = influences[1].second / kept;
    }
    return w;
}

}

std::vector<MeshPlacement> placeMeshes(const aiScene& scene, const aiMatrix4x4& fileToShow)
{
    std::vector<MeshPlacement> out;
    place(*scene.mRootNode, fileToShow, out, scene);
    return out;
}

std::shared_ptr<Mesh> bakeMesh(const MeshPlacement& placement, bool isStatic)
{
    const aiMesh& in = *placement.mesh;
    auto mesh = std::make_shared<Mesh>(isStatic);
    const bool uv = in.HasTextureCoords(0);
    VertexArray& v = mesh->vertices;
    v.allocate(in.mNumVertices, Position | Normal | (uv ? Tex0 : 0));
    const aiMatrix3x3 normalMatrix = aiMatrix3x3(placement.meshToShow).Inverse().Transpose();
    for (unsigned i = 0; i < in.mNumVertices; ++i) {
        float* out = v.vertex(i);
        putVec3(out, placement.meshToShow * in.mVertices[i]);
        aiVector3D n = in.mNormals ? normalMatrix * in.mNormals[i] : aiVector3D(0.0f, 1.0f, 0.0f);
        putVec3(out + v.normalOffset, n.Normalize());
        if (uv) {
            out[v.texOffset0] = in.mTextureCoords[0][i].x;
            out[v.texOffset0 + 1] = in.mTextureCoords[0][i].y;
        }
    }
    const bool mirrored = placement.meshToShow.Determinant() < 0.0f;
    std::vector<std::uint16_t> indices;
    for (unsigned f = 0; f < in.mNumFaces; ++f) {
        const aiFace& face = in.mFaces[f];
        if (face.mNumIndices != 3)
            continue;
        for (unsigned k : { 0u, mirrored ? 2u : 1u, mirrored ? 1u : 2u })
            indices.push_back(std::uint16_t(face.mIndices[k]));
    }
    mesh->triangles.resize(std::uint32_t(indices.size() / 3));
    mesh->triangles.indices = std::move(indices);
    mesh->prepare(nullptr);
    return mesh;
}

std::unique_ptr<SkinMesh> skinMesh(const MeshPlacement& placement, const aiScene& scene, ImportSkeleton& skeleton,
    WeightReduction& reduction, std::vector<std::string>& conflicts)
{
    const aiMesh& in = *placement.mesh;
    std::vector<std::vector<Influence>> influences(in.mNumVertices);
    for (unsigned b = 0; b < in.mNumBones; ++b) {
        const aiBone& bone = *in.mBones[b];
        const int index = skeleton.boneOf(scene.mRootNode->FindNode(bone.mName));
        if (index < 0)
            continue;
        if (!skeleton.setOffset(index, bone.mOffsetMatrix, placement.meshToShow))
            conflicts.push_back(bone.mName.C_Str());
        for (unsigned w = 0; w < bone.mNumWeights; ++w)
            if (bone.mWeights[w].mWeight > 0.0f && bone.mWeights[w].mVertexId < in.mNumVertices)
                influences[bone.mWeights[w].mVertexId].emplace_back(index, bone.mWeights[w].mWeight);
    }
    auto skin = std::make_unique<SkinMesh>();
    skin->weights.resize(in.mNumVertices);
    int holder = -1;
    for (unsigned v = 0; v < in.mNumVertices; ++v) {
        if (influences[v].empty()) {
            ++reduction.unweighted;
            if (holder < 0)
                holder = skeleton.boneAbove(placement.node) >= 0 ? skeleton.boneAbove(placement.node) : skeleton.addStillBone();
            influences[v].emplace_back(holder, 1.0f);
        }
        skin->weights[v] = reduce(influences[v], reduction);
    }
    return skin;
}
