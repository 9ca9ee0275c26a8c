// MeshMaterial: the colours, alpha settings and up to eight stage textures one geometry
// item is drawn with, applied through the render device's material colours and cached
// state setters. It owns one reference on each texture-table entry it names (released
// when it is destroyed or the stage is given another texture); it does not own the
// device or its textures.
//
// Without a render device texture names are kept but every stage stays -1.
#pragma once

#include <cstdint>
#include <string>

class FileBuffer;
class RenderDevice;

class MeshMaterial {
public:
    static constexpr int StageCount = 8;
    // Flag bit: apply this material when its mesh is drawn.
    static constexpr std::int32_t ApplyFlag = 4;

    MeshMaterial() = default;
    // Releases the eight texture references.
    ~MeshMaterial();
    MeshMaterial(const MeshMaterial&) = delete;
    MeshMaterial& operator=(const MeshMaterial&) = delete;

    // Reads a MATERIAL record; non-empty texture names are loaded through the current
    // device. False when the data ends early.
    bool read(FileBuffer& file);
    // The stage takes the texture the device loads for fileName (-1 when it cannot, or
    // when there is no device) and releases what it held. An empty name, or a stage
    // outside 0..7, changes nothing. The name is remembered either way.
    void setTextureByName(int stage, const char* fileName);
    // Takes a reference on entry index (when the device has it), releases the stage's
    // previous reference and stores index. Stages outside 0..7 are ignored.
    void setTexture(int stage, std::int32_t index);
    // With the apply flag: material colours, textures into slots 0..7, alpha test and
    // reference, and blending when the diffuse alpha is below 1. Without it, nothing.
    void apply(RenderDevice& device) const;
    // True when, right after apply, the alpha test can reject no fragment of a mesh of
    // vertexFormat: lit, no vertex program, the device's default combiner, diffuse alpha
    // 1, no texture with alpha, no vertex colours, a reference below 1.
    bool alphaAlwaysPasses(const RenderDevice& device, std::uint32_t vertexFormat) const;

    float ambient[4] = { 0.0f, 0.0f, 0.0f, 1.0f };
    float diffuse[4] = { 1.0f, 1.0f, 1.0f, 1.0f };
    float specular[4] = { 0.0f, 0.0f, 0.0f, 1.0f };
    float emission[4] = { 0.0f, 0.0f, 0.0f, 1.0f };
    float shininess = 20.0f;
    std::int32_t textures[StageCount] = { -1, -1, -1, -1, -1, -1, -1, -1 };
    // The file names the stages were given (empty for none), kept for tools and writers.
    std::string textureNames[StageCount];
    std::int32_t flags = ApplyFlag;
    std::string name = "NONAME";
    float alphaRef = 0.5f;

private:
    void releaseStage(int stage);

    // Per stage, the device on which this material holds a reference (null: none held).
    RenderDevice* holders_[StageCount] = {};
};
