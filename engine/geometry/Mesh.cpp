#include "engine/geometry/Mesh.h"

#include "engine/geometry/ClosedSurface.h"
#include "engine/geometry/GeometryChunks.h"
#include "engine/render/RenderDevice.h"

Mesh::~Mesh()
{
    releaseBuffer();
}

void Mesh::releaseBuffer()
{
    // A device that has been destroyed (or replaced) took its buffers with it.
    if (bufferHandle != -1 && bufferDevice_ && bufferDevice_ == currentDevice)
        bufferDevice_->destroyBuffer(bufferHandle);
    bufferHandle = -1;
    bufferDevice_ = nullptr;
}

bool Mesh::indicesValid() const
{
    return triangles.maxIndex() < std::int32_t(vertices.vertexCount);
}

bool Mesh::read(FileBuffer& file, bool keepColourOrder)
{
    if (!readMeshChunk(file, vertices, keepColourOrder) || !readTriangleChunk(file, triangles))
        return false;
    if (!indicesValid())
        return false;
    prepare(currentDevice);
    return true;
}

void Mesh::makeStatic()
{
    if (isStatic)
        return;
    isStatic = true;
    prepared = false;
}

void Mesh::prepare(RenderDevice* device)
{
    releaseBuffer();
    // Without triangles there is nothing to draw: vertices alone would be drawn unindexed.
    if (device && triangles.count > 0) {
        bufferHandle = device->createBuffer(0, int(vertices.vertexCount), int(vertices.format),
                                            int(triangles.indexCount()));
        bufferDevice_ = bufferHandle != -1 ? device : nullptr;
        device->fillBuffer(bufferHandle, vertices.data(), triangles.indices.data());
    }
    bounds.fromPositions(vertices);
    prepared = device != nullptr;
    cullsBackFaces = prepared && isClosedFacingItsNormals(vertices, triangles);
}

void Mesh::draw(RenderDevice& device)
{
    if (!prepared || (bufferHandle != -1 && bufferDevice_ != &device))
        prepare(&device);
    if (triangles.count == 0)
        return;
    // The back faces of a closed surface are always behind its front faces: leaving them
    // out spares the rasteriser without changing a pixel.
    device.setCullModeCached(cullsBackFaces ? CullMode::Back : CullMode::None);
    if (isStatic) {
        device.drawBuffer(bufferHandle);
        return;
    }
    device.draw(0, vertices.data(), int(vertices.vertexCount), int(vertices.format),
                triangles.indices.data(), int(triangles.indexCount()));
}
