// Animation: skeletal animation keys, one translation and rotation per bone per frame,
// frames spread evenly over a duration, read from ".qza" files. Evaluate turns a bone's
// keys at a time into its local matrix (linear translation, slerp rotation, wrapping
// from the last frame to the first). Bones refer to animations by AnimationTable index
// (engine/geometry/AnimationTable.h); playback state lives in the bones, not here.
#pragma once

#include "engine/math/Mat4.h"
#include "engine/math/Quat.h"
#include "engine/math/Vec3.h"

#include <cstdint>
#include <string>
#include <vector>

class FileBuffer;

// Seven floats: translation x, y, z, rotation x, y, z, w. A new key is the identity.
struct AnimationKey {
    Vec3 translation;
    Quat rotation;
};
static_assert(sizeof(AnimationKey) == 28, "a key is seven packed floats");

// Spherical linear interpolation from q0 (t = 0) to q1 (t = 1) along the shorter arc;
// nearly equal rotations blend linearly. The result is not renormalised.
Quat slerp(const Quat& q0, const Quat& q1, float t);

class Animation {
public:
    Animation() = default;
    virtual ~Animation() = default;
    Animation(const Animation&) = delete;
    Animation& operator=(const Animation&) = delete;

    // Key of a bone in a frame. Out-of-range indices give the identity key.
    virtual AnimationKey getKey(std::uint32_t bone, std::uint32_t frame) const = 0;
    // Local matrix of bone at time seconds; the identity when the animation has no
    // frames, no bones or a duration of exactly 0.
    Mat4 evaluate(std::uint32_t bone, float time) const;

    void setName(const char* text) { name = text ? text : ""; }

    std::string name;
    std::uint32_t boneCount = 0;
    std::uint32_t frameCount = 0;
    float duration = 0.0f;  // seconds
};

// The keyframed animation of ".qza" files.
class KeyframedAnimation : public Animation {
public:
    // Reads a ".qza" file from the buffer's cursor. False, with the animation left
    // empty (no bones, no frames), when the data ends before the keys its counts promise
    // or a count is negative.
    bool read(FileBuffer& file);
    AnimationKey getKey(std::uint32_t bone, std::uint32_t frame) const override;

    // frameCount x boneCount keys, frame after frame.
    std::vector<AnimationKey> keys;
};
