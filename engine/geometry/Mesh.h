// Mesh: the vertices and triangles of one geometry item, drawn either from a static
// device buffer uploaded once (static meshes) or from its own memory every frame
// (dynamic meshes, which modifiers rewrite in place). It owns its arrays and its device
// buffer slot; items share a mesh through std::shared_ptr (the use count).
//
// A mesh can be built and read without any render device: it is uploaded only when it
// is drawn through one.
#pragma once

#include "engine/geometry/Bounds.h"
#include "engine/geometry/TriangleList.h"
#include "engine/geometry/VertexArray.h"

#include <cstdint>

class FileBuffer;
class RenderDevice;

class Mesh {
public:
    explicit Mesh(bool isStatic) : isStatic(isStatic) {}
    // Gives the device buffer back (to the device it came from, if that is still the
    // current one).
    ~Mesh();
    Mesh(const Mesh&) = delete;
    Mesh& operator=(const Mesh&) = delete;

    // Reads a MESH chunk into vertices and a TRIANGLELIST chunk into triangles, then
    // prepares the mesh on the current device (bounds only when there is none). False
    // when either chunk fails or a triangle names a vertex at or past the vertex count.
    bool read(FileBuffer& file, bool keepColourOrder);
    // A dynamic mesh becomes static and will be prepared (uploaded) at its next draw; a
    // static mesh is left alone.
    void makeStatic();
    // Recomputes bounds; with a device, (re)creates and fills the device buffer of a
    // mesh with triangles, and marks it prepared.
    // Without a device only the bounds change and the mesh stays unprepared.
    void prepare(RenderDevice* device);
    // Prepares on first use, then draws: static meshes by their buffer, dynamic meshes
    // from memory as an indexed triangle list, back faces culled when the mesh is a
    // closed surface facing its normals, no culling otherwise (the device's cull mode
    // stays so). A mesh without triangles draws nothing.
    void draw(RenderDevice& device);
    // True when every index is below the vertex count.
    bool indicesValid() const;

    Bounds bounds;
    TriangleList triangles;
    VertexArray vertices;
    std::int32_t bufferHandle = -1;  // device buffer slot, -1 for none
    bool isStatic;
    bool prepared = false;
    // Set by prepare with a device: the triangles close a surface seen only from the side
    // its normals face (isClosedFacingItsNormals).
    bool cullsBackFaces = false;

private:
    void releaseBuffer();

    RenderDevice* bufferDevice_ = nullptr;  // the device bufferHandle belongs to
};
