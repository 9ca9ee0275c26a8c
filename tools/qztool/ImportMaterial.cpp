#include "tools/qztool/ImportMaterial.h"

#include <assimp/material.h>

#include <algorithm>

namespace {

// OpenGL refuses a specular exponent outside 0..128 and would keep the previous one.
constexpr float kMaxShininess = 128.0f;

void colour(const aiMaterial& in, const char* key, unsigned type, unsigned index, float* out)
{
    aiColor4D c;
    if (aiGetMaterialColor(&in, key, type, index, &c) == aiReturn_SUCCESS) {
        out[0] = c.r;
        out[1] = c.g;
        out[2] = c.b;
        out[3] = 1.0f;
    }
}

}

std::unique_ptr<MeshMaterial> importMaterial(const aiMaterial& in)
{
    auto m = std::make_unique<MeshMaterial>();
    aiString name;
    if (in.Get(AI_MATKEY_NAME, name) == aiReturn_SUCCESS && name.length > 0)
        m->name = name.C_Str();
    colour(in, AI_MATKEY_COLOR_AMBIENT, m->ambient);
    colour(in, AI_MATKEY_COLOR_DIFFUSE, m->diffuse);
    colour(in, AI_MATKEY_COLOR_SPECULAR, m->specular);
    colour(in, AI_MATKEY_COLOR_EMISSIVE, m->emission);
    float value = 0.0f;
    if (in.Get(AI_MATKEY_SHININESS, value) == aiReturn_SUCCESS)
        m->shininess = std::clamp(value, 0.0f, kMaxShininess);
    if (in.Get(AI_MATKEY_OPACITY, value) == aiReturn_SUCCESS)
        m->diffuse[3] = std::clamp(value, 0.0f, 1.0f);
    return m;
}

std::string diffusePicture(const aiMaterial& in)
{
    aiString path;
    for (aiTextureType type : { aiTextureType_DIFFUSE, aiTextureType_BASE_COLOR })
        if (in.GetTextureCount(type) > 0 && in.GetTexture(type, 0, &path) == aiReturn_SUCCESS && path.length > 0)
            return path.C_Str();
    return "";
}
