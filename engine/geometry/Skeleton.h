// Skeleton: a named array of bones forming a hierarchy rooted at bone 0, recomputed
// once per frame from each bone's animation and its parent. It owns its bones; the
// animations it plays are in AnimationTable.
//
// Links are checked when read (validate) so that a hostile file cannot make the
// recursive walk leave the array or run for ever.
#pragma once

#include "engine/geometry/Bone.h"

#include <cstdint>
#include <string>
#include <vector>

class FileBuffer;

class Skeleton {
public:
    // When n differs from the bone count: n new bones (empty names, identity matrices);
    // an equal n keeps the bones as they are.
    void resize(std::uint32_t n);
    std::uint32_t boneCount() const { return std::uint32_t(bones.size()); }

    // Reads a "QZSKELETON" chunk. False on a wrong tag (only the tag consumed), on data
    // that ends early, or on links that do not form a tree (see validate); the skeleton
    // then has no bones.
    bool read(FileBuffer& file);
    // True when every link is -1 (none), or a valid index for children and siblings, and
    // the walk from bone 0 (siblings then children) reaches every bone at most once and
    // each reached bone's parent, when it has one, before it. An empty skeleton is valid.
    bool validate() const;

    // Advances every reached bone's playback by frameDelta seconds and recomputes its
    // matrices, parents before children, starting at bone 0.
    void update(float frameDelta);
    // Gives bone `first` (and, with siblings, its later siblings) and all their
    // descendants the animation: speed 1, time 0, the end mode.
    void assignAnimation(std::int32_t animIndex, std::int32_t first, bool withSiblings, std::int32_t endMode);

    std::string name;
    std::vector<Bone> bones;

private:
    void updateBone(std::int32_t index, float frameDelta);

    std::vector<std::int32_t> walk_;  // reused by update, so a frame allocates nothing
};
