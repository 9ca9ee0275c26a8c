#include "engine/geometry/GeometryWriter.h"

#include "engine/geometry/Geometry.h"

#include <cstring>

using namespace vertexformat;

namespace GeometryWriter {

void writeMaterial(BinaryWriter& out, const MeshMaterial& material)
{
    out.putString(material.name);
    out.putInt(material.flags);
    out.putByte(0);
    out.putByte(0);
    out.putFloat(material.alphaRef);
    for (const float* colour : { material.ambient, material.diffuse, material.specular, material.emission }) {
        for (int c = 0; c < 4; ++c)
            out.putFloat(colour[c]);
    }
    out.putFloat(material.shininess);
    for (const std::string& texture : material.textureNames)
        out.putString(texture);
    out.putString("");
    for (int i = 0; i < 4; ++i)
        out.putFloat(0.0f);
}

namespace {

void writeComponent(BinaryWriter& out, const VertexArray& v, std::uint32_t bit, std::uint32_t floats, bool present)
{
    out.putBool(present);
    if (!present)
        return;
    std::uint32_t offset = v.offsetOf(bit);
    for (std::uint32_t i = 0; i < v.vertexCount; ++i) {
        const float* p = v.vertex(i) + offset;
        if (bit == Colour) {
            std::uint8_t bytes[4];
            std::memcpy(bytes, p, 4);
            std::swap(bytes[0], bytes[2]);
            out.putBytes(bytes, 4);
        } else {
            for (std::uint32_t c = 0; c < floats; ++c)
                out.putFloat(p[c]);
        }
    }
}

}

void writeMesh(BinaryWriter& out, const VertexArray& v)
{
    out.putString("MESH");
    out.putInt(std::int32_t(v.vertexCount));
    writeComponent(out, v, Position, 3, v.has(Position));
    writeComponent(out, v, Normal, 3, v.has(Normal));
    writeComponent(out, v, Tex0, 2, v.texSize0 == 2);
    writeComponent(out, v, Tex1, 2, v.texSize1 == 2);
    writeComponent(out, v, Colour, 1, v.has(Colour));
}

void writeTriangles(BinaryWriter& out, const TriangleList& triangles)
{
    out.putString("TRIANGLELIST");
    out.putInt(std::int32_t(triangles.count));
    for (std::uint32_t i = 0; i < triangles.indexCount(); ++i)
        out.putInt(triangles.indices[i]);
}

void writeMulva(BinaryWriter& out, const MorphTrack& track)
{
    out.putString("MULVA");
    out.putInt(0);
    out.putInt(0);
    out.putInt(std::int32_t(track.frames.size()));
    for (const VertexArray& frame : track.frames)
        writeMesh(out, frame);
}

void writeMorphParameters(BinaryWriter& out, const MorphModifier& morph)
{
    out.putInt(0);
    out.putInt(std::int32_t(morph.frameCount));
    out.putInt(0);
    out.putFloat(morph.duration);
    out.putInt(0);
    out.putInt(0);
    out.putInt(0);
}

void writeMorphModifier(BinaryWriter& out, const MorphModifier& morph)
{
    out.putString("QZMORPHMODIFIER");
    out.putInt(0);
    out.putInt(std::int32_t(morph.tracks.size()));
    for (const auto& track : morph.tracks)
        writeMulva(out, *track);
    writeMorphParameters(out, morph);
}

void writeSkeleton(BinaryWriter& out, const Skeleton& skeleton)
{
    out.putString("QZSKELETON");
    out.putInt(0);
    out.putString(skeleton.name);
    out.putInt(std::int32_t(skeleton.bones.size()));
    for (const Bone& bone : skeleton.bones) {
        out.putString(bone.name);
        out.putInt(bone.parent);
        out.putInt(bone.firstChild);
        out.putInt(bone.nextSibling);
        out.putMatrix(bone.offset);
    }
}

void writeSkinMesh(BinaryWriter& out, const SkinMesh& skinMesh)
{
    out.putString("QZSKINMESH");
    out.putInt(0);
    out.putInt(std::int32_t(skinMesh.weights.size()));
    for (const SkinWeight& w : skinMesh.weights) {
        out.putInt(w.bone0);
        out.putFloat(w.weight0);
        out.putInt(w.bone1);
        out.putFloat(w.weight1);
    }
}

namespace {

void writeObject(BinaryWriter& out, const GeometryItem& item, const VertexArray& vertices)
{
    writeMaterial(out, *item.material);
    writeMesh(out, vertices);
    writeTriangles(out, item.mesh->triangles);
}

}

void writeStatic(BinaryWriter& out, const Geometry& geometry)
{
    out.putString("GEOMETRY_STATIC");
    out.putInt(std::int32_t(geometry.items.size()));
    for (const GeometryItem& item : geometry.items)
        writeObject(out, item, item.mesh->vertices);
}

bool writeDynamic(BinaryWriter& out, const Geometry& geometry)
{
    const MorphModifier* morph = geometry.morph.get();
    if (!morph || morph->tracks.size() < geometry.items.size())
        return false;
    out.putString("GEOMETRY_DYNAMIC");
    for (int i = 0; i < 4; ++i)
        out.putInt(0);
    out.putInt(std::int32_t(geometry.items.size()));
    for (std::size_t i = 0; i < geometry.items.size(); ++i) {
        const GeometryItem& item = geometry.items[i];
        out.putInt(0);
        out.putInt(0);
        writeMaterial(out, *item.material);
        writeMulva(out, *morph->tracks[i]);
        writeMesh(out, item.mesh->vertices);
        writeTriangles(out, item.mesh->triangles);
    }
    writeMorphParameters(out, *morph);
    out.putInt(0);
    out.putInt(0);
    return true;
}

void writeGeneral(BinaryWriter& out, const Geometry& geometry, bool bindPose)
{
    const SkinModifier* skin = geometry.skin.get();
    out.putString("QZGEOMETRY2");
    out.putInt(0);
    out.putInt(std::int32_t(geometry.items.size()));
    for (std::size_t i = 0; i < geometry.items.size(); ++i) {
        const GeometryItem& item = geometry.items[i];
        bool fromBind = bindPose && skin && i < skin->skinMeshes.size() && skin->skinMeshes[i]->bindPose.vertexCount > 0;
        writeObject(out, item, fromBind ? skin->skinMeshes[i]->bindPose : item.mesh->vertices);
    }
    std::int32_t flags = (geometry.morph ? 1 : 0) | (skin ? 2 : 0);
    out.putInt(flags);
    if (geometry.morph)
        writeMorphModifier(out, *geometry.morph);
    if (skin) {
        out.putString("QZSKINMODIFIER");
        out.putInt(0);
        writeSkeleton(out, skin->skeleton);
        out.putInt(std::int32_t(skin->skinMeshes.size()));
        for (const auto& skinMesh : skin->skinMeshes)
            writeSkinMesh(out, *skinMesh);
    }
}

}
