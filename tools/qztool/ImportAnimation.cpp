#include "tools/qztool/ImportAnimation.h"

#include "engine/geometry/Animation.h"
#include "tools/qztool/GltfCurves.h"
#include "tools/qztool/ImportSkeleton.h"

#include <assimp/scene.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <type_traits>

namespace {

// Files that give no rate are played at 25 ticks per second.
constexpr double kDefaultTicksPerSecond = 25.0;

template <typename Key>
std::pair<const Key*, float> between(const Key* keys, unsigned count, double tick, const Key*& next)
{
    const Key* end = keys + count;
    const Key* after = std::upper_bound(keys, end, tick, [](double t, const Key& k) { return t < k.mTime; });
    if (after == keys) {
        next = keys;
        return { keys, 0.0f };
    }
    if (after == end) {
        next = end - 1;
        return { end - 1, 0.0f };
    }
    next = after;
    const double span = after->mTime - (after - 1)->mTime;
    return { after - 1, span > 0.0 ? float((tick - (after - 1)->mTime) / span) : 0.0f };
}

aiVector3D vectorAt(const aiVectorKey* keys, unsigned count, double tick, const aiVector3D& rest)
{
    if (count == 0)
        return rest;
    const aiVectorKey* next = nullptr;
    auto [key, t] = between(keys, count, tick, next);
    return key->mValue + (next->mValue - key->mValue) * t;
}

aiQuaternion rotationAt(const aiQuatKey* keys, unsigned count, double tick, const aiQuaternion& rest)
{
    if (count == 0)
        return rest;
    const aiQuatKey* next = nullptr;
    auto [key, t] = between(keys, count, tick, next);
    aiQuaternion out;
    aiQuaternion::Interpolate(out, key->mValue, next->mValue, t);
    return out.Normalize();
}

// The curve of node's target at seconds overrides value when the file draws it otherwise
// than linearly.
template <typename Value>
void overrideCurve(const GltfCurves& curves, const aiNode& node, const char* target, double seconds, Value& value)
{
    if (const GltfCurves::Curve* curve = curves.find(node.mName.C_Str(), target)) {
        float out[4];
        GltfCurves::evaluate(*curve, seconds, out);
        if constexpr (std::is_same_v<Value, aiQuaternion>)
            value = aiQuaternion(out[3], out[0], out[1], out[2]);
        else
            value = aiVector3D(out[0], out[1], out[2]);
    }
}

// A channel replaces its node's transform; components it has no keys for keep the rest.
aiMatrix4x4 channelAt(const aiNodeAnim& channel, const aiNode& node, double tick, double seconds,
    const GltfCurves& curves)
{
    aiVector3D scaling, position;
    aiQuaternion rotation;
    node.mTransformation.Decompose(scaling, rotation, position);
    scaling = vectorAt(channel.mScalingKeys, channel.mNumScalingKeys, tick, scaling);
    rotation = rotationAt(channel.mRotationKeys, channel.mNumRotationKeys, tick, rotation);
    position = vectorAt(channel.mPositionKeys, channel.mNumPositionKeys, tick, position);
    overrideCurve(curves, node, "scale", seconds, scaling);
    overrideCurve(curves, node, "rotation", seconds, rotation);
    overrideCurve(curves, node, "translation", seconds, position);
    return aiMatrix4x4(scaling, rotation, position);
}

float largestDifference(const aiMatrix4x4& a, const aiMatrix4x4& b)
{
    float most = 0.0f;
    for (unsigned r = 0; r < 3; ++r)
        for (unsigned k = 0; k < 4; ++k)
            most = std::max(most, std::fabs(a[r][k] - b[r][k]));
    return most;
}

std::string joined(const std::set<std::string>& names)
{
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ", ") + name;
    return out;
}

}

const aiAnimation* findTake(const aiScene& scene, const std::string& text, std::string& reason)
{
    if (scene.mNumAnimations > 0 && text.empty())
        return scene.mAnimations[0];
    for (unsigned a = 0; a < scene.mNumAnimations; ++a)
        if (text == scene.mAnimations[a]->mName.C_Str())
            return scene.mAnimations[a];
    char* end = nullptr;
    const unsigned long index = std::strtoul(text.c_str(), &end, 10);
    if (!text.empty() && *end == '\0' && index < scene.mNumAnimations)
        return scene.mAnimations[index];
    reason = scene.mNumAnimations == 0 ? "the file has no animation" : "no take '" + text + "'; the takes are:";
    for (unsigned a = 0; a < scene.mNumAnimations; ++a)
        reason += " " + std::to_string(a) + " '" + scene.mAnimations[a]->mName.C_Str() + "'";
    return nullptr;
}

namespace {

// The scale and shear a bone's rigid frame leaves out, at rest.
std::vector<aiMatrix4x4> restScales(const ImportSkeleton& skeleton)
{
    const NodePose rest = [](const aiNode& node) { return node.mTransformation; };
    std::vector<aiMatrix4x4> scales;
    for (const ImportSkeleton::Bone& bone : skeleton.bones()) {
        const aiMatrix4x4 world = bone.node ? skeleton.world(*bone.node, rest) : aiMatrix4x4();
        scales.push_back(ImportSkeleton::rigid(world).Inverse() * world);
    }
    return scales;
}

// A bone's local transform as the engine's key: the conjugate turn (see Mat4::setRotation).
AnimationKey keyOf(const aiMatrix4x4& local)
{
    aiVector3D scaling, position;
    aiQuaternion turn;
    local.Decompose(scaling, turn, position);
    AnimationKey key;
    key.translation = Vec3(position.x, position.y, position.z);
    key.rotation = Quat(-turn.x, -turn.y, -turn.z, turn.w);
    return key;
}

// One frame's keys (keys points at bone 0's); bones whose scale leaves its rest go into rescaled.
void sampleFrame(const ImportSkeleton& skeleton, const NodePose& pose, const std::vector<aiMatrix4x4>& scales,
    AnimationKey* keys, std::set<std::string>& rescaled)
{
    const auto& bones = skeleton.bones();
    std::vector<aiMatrix4x4> frames(bones.size());
    for (std::size_t b = 0; b < bones.size(); ++b) {
        const ImportSkeleton::Bone& bone = bones[b];
        if (!bone.node)
            continue;  // the bone that holds still keeps the identity key
        const aiMatrix4x4 world = skeleton.world(*bone.node, pose);
        frames[b] = ImportSkeleton::rigid(world);
        if (largestDifference(aiMatrix4x4(frames[b]).Inverse() * world, scales[b]) > 1e-3f)
            rescaled.insert(bone.node->mName.C_Str());
        keys[b] = keyOf(bone.parent >= 0 ? aiMatrix4x4(frames[std::size_t(bone.parent)]).Inverse() * frames[b] : frames[b]);
    }
}

}

void sampleTake(const aiScene& scene, const aiAnimation& take, const ImportSkeleton& skeleton, float fps,
    const GltfCurves& curves, KeyframedAnimation& animation, std::vector<std::string>& notes)
{
    const double ticksPerSecond = take.mTicksPerSecond > 0.0 ? take.mTicksPerSecond : kDefaultTicksPerSecond;
    const double seconds = std::isfinite(take.mDuration) && take.mDuration > 0.0 ? take.mDuration / ticksPerSecond : 0.0;
    // A take without length is one pose held; the engine treats a zero duration as none.
    const std::uint32_t frames = std::max<std::uint32_t>(1, std::uint32_t(std::lround(seconds * fps)));
    const std::size_t boneCount = skeleton.bones().size();
    animation.boneCount = std::uint32_t(boneCount);
    animation.frameCount = frames;
    animation.duration = seconds > 0.0 ? float(seconds) : 1.0f / fps;
    animation.keys.assign(std::size_t(frames) * boneCount, AnimationKey());

    std::map<const aiNode*, const aiNodeAnim*> channels;
    std::vector<const aiNode*> elsewhere;  // animated nodes no bone carries
    for (unsigned c = 0; c < take.mNumChannels; ++c)
        if (const aiNode* node = scene.mRootNode->FindNode(take.mChannels[c]->mNodeName)) {
            channels[node] = take.mChannels[c];
            if (!skeleton.carriesBones(node))
                elsewhere.push_back(node);
        }
    const auto poseAt = [&channels, &curves, ticksPerSecond](double tick) {
        return [&channels, &curves, tick, ticksPerSecond](const aiNode& node) {
            auto found = channels.find(&node);
            return found == channels.end() ? node.mTransformation
                                           : channelAt(*found->second, node, tick, tick / ticksPerSecond, curves);
        };
    };
    const std::vector<aiMatrix4x4> scales = restScales(skeleton);
    const NodePose first = poseAt(0.0);
    std::set<std::string> rescaled, uncarried;
    for (std::uint32_t f = 0; f < frames; ++f) {
        const NodePose pose = poseAt(double(f) * seconds / frames * ticksPerSecond);
        AnimationKey* keys = &animation.keys[std::size_t(f) * boneCount];
        sampleFrame(skeleton, pose, scales, keys, rescaled);
        // Neighbouring keys on the same side of the sphere, so slerp never takes the long way.
        for (std::size_t b = 0; f > 0 && b < boneCount; ++b)
            if (dot(keys[b].rotation, animation.keys[std::size_t(f - 1) * boneCount + b].rotation) < 0.0f)
                keys[b].rotation = Quat(-keys[b].rotation.x, -keys[b].rotation.y, -keys[b].rotation.z, -keys[b].rotation.w);
        for (const aiNode* node : elsewhere)
            if (largestDifference(pose(*node), first(*node)) > 1e-5f)
                uncarried.insert(node->mName.C_Str());
    }
    if (!rescaled.empty())
        notes.push_back("the take scales bones " + joined(rescaled)
            + ", which the engine's keys cannot hold (rotation and translation only): scale left at rest");
    if (!uncarried.empty())
        notes.push_back("the take moves nodes no bone carries (" + joined(uncarried)
            + "): the format cannot hold that motion; dropped");
}
