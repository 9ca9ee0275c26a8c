#include "tools/qztool/ImportSkeleton.h"

#include "engine/geometry/Skeleton.h"
#include "engine/math/FileBuffer.h"
#include "tools/qztool/ImportMath.h"

#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace {

std::vector<const aiNode*> pathFromRoot(const aiNode* node)
{
    std::vector<const aiNode*> path;
    for (; node; node = node->mParent)
        path.push_back(node);
    std::reverse(path.begin(), path.end());
    return path;
}

bool nearlyEqual(const aiMatrix4x4& a, const aiMatrix4x4& b)
{
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned k = 0; k < 4; ++k)
            if (std::fabs(a[r][k] - b[r][k]) > 1e-4f * (1.0f + std::fabs(a[r][k])))
                return false;
    return true;
}

aiMatrix4x4 restPose(const aiNode& node)
{
    return node.mTransformation;
}

}

ImportSkeleton::ImportSkeleton(const aiScene& scene, const aiMatrix4x4& fileToShow) : fileToShow_(fileToShow)
{
    collect(scene);
}

void ImportSkeleton::collect(const aiScene& scene)
{
    std::set<const aiNode*> named;
    for (unsigned m = 0; m < scene.mNumMeshes; ++m)
        for (unsigned b = 0; b < scene.mMeshes[m]->mNumBones; ++b)
            if (const aiNode* node = scene.mRootNode->FindNode(scene.mMeshes[m]->mBones[b]->mName))
                named.insert(node);
    if (named.empty())
        return;
    // The common ancestor: the longest path prefix that every bone shares.
    std::vector<const aiNode*> common = pathFromRoot(*named.begin());
    for (const aiNode* node : named) {
        std::vector<const aiNode*> path = pathFromRoot(node);
        std::size_t n = 0;
        while (n < common.size() && n < path.size() && common[n] == path[n])
            ++n;
        common.resize(n);
    }
    // The common ancestor is bone 0 even when no mesh names it: the show starts the
    // animation from bone 0 and its descendants, and it carries the motion of the nodes
    // above the skeleton.
    const aiNode* top = common.back();
    std::vector<const aiNode*> chosen(named.begin(), named.end());
    for (const aiNode* node : named)
        for (const aiNode* up = node->mParent; up && up != top->mParent; up = up->mParent)
            chosen.push_back(up);
    std::sort(chosen.begin(), chosen.end());
    number(top, -1, chosen);
}

void ImportSkeleton::number(const aiNode* node, int parent, const std::vector<const aiNode*>& chosen)
{
    if (std::binary_search(chosen.begin(), chosen.end(), node)) {
        Bone bone;
        bone.node = node;
        bone.parent = parent;
        parent = int(bones_.size());
        bones_.push_back(bone);
    }
    for (unsigned c = 0; c < node->mNumChildren; ++c)
        number(node->mChildren[c], parent, chosen);
}

int ImportSkeleton::boneOf(const aiNode* node) const
{
    for (std::size_t b = 0; b < bones_.size(); ++b)
        if (bones_[b].node == node)
            return int(b);
    return -1;
}

int ImportSkeleton::boneAbove(const aiNode* node) const
{
    for (; node; node = node->mParent)
        if (int b = boneOf(node); b >= 0)
            return b;
    return -1;
}

bool ImportSkeleton::carriesBones(const aiNode* node) const
{
    for (const Bone& bone : bones_)
        for (const aiNode* up = bone.node; up; up = up->mParent)
            if (up == node)
                return true;
    return false;
}

aiMatrix4x4 ImportSkeleton::world(const aiNode& node, const NodePose& pose) const
{
    aiMatrix4x4 m = pose(node);
    for (const aiNode* up = node.mParent; up; up = up->mParent)
        m = pose(*up) * m;
    return fileToShow_ * m;
}

aiMatrix4x4 ImportSkeleton::rigid(const aiMatrix4x4& world)
{
    aiVector3D scaling, position;
    aiQuaternion rotation;
    world.Decompose(scaling, rotation, position);
    return aiMatrix4x4(aiVector3D(1.0f, 1.0f, 1.0f), rotation.Normalize(), position);
}

bool ImportSkeleton::setOffset(int b, const aiMatrix4x4& importerOffset, const aiMatrix4x4& meshToShow)
{
    Bone& bone = bones_[std::size_t(b)];
    const aiMatrix4x4 rest = world(*bone.node, restPose);
    // The bone's scale stays in its offset, since the engine's keys carry none.
    aiMatrix4x4 scale = rigid(rest).Inverse() * rest;
    aiMatrix4x4 offset = scale * importerOffset * aiMatrix4x4(meshToShow).Inverse();
    if (bone.hasOffset)
        return nearlyEqual(bone.offset, offset);
    bone.offset = offset;
    bone.hasOffset = true;
    return true;
}

int ImportSkeleton::addStillBone()
{
    if (stillBone_ < 0) {
        stillBone_ = int(bones_.size());
        Bone still;
        still.hasOffset = true;
        bones_.push_back(still);
    }
    return stillBone_;
}

void ImportSkeleton::fill(Skeleton& skeleton) const
{
    skeleton.bones.clear();
    skeleton.resize(std::uint32_t(bones_.size()));
    std::vector<int> lastChild(bones_.size(), -1);
    int lastRoot = -1;
    for (std::size_t b = 0; b < bones_.size(); ++b) {
        const Bone& from = bones_[b];
        ::Bone& to = skeleton.bones[b];
        // The reader keeps 1023 characters of a name.
        to.name = from.node ? std::string(from.node->mName.C_Str()).substr(0, FileBuffer::TEXT_CAPACITY - 1) : "still";
        to.parent = from.parent;
        to.offset = toMat4(from.hasOffset ? from.offset : rigid(world(*from.node, restPose)).Inverse());
        // Children and roots are linked in bone order, so the walk meets parents first.
        int& previous = from.parent < 0 ? lastRoot : lastChild[std::size_t(from.parent)];
        if (previous >= 0)
            skeleton.bones[std::size_t(previous)].nextSibling = int(b);
        else if (from.parent >= 0)
            skeleton.bones[std::size_t(from.parent)].firstChild = int(b);
        previous = int(b);
    }
}
