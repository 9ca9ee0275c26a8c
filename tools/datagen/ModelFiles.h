// From a generator's triangles to the show's files: the per-vertex arrays a model
// generator fills, the cylinder seam fix for wrapped texture coordinates, the engine
// mesh and material they become, and the ".qzg", ".qza" and picture files written
// through the engine's own writers into the data folder. It owns nothing beyond the
// values it returns.
#pragma once

#include "engine/geometry/Geometry.h"
#include "tools/datagen/ImageEncoders.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class KeyframedAnimation;

// One mesh as generators build it: counter-clockwise triangles seen from outside.
struct ModelMesh {
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;  // unit length
    std::vector<float> u, v;    // texture set 0
    std::vector<std::uint32_t> indices;

    std::size_t triangleCount() const { return indices.size() / 3; }
};

// Texture u wrapped around a cylinder runs 0..period and jumps back at the seam. Each
// triangle that spans more than half a period gets copies of its vertices on the low
// side, shifted by one period (the textures repeat); a copy keeps its vertex's
// position, normal and v.
void unwrapSeams(ModelMesh& mesh, float period);

// The mesh as the engine holds it: position, normal, texture set 0. Null, with a message
// naming modelFile, when it has no vertices, arrays of different lengths, or more
// vertices than 16-bit indices reach.
std::shared_ptr<Mesh> engineMesh(const ModelMesh& mesh, bool isStatic, const char* modelFile);

// Material colours as red, green, blue (alpha 1) and the picture on texture stage 0.
struct MaterialLook {
    const char* name;
    float ambient[3];
    float diffuse[3];
    float specular[3];
    float emission[3];
    float shininess;
    const char* texture;
};
std::unique_ptr<MeshMaterial> makeMaterial(const MaterialLook& look);

// Writers into the data folder (whole or not at all); false with a message on failure.
bool writeModelFile(const std::filesystem::path& dir, const std::string& name, const Geometry& geometry);
bool writeAnimationFile(const std::filesystem::path& dir, const std::string& name, const KeyframedAnimation& animation);
