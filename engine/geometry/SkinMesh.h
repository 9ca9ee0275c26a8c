// SkinMesh: the skinning data of one geometry item: the bind-pose vertices as loaded,
// two bone influences per vertex, and the box of the last deformed pose. It owns its
// bind pose and weights; the bones it names belong to the modifier's Skeleton.
#pragma once

#include "engine/geometry/Bounds.h"
#include "engine/geometry/VertexArray.h"

#include <cstdint>
#include <vector>

class FileBuffer;
class Skeleton;

// Two influences in memory order bone0, bone1, weight0, weight1. A bone of -1
// contributes nothing; weights are used as stored (never normalised).
struct SkinWeight {
    std::int32_t bone0 = -1;
    std::int32_t bone1 = -1;
    float weight0 = 0.0f;
    float weight1 = 0.0f;
};

class SkinMesh {
public:
    // Reads a "QZSKINMESH" chunk. False on a wrong tag (only the tag consumed), a
    // negative count or data that ends before the weights.
    bool read(FileBuffer& file);
    // True when every influence names -1 or a bone below boneCount.
    bool weightsValid(std::uint32_t boneCount) const;
    // Writes the deformed bind pose into target (made a copy of the bind pose first when
    // its count or format differs) and recomputes bounds. Weights beyond the bind pose's
    // vertex count are ignored; vertices without a weight keep their bind pose.
    void deform(const Skeleton& skeleton, VertexArray& target);

    Bounds bounds;
    VertexArray bindPose;
    std::vector<SkinWeight> weights;

    // Upper 3 x 4 of a bone matrix, row by row, as the inner loop reads it.
    struct Affine {
        float r[12];
    };

private:
    // Gathered bone rows, kept between frames so that deforming allocates nothing.
    std::vector<Affine> skinRows_;
    std::vector<Affine> normalRows_;
};
