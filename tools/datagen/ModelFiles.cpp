#include "tools/datagen/ModelFiles.h"

#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationWriter.h"
#include "engine/geometry/GeometryWriter.h"
#include "tools/datagen/DataFile.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

using namespace vertexformat;

void unwrapSeams(ModelMesh& mesh, float period)
{
    std::unordered_map<std::uint32_t, std::uint32_t> shifted;
    for (std::size_t t = 0; t + 2 < mesh.indices.size(); t += 3) {
        std::uint32_t* corner = &mesh.indices[t];
        const float lo = std::min({mesh.u[corner[0]], mesh.u[corner[1]], mesh.u[corner[2]]});
        const float hi = std::max({mesh.u[corner[0]], mesh.u[corner[1]], mesh.u[corner[2]]});
        if (hi - lo <= 0.5f * period)
            continue;
        for (int c = 0; c < 3; ++c) {
            const std::uint32_t old = corner[c];
            if (mesh.u[old] >= hi - 0.5f * period)
                continue;
            auto found = shifted.find(old);
            if (found == shifted.end()) {
                found = shifted.emplace(old, std::uint32_t(mesh.positions.size())).first;
                mesh.positions.push_back(mesh.positions[old]);
                mesh.normals.push_back(mesh.normals[old]);
                mesh.u.push_back(mesh.u[old] + period);
                mesh.v.push_back(mesh.v[old]);
            }
            corner[c] = found->second;
        }
    }
}

std::shared_ptr<Mesh> engineMesh(const ModelMesh& model, bool isStatic, const char* modelFile)
{
    const std::size_t count = model.positions.size();
    if (count == 0 || model.normals.size() != count || model.u.size() != count || model.v.size() != count) {
        std::fprintf(stderr, "datagen: %s: a mesh without vertices, or with arrays of different lengths\n", modelFile);
        return nullptr;
    }
    if (count > 65536) {
        std::fprintf(stderr, "datagen: %s: a mesh of %zu vertices, more than 16-bit indices reach\n", modelFile, count);
        return nullptr;
    }
    auto mesh = std::make_shared<Mesh>(isStatic);
    VertexArray& array = mesh->vertices;
    array.allocate(std::uint32_t(count), PositionNormalTex0);
    for (std::uint32_t i = 0; i < count; ++i) {
        float* p = array.vertex(i);
        const Vec3& a = model.positions[i];
        const Vec3& n = model.normals[i];
        p[array.positionOffset + 0] = a.x;
        p[array.positionOffset + 1] = a.y;
        p[array.positionOffset + 2] = a.z;
        p[array.normalOffset + 0] = n.x;
        p[array.normalOffset + 1] = n.y;
        p[array.normalOffset + 2] = n.z;
        p[array.texOffset0 + 0] = model.u[i];
        p[array.texOffset0 + 1] = model.v[i];
    }
    mesh->triangles.resize(std::uint32_t(model.triangleCount()));
    for (std::size_t i = 0; i < mesh->triangles.indexCount(); ++i)
        mesh->triangles.indices[i] = std::uint16_t(model.indices[i]);
    mesh->prepare(nullptr);
    return mesh;
}

std::unique_ptr<MeshMaterial> makeMaterial(const MaterialLook& look)
{
    auto material = std::make_unique<MeshMaterial>();
    material->name = look.name;
    for (int c = 0; c < 3; ++c) {
        material->ambient[c] = look.ambient[c];
        material->diffuse[c] = look.diffuse[c];
        material->specular[c] = look.specular[c];
        material->emission[c] = look.emission[c];
    }
    material->shininess = look.shininess;
    if (look.texture)
        material->setTextureByName(0, look.texture);
    return material;
}

bool writeModelFile(const std::filesystem::path& dir, const std::string& name, const Geometry& geometry)
{
    BinaryWriter out;
    GeometryWriter::writeGeneral(out, geometry);
    return writeDataFile(dir, name, out.bytes().data(), out.bytes().size());
}

bool writeAnimationFile(const std::filesystem::path& dir, const std::string& name, const KeyframedAnimation& animation)
{
    BinaryWriter out;
    AnimationWriter::write(out, animation, "QZANIMATION", name.c_str());
    return writeDataFile(dir, name, out.bytes().data(), out.bytes().size());
}
