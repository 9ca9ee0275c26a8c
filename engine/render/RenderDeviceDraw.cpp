// Drawing through the render device: bindings before each draw, statistics, the
// immediate-mode builder and the static buffer table.
#include "engine/render/RenderDevice.h"

#include "engine/material/Material.h"
#include "engine/material/VertexProgram.h"

#include <algorithm>

void RenderDevice::applyBindings()
{
    if (currentMaterial) {
        for (int stage = 0; stage < caps.stageCount(); ++stage) {
            const int slot = currentMaterial->stageSlot(stage);
            const int texture = (slot >= 0 && slot < TextureSlotCount) ? textureSlots[slot] : -1;
            setTexture(stage, texture);
        }
    }

    if (!currentProgram) {
        disableVertexProgram();
        return;
    }
    Vec3 lightPositions[LightCount];
    for (int i = 0; i < LightCount; ++i)
        lightPositions[i] = lights[i].position;
    ProgramInputs inputs;
    inputs.world = &world.current();
    inputs.view = &view.current();
    inputs.projection = &projection.current();
    inputs.lightPositions = lightPositions;
    inputs.constants = programConstants;
    inputs.constantCount = ProgramConstantCount;
    uploadProgramParameters(*currentProgram, inputs);
}

int RenderDevice::addStatistics(int primitive, int vertexCount, int indexCount, bool indexed)
{
    stats.vertices += vertexCount;
    const int n = indexed ? indexCount : vertexCount;
    switch (primitive) {
    case PrimitiveType::TriangleList:
        stats.triangles += n / 3;
        return stats.triangles;
    case PrimitiveType::TriangleStrip:
    case PrimitiveType::TriangleFan:
        stats.triangles += std::max(n - 2, 0);
        return stats.triangles;
    case PrimitiveType::LineList:
        stats.lines += n / 2;
        return stats.lines;
    case PrimitiveType::LineStrip:
        stats.lines += std::max(n - 1, 0);
        return stats.lines;
    case PrimitiveType::PointList:
        stats.points += n;
        return stats.points;
    default:
        return 0;
    }
}

int RenderDevice::draw(int primitive, const float* vertices, int vertexCount, int format,
                       const std::uint16_t* indices, int indexCount)
{
    applyBindings();
    drawArrays(primitive, vertices, vertexCount, format, indices, indexCount);
    return addStatistics(primitive, vertexCount, indexCount, indices != nullptr);
}

void RenderDevice::beginPrimitive(int primitive, int vertexCount, int format, int indexCount)
{
    if (building)
        return;
    building = true;
    builderPrimitive = primitive;
    if (vertexCount > 0) {
        builderVertices.allocate(static_cast<std::uint32_t>(vertexCount), static_cast<std::uint32_t>(format), true);
        std::fill(builderVertices.data(), builderVertices.data() + builderVertices.floatCount(), 0.0f);
    } else {
        builderVertices.destroy();
    }
    // Zeroed so an indexed primitive the caller did not fill still reads valid vertices.
    builderIndices.assign(static_cast<size_t>(std::max(indexCount, 0)), 0);
    builderWritten = 0;
}

void RenderDevice::addTexCoord(int set, float u, float v)
{
    static const std::uint32_t bits[3][2] = {{vertexformat::Tex0, vertexformat::Tex0Vec3},
                                             {vertexformat::Tex1, vertexformat::Tex1Vec3},
                                             {vertexformat::Tex2, vertexformat::Tex2Vec3}};
    if (set < 0 || set > 2 || builderWritten >= builderVertices.vertexCount)
        return;
    const std::uint32_t bit = builderVertices.has(bits[set][0]) ? bits[set][0] : bits[set][1];
    if (!builderVertices.has(bit))
        return;
    float* vertex = builderVertices.vertex(builderWritten) + builderVertices.offsetOf(bit);
    vertex[0] = u;
    vertex[1] = v;
}

void RenderDevice::addVertex(float x, float y, float z)
{
    if (builderWritten >= builderVertices.vertexCount)
        return;
    if (builderVertices.stride >= 3) {
        float* vertex = builderVertices.vertex(builderWritten);
        vertex[0] = x;
        vertex[1] = y;
        vertex[2] = z;
    }
    ++builderWritten;
}

void RenderDevice::endPrimitive()
{
    if (!building)
        return;
    draw(builderPrimitive, builderVertices.data(), static_cast<int>(builderVertices.vertexCount),
         static_cast<int>(builderVertices.format),
         builderIndices.empty() ? nullptr : builderIndices.data(), static_cast<int>(builderIndices.size()));
    building = false;
}

void RenderDevice::drawQuad(float x1, float y1, float x2, float y2)
{
    beginPrimitive(PrimitiveType::TriangleStrip, 4, vertexformat::Position | vertexformat::Tex0, 0);
    addTexCoord(0, 0.0f, 0.0f);
    addVertex(x1, y1, 0.0f);
    addTexCoord(0, 1.0f, 0.0f);
    addVertex(x2, y1, 0.0f);
    addTexCoord(0, 0.0f, 1.0f);
    addVertex(x1, y2, 0.0f);
    addTexCoord(0, 1.0f, 1.0f);
    addVertex(x2, y2, 0.0f);
    endPrimitive();
}

int RenderDevice::createBuffer(int primitive, int vertexCount, int format, int indexCount)
{
    for (int i = 0; i < BufferCount; ++i) {
        BufferRecord& r = buffers[static_cast<size_t>(i)];
        if (r.list != -1)
            continue;
        r.primitive = primitive;
        r.vertexCount = vertexCount;
        r.format = format;
        r.indexCount = indexCount;
        r.vertexSize = static_cast<int>(vertexformat::strideOf(static_cast<std::uint32_t>(format)));
        r.list = createList();
        return i;
    }
    return -1;
}

const BufferRecord* RenderDevice::getBuffer(int index) const
{
    if (index < 0 || index >= BufferCount)
        return nullptr;
    return &buffers[static_cast<size_t>(index)];
}

int RenderDevice::destroyBuffer(int index)
{
    const BufferRecord* r = getBuffer(index);
    if (!r || r->list == -1)
        return -1;
    const int result = deleteList(*r);
    buffers[static_cast<size_t>(index)].list = -1;
    return result;
}

void RenderDevice::fillBuffer(int index, const float* vertices, const std::uint16_t* indices)
{
    const BufferRecord* r = getBuffer(index);
    if (!r || r->list == -1)
        return;
    compileList(*r, vertices, indices);
}

void RenderDevice::drawBuffer(int index)
{
    const BufferRecord* r = getBuffer(index);
    if (!r || r->list == -1)
        return;
    applyBindings();
    callList(*r);
    addStatistics(r->primitive, r->vertexCount, r->indexCount, r->indexCount > 0);
}

int RenderDevice::setTextureSlot(int slot, int textureIndex)
{
    if (slot >= 0 && slot < TextureSlotCount)
        textureSlots[slot] = textureIndex;
    return slot;
}

void RenderDevice::setProgramConstant(int index, const Vec3& value)
{
    if (index >= 0 && index < ProgramConstantCount)
        programConstants[index] = value;
}
