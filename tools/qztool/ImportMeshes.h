// ImportMeshes: the scene's meshes as the engine's, one item per mesh per node that places
// it (instanced meshes are copied). Vertices are baked into the show's space with their
// node's transform; skinned models keep at most two bones per vertex, the two largest,
// renormalised to sum to one. It reads the scene and fills the skeleton's offsets; the
// meshes and skin meshes it returns belong to the caller.
#pragma once

#include "engine/geometry/Mesh.h"
#include "engine/geometry/SkinMesh.h"

#include <assimp/matrix4x4.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct aiMesh;
struct aiNode;
struct aiScene;
class ImportSkeleton;

// One mesh where a node puts it.
struct MeshPlacement {
    const aiMesh* mesh = nullptr;
    const aiNode* node = nullptr;
    aiMatrix4x4 meshToShow;  // the node's world transform in the show's space
};

// Every (mesh, node) pair of the tree, depth first.
std::vector<MeshPlacement> placeMeshes(const aiScene& scene, const aiMatrix4x4& fileToShow);

// Positions, normals (by the inverse transpose) and texture set 0 in the show's space; a
// mirroring transform turns the triangles round so they still face out.
std::shared_ptr<Mesh> bakeMesh(const MeshPlacement& placement, bool isStatic);

// What keeping two influences per vertex cost.
struct WeightReduction {
    std::uint32_t verticesReduced = 0;  // vertices that lost at least one influence
    float worstDropped = 0.0f;          // largest single weight dropped, as a share of its vertex's total
    std::uint32_t unweighted = 0;       // vertices no bone weighed, bound whole to the nearest bone above
};

// The two largest influences of every vertex, renormalised; vertices without any follow
// the nearest bone above the mesh's node (or a bone that holds still). Offsets of the
// bones named go into the skeleton; a bone whose offset disagrees with an earlier mesh's
// is named in conflicts.
std::unique_ptr<SkinMesh> skinMesh(const MeshPlacement& placement, const aiScene& scene, ImportSkeleton& skeleton,
    WeightReduction& reduction, std::vector<std::string>& conflicts);
