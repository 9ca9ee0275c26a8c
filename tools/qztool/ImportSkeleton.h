// ImportSkeleton: the bones of an imported model, chosen from the scene's node tree. Every
// node that a mesh names as a bone becomes one, and so does every node up to their common
// ancestor, which is bone 0 (bones that weigh no vertex but carry children keep their
// place). Bones are numbered parents first; a bone that holds still, for vertices no bone
// weighs, is a second root chained as bone 0's sibling. It also tells where each node
// stands in the show's space at rest or in a pose. It refers to the scene's nodes and
// owns only its own lists.
#pragma once

#include <assimp/matrix4x4.h>

#include <functional>
#include <string>
#include <vector>

struct aiNode;
struct aiScene;
class Skeleton;

// A node's local transform in a pose (the rest pose: its own mTransformation).
using NodePose = std::function<aiMatrix4x4(const aiNode&)>;

class ImportSkeleton {
public:
    struct Bone {
        const aiNode* node = nullptr;
        int parent = -1;
        bool hasOffset = false;
        aiMatrix4x4 offset;  // show space at bind -> the bone's rigid frame
    };

    // fileToShow: the file's space to the show's (units, axes, --scale).
    ImportSkeleton(const aiScene& scene, const aiMatrix4x4& fileToShow);

    bool empty() const { return bones_.empty(); }
    const std::vector<Bone>& bones() const { return bones_; }
    // The bone made from node, or -1.
    int boneOf(const aiNode* node) const;
    // The bone at node or its nearest ancestor bone; -1 when none.
    int boneAbove(const aiNode* node) const;
    // True when node is a bone or an ancestor of a root bone (its motion reaches them).
    bool carriesBones(const aiNode* node) const;

    // Node's transform to the show's space in a pose (fileToShow included).
    aiMatrix4x4 world(const aiNode& node, const NodePose& pose) const;
    // The rotation and translation of a world transform, without its scale.
    static aiMatrix4x4 rigid(const aiMatrix4x4& world);

    // Records the mesh bone's offset for bone b. meshToShow is the transform its mesh's
    // vertices were baked with. False when b already has a different one.
    bool setOffset(int b, const aiMatrix4x4& importerOffset, const aiMatrix4x4& meshToShow);
    // Adds a root bone that holds still, for vertices no bone moves; its index.
    int addStillBone();
    // Names, links and offsets into the engine's skeleton (bones without a mesh offset
    // take the inverse of their rest frame).
    void fill(Skeleton& skeleton) const;

private:
    void collect(const aiScene& scene);
    void number(const aiNode* node, int parent, const std::vector<const aiNode*>& chosen);

    aiMatrix4x4 fileToShow_;
    std::vector<Bone> bones_;
    int stillBone_ = -1;
};
