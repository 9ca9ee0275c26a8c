#include "engine/geometry/MeshMaterial.h"

#include "engine/math/FileBuffer.h"
#include "engine/geometry/VertexFormat.h"
#include "engine/material/Texture.h"
#include "engine/render/RenderDevice.h"

MeshMaterial::~MeshMaterial()
{
    for (int stage = 0; stage < StageCount; ++stage)
        releaseStage(stage);
}

void MeshMaterial::releaseStage(int stage)
{
    std::int32_t index = textures[stage];
    RenderDevice* holder = holders_[stage];
    textures[stage] = -1;
    holders_[stage] = nullptr;
    // A device that is gone (or replaced) destroyed every texture when it was detached.
    if (index >= 0 && holder && holder == currentDevice)
        holder->releaseTexture(index);
}

bool MeshMaterial::read(FileBuffer& file)
{
    name = file.readString();
    flags = file.readInt();
    file.readChar();
    file.readChar();
    alphaRef = file.readFloat();
    for (float* colour : { ambient, diffuse, specular, emission }) {
        for (int c = 0; c < 4; ++c)
            colour[c] = file.readFloat();
    }
    shininess = file.readFloat();
    for (int stage = 0; stage < StageCount; ++stage) {
        std::string texture = file.readString();
        if (file.overrun())
            return false;
        setTextureByName(stage, texture.c_str());
    }
    file.readString();
    for (int i = 0; i < 4; ++i)
        file.readFloat();
    return !file.overrun();
}

void MeshMaterial::setTextureByName(int stage, const char* fileName)
{
    if (stage < 0 || stage >= StageCount || !fileName || !*fileName)
        return;
    textureNames[stage] = fileName;
    RenderDevice* device = currentDevice;
    std::int32_t index = device ? device->loadTexture(fileName) : -1;
    releaseStage(stage);
    textures[stage] = index;
    holders_[stage] = index >= 0 ? device : nullptr;
}

void MeshMaterial::setTexture(int stage, std::int32_t index)
{
    if (stage < 0 || stage >= StageCount)
        return;
    RenderDevice* device = currentDevice;
    bool held = index >= 0 && device && device->getTexture(index) && device->acquireTexture(index);
    releaseStage(stage);
    textures[stage] = index;
    holders_[stage] = held ? device : nullptr;
}

void MeshMaterial::apply(RenderDevice& device) const
{
    if (!(flags & ApplyFlag))
        return;
    device.setMaterialAmbient(ambient[0], ambient[1], ambient[2], ambient[3]);
    device.setMaterialDiffuse(diffuse[0], diffuse[1], diffuse[2], diffuse[3]);
    device.setMaterialSpecular(specular[0], specular[1], specular[2], specular[3]);
    device.setMaterialEmissive(emission[0], emission[1], emission[2], emission[3]);
    device.setMaterialShininess(shininess);
    device.applyMaterial();
    for (int stage = 0; stage < StageCount; ++stage)
        device.setTextureSlot(stage, textures[stage]);
    device.setAlphaTestCached(true);
    device.setAlphaRefCached(6.0f);
    device.setAlphaRefCached(alphaRef);
    if (diffuse[3] < 1.0f) {
        device.setBlendingCached(true);
        device.setBlendFuncCached(4, 5);  // source alpha, one minus source alpha
    } else {
        device.setBlendingCached(false);
    }
}

bool MeshMaterial::alphaAlwaysPasses(const RenderDevice& device, std::uint32_t vertexFormat) const
{
    const bool greater = device.alphaFunc == CompareFunc::Greater || device.alphaFunc == CompareFunc::GreaterEqual;
    if (!(flags & ApplyFlag) || !greater || device.alphaRef >= 1.0f || diffuse[3] < 1.0f || !device.lighting)
        return false;
    if ((vertexFormat & vertexformat::Colour) || device.currentProgram
        || device.currentMaterial != device.materials.get(device.defaultMaterial))
        return false;
    for (const std::int32_t index : textures) {
        const Texture* texture = index >= 0 ? device.getTexture(index) : nullptr;
        if (texture && (texture->flags & Texture::HasAlpha))
            return false;
    }
    return true;
}
