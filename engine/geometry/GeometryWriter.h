// GeometryWriter: writes ".qzg" files, every layout and chunk, in exactly the bytes the
// loader (engine/geometry/Geometry.h) reads. The data generator and the tests build
// their models in memory as Geometry objects and write them with it. It reads the
// objects it is given and owns only the bytes it produces.
//
// Colours are held in memory as red, green, blue, alpha bytes and are written in the
// file's blue, green, red, alpha order. Reserved fields are written as zeros.
#pragma once

#include "engine/geometry/BinaryWriter.h"

#include <cstdint>

class Geometry;
class MeshMaterial;
class MorphModifier;
class Skeleton;
class SkinMesh;
class TriangleList;
class VertexArray;
struct MorphTrack;

namespace GeometryWriter {

// Whole files. Static: "GEOMETRY_STATIC" with every item. Dynamic: "GEOMETRY_DYNAMIC";
// needs a morph modifier with a track per item (false otherwise, nothing written).
// General: "QZGEOMETRY2" with the morph and skin blocks the geometry has; the mesh
// arrays written are the items' own (for a skinned geometry, pass it before updating,
// or its skin meshes' bind poses are written instead when bindPose is set).
void writeStatic(BinaryWriter& out, const Geometry& geometry);
bool writeDynamic(BinaryWriter& out, const Geometry& geometry);
void writeGeneral(BinaryWriter& out, const Geometry& geometry, bool bindPose = true);

// Chunks and records.
void writeMaterial(BinaryWriter& out, const MeshMaterial& material);
// The components a file can carry (position, normal, texture sets 0 and 1 with two
// components, colour); other components of the array are not written.
void writeMesh(BinaryWriter& out, const VertexArray& vertices);
void writeTriangles(BinaryWriter& out, const TriangleList& triangles);
void writeMulva(BinaryWriter& out, const MorphTrack& track);
void writeMorphParameters(BinaryWriter& out, const MorphModifier& morph);
void writeMorphModifier(BinaryWriter& out, const MorphModifier& morph);
void writeSkeleton(BinaryWriter& out, const Skeleton& skeleton);
void writeSkinMesh(BinaryWriter& out, const SkinMesh& skinMesh);

}
