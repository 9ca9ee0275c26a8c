// The render device's tables of textures, materials and vertex programs.
#include "engine/render/RenderDevice.h"

#include "engine/material/Image.h"
#include "engine/material/Material.h"
#include "engine/material/Texture.h"
#include "engine/material/VertexProgram.h"

int RenderDevice::insertTexture(Texture* texture, bool created)
{
    if (!created) {
        delete texture;
        return -1;
    }
    return textures.insert(texture);
}

int RenderDevice::createTexture(int width, int height, int bitsPerPixel)
{
    if (width <= 0 || height <= 0)
        return -1;
    Image image;
    if (!image.allocate(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height),
                        static_cast<std::uint32_t>(bitsPerPixel)))
        return -1;
    image.fill(green.packed());
    Texture* texture = newTexture();
    if (!texture)
        return -1;
    return insertTexture(texture, texture->createFromImage(image, false, true));
}

int RenderDevice::addTexture(Image& image, const char*)
{
    Texture* texture = newTexture();
    if (!texture)
        return -1;
    return insertTexture(texture, texture->createFromImage(image, true, false));
}

int RenderDevice::addCubeTexture(Image faces[6], bool mipmaps)
{
    Texture* texture = newTexture();
    if (!texture)
        return -1;
    return insertTexture(texture, faces && texture->createCube(faces, mipmaps));
}

int RenderDevice::loadTexture(const char* fileName)
{
    if (fileName && *fileName) {
        const int hit = textures.find(fileName);
        if (hit >= 0) {
            textures.acquire(hit);
            return hit;
        }
    }
    Texture* texture = newTexture();
    if (!texture)
        return -1;
    return insertTexture(texture, texture->loadFromFile(fileName, true));
}

bool RenderDevice::updateTexture(int index, const Image& image)
{
    Texture* texture = textures.get(index);
    return texture && texture->update(image);
}

bool RenderDevice::acquireTexture(int index)
{
    return textures.acquire(index);
}

bool RenderDevice::releaseTexture(int index)
{
    return textures.release(index);
}

int RenderDevice::loadMaterial(const char* fileName, const int* stageSlots, const int* codes, bool flag)
{
    if (fileName && *fileName) {
        const int hit = materials.find(fileName);
        if (hit >= 0) {
            materials.acquire(hit);
            return hit;
        }
    }
    Material* material = newMaterial(0, 0, flag);
    if (!material)
        return -1;
    if (!material->loadFromFile(fileName, stageSlots, codes)) {
        delete material;
        return -1;
    }
    return materials.insert(material);
}

int RenderDevice::createMaterial(const char* scriptText, const int* stageSlots, const int* codes, bool flag)
{
    Material* material = newMaterial(0, 0, flag);
    if (!material)
        return -1;
    if (!material->loadFromString(scriptText, stageSlots, codes)) {
        delete material;
        return -1;
    }
    return materials.insert(material);
}

void RenderDevice::setMaterial(int index)
{
    if (index == -1)
        index = defaultMaterial;
    currentMaterial = materials.get(index);
    if (currentMaterial)
        currentMaterial->apply();
}

bool RenderDevice::releaseMaterial(int index)
{
    Material* material = materials.get(index);
    if (!material)
        return false;
    const bool destroyed = materials.release(index);
    if (destroyed && currentMaterial == material)
        currentMaterial = nullptr;
    if (destroyed && index == defaultMaterial)
        defaultMaterial = -1;
    if (destroyed && index == lightmapMaterial)
        lightmapMaterial = -1;
    return destroyed;
}

int RenderDevice::loadVertexProgram(const char* fileName, int compileArgument, const int* codes)
{
    if (fileName && *fileName) {
        const int hit = programs.find(fileName);
        if (hit >= 0) {
            programs.acquire(hit);
            return hit;
        }
    }
    VertexProgram* program = newVertexProgram(0, 0);
    if (!program)
        return -1;
    if (!program->loadFromFile(fileName, compileArgument, codes)) {
        delete program;
        return -1;
    }
    return programs.insert(program);
}

void RenderDevice::setVertexProgram(int index)
{
    currentProgram = programs.get(index);
    if (currentProgram)
        currentProgram->bind();
}

bool RenderDevice::releaseVertexProgram(int index)
{
    VertexProgram* program = programs.get(index);
    if (!program)
        return false;
    const bool destroyed = programs.release(index);
    if (destroyed && currentProgram == program)
        currentProgram = nullptr;
    return destroyed;
}
