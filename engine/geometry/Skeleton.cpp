#include "engine/geometry/Skeleton.h"

#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationTable.h"
#include "engine/math/FileBuffer.h"

#include <cmath>
#include <cstring>

void Skeleton::resize(std::uint32_t n)
{
    if (n == bones.size())
        return;
    bones.clear();
    bones.resize(n);
}

bool Skeleton::read(FileBuffer& file)
{
    if (std::strcmp(file.readString(), "QZSKELETON") != 0)
        return false;
    file.readInt();
    name = file.readString();
    std::int32_t count = file.readInt();
    // Every bone needs at least a name terminator, three links and a matrix.
    constexpr std::uint32_t kMinBoneBytes = 1 + 12 + 64;
    if (file.overrun() || count < 0 || std::uint64_t(count) * kMinBoneBytes > file.remaining()) {
        bones.clear();
        return false;
    }
    resize(std::uint32_t(count));
    for (Bone& bone : bones) {
        bone.name = file.readString();
        bone.parent = file.readInt();
        bone.firstChild = file.readInt();
        bone.nextSibling = file.readInt();
        file.readBytes(bone.offset.m, sizeof bone.offset.m);
    }
    if (file.overrun() || !validate()) {
        bones.clear();
        return false;
    }
    return true;
}

bool Skeleton::validate() const
{
    const std::int32_t n = std::int32_t(bones.size());
    auto link = [n](std::int32_t i) { return i == -1 || (i >= 0 && i < n); };
    for (const Bone& b : bones) {
        if (!link(b.firstChild) || !link(b.nextSibling) || b.parent >= n)
            return false;
    }
    if (n == 0)
        return true;
    // Walk exactly as update does, iteratively, marking bones as they are reached.
    std::vector<char> seen(std::size_t(n), 0);
    std::vector<std::int32_t> pending { 0 };
    while (!pending.empty()) {
        std::int32_t i = pending.back();
        pending.pop_back();
        if (i == -1)
            continue;
        if (seen[std::size_t(i)])
            return false;  // a cycle or a bone reached twice
        const Bone& b = bones[std::size_t(i)];
        if (b.parent >= 0 && !seen[std::size_t(b.parent)])
            return false;  // the parent would be computed after the bone
        seen[std::size_t(i)] = 1;
        // update visits the sibling first, then the child: push in reverse.
        pending.push_back(b.firstChild);
        pending.push_back(b.nextSibling);
    }
    return true;
}

void Skeleton::update(float frameDelta)
{
    if (bones.empty())
        return;
    // The walk is bone, then its sibling chain, then its children (depth first), kept on
    // an explicit stack so that a long chain of bones cannot exhaust the call stack.
    walk_.clear();
    walk_.push_back(0);
    std::size_t visits = 0;
    while (!walk_.empty()) {
        std::int32_t i = walk_.back();
        walk_.pop_back();
        if (i < 0 || std::uint32_t(i) >= bones.size())
            continue;
        if (visits++ == bones.size())
            break;  // only hand-built links that loop get here
        updateBone(i, frameDelta);
        walk_.push_back(bones[std::size_t(i)].firstChild);
        walk_.push_back(bones[std::size_t(i)].nextSibling);
    }
}

void Skeleton::updateBone(std::int32_t index, float frameDelta)
{
    Bone& bone = bones[std::size_t(index)];
    const Bone* parent = bone.parent >= 0 && std::uint32_t(bone.parent) < bones.size()
        ? &bones[std::size_t(bone.parent)] : nullptr;
    const Animation* anim = AnimationTable::entry(bone.animIndex);

    bone.time = frameDelta * bone.speed + bone.time;
    if (anim && anim->duration < bone.time) {
        switch (bone.endMode) {
        case EndStop:
            bone.time = anim->duration;
            bone.speed = 0.0f;
            bone.animIndex = -1;
            break;
        case EndLoop:
            bone.time = std::fmod(bone.time, anim->duration);
            break;
        case EndFollowParent:
            if (parent) {
                bone.time = parent->time;
                bone.endMode = parent->endMode;
                bone.speed = parent->speed;
                bone.animIndex = parent->animIndex;
            } else {
                bone.time = 0.0f;
                bone.endMode = EndLoop;
                bone.speed = 0.0f;
                bone.animIndex = -1;
            }
            break;
        default:
            break;
        }
    }

    if (anim) {
        Mat4 local = anim->evaluate(std::uint32_t(index), bone.time);
        if (parent)
            Mat4::product(bone.world, parent->world, local);
        else
            bone.world = local;
        Mat4::product(bone.skinMatrix, bone.world, bone.offset);
        Mat4::cofactor3x3(bone.skinMatrix, bone.normalMatrix);
    } else if (parent) {
        bone.world = parent->world;
        bone.normalMatrix = parent->normalMatrix;
        bone.skinMatrix = parent->skinMatrix;
    } else {
        bone.world.setIdentity();
        bone.normalMatrix.setIdentity();
        bone.skinMatrix.setIdentity();
    }
}

void Skeleton::assignAnimation(std::int32_t animIndex, std::int32_t first, bool withSiblings, std::int32_t endMode)
{
    // The first bone's siblings only when asked; below it, whole sibling chains. The
    // visit count bounds the walk when hand-built links loop.
    struct Step { std::int32_t bone; bool siblings; };
    std::vector<Step> pending { { first, withSiblings } };
    std::size_t visits = 0;
    while (!pending.empty()) {
        Step step = pending.back();
        pending.pop_back();
        if (step.bone < 0 || std::uint32_t(step.bone) >= bones.size())
            continue;
        if (visits++ == bones.size())
            break;
        Bone& bone = bones[std::size_t(step.bone)];
        bone.animIndex = animIndex;
        bone.speed = 1.0f;
        bone.time = 0.0f;
        bone.endMode = endMode;
        if (step.siblings)
            pending.push_back({ bone.nextSibling, true });
        if (bone.firstChild >= 0)
            pending.push_back({ bone.firstChild, true });
    }
}
