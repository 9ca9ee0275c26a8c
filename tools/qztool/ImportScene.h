// ImportScene: a modelling program's file (glTF, OBJ, FBX, Collada, ...) read by the Open
// Asset Import Library into triangles with normals, meshes small enough for 16-bit
// indices, texture coordinates with v = 0 at the top of the picture (as the engine
// uploads pictures), and the correction that brings the file's units and up axis into
// the show's space (Y up). It owns the importer and the scene it holds; it writes nothing.
#pragma once

#include <assimp/Importer.hpp>
#include <assimp/matrix4x4.h>

#include <string>

struct aiScene;

class ImportScene {
public:
    // Reads path. False with the importer's own message in reason.
    bool read(const std::string& path, std::string& reason);
    // Only after a successful read.
    const aiScene& scene() const { return *scene_; }
    // Maps the file's space to the show's: the file's unit factor (FBX counts in
    // centimetres: to metres), its up axis turned to +Y, then userScale. note says in
    // words what was applied.
    aiMatrix4x4 fileToShow(float userScale, std::string& note) const;

private:
    float unitToMetres(std::string& unitNote) const;
    aiMatrix4x4 upAxisToY(std::string& axisNote) const;

    Assimp::Importer importer_;
    const aiScene* scene_ = nullptr;
};
