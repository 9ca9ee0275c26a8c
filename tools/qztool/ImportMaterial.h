// ImportMaterial: a modelling program's material as the engine's: ambient, diffuse,
// specular and emissive colours, shininess, opacity as the diffuse alpha, and the name of
// its diffuse picture as the file names it. The caller owns the result.
#pragma once

#include "engine/geometry/MeshMaterial.h"

#include <memory>
#include <string>

struct aiMaterial;

// Colours and name; no texture (see diffusePicture).
std::unique_ptr<MeshMaterial> importMaterial(const aiMaterial& material);
// The file's reference to the material's diffuse (or base colour) picture: a path as the
// file wrote it, or "*N" for the scene's embedded picture N. Empty for none.
std::string diffusePicture(const aiMaterial& material);
