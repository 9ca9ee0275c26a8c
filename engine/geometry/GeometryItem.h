// GeometryItem: one object of a Geometry, a mesh drawn with its material. The item owns
// its material and holds one share of its mesh (meshes may be shared between items).
#pragma once

#include "engine/geometry/Mesh.h"
#include "engine/geometry/MeshMaterial.h"

#include <memory>

struct GeometryItem {
    std::shared_ptr<Mesh> mesh;
    std::unique_ptr<MeshMaterial> material;
};
