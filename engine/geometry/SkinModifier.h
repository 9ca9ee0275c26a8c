// SkinModifier: deforms every item mesh of a Geometry with a bone hierarchy, two
// influences per vertex, once per frame. It owns its Skeleton and one SkinMesh per item;
// the item meshes it writes into belong to the Geometry, the animations the bones play
// to AnimationTable.
#pragma once

#include "engine/geometry/Skeleton.h"
#include "engine/geometry/SkinMesh.h"

#include <cstdint>
#include <memory>
#include <vector>

class FileBuffer;
class VertexArray;

class SkinModifier {
public:
    // Reads a "QZSKINMODIFIER" block: tag, reserved int, skeleton, skin-mesh count and
    // the skin meshes. False on a wrong tag, a bad skeleton, data that ends early or a
    // weight naming a bone the skeleton lacks; what was read stays in the modifier.
    bool read(FileBuffer& file);
    // Item 0 first advances the skeleton by the frame clock's delta; then skin mesh
    // [item] is deformed into target. An item without a skin mesh is left alone.
    void update(std::uint32_t item, VertexArray& target);
    // As update, with an explicit frame delta in seconds (for tools and tests).
    void update(std::uint32_t item, VertexArray& target, float frameDelta);

    std::uint32_t skinMeshCount() const { return std::uint32_t(skinMeshes.size()); }

    Skeleton skeleton;
    std::vector<std::unique_ptr<SkinMesh>> skinMeshes;
};
