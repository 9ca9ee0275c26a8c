// Readers of the ".qzg" chunks that carry raw data: MESH (a VertexArray), TRIANGLELIST
// (a TriangleList) and MULVA (a MorphTrack), and the vertexFormatOverride they obey.
// They read from a FileBuffer's cursor and check every count against the bytes left, so
// hostile data is refused instead of read past. They build objects; they do not decide
// what a geometry does with them (engine/geometry/Geometry.h does).
#pragma once

#include <cstdint>

class FileBuffer;
class TriangleList;
class VertexArray;
struct MorphTrack;

// While not 0, every MESH chunk builds its array in this format instead of the one its
// presence flags give (the cel-shading loader sets 11 around its loads). Default 0.
extern std::int32_t vertexFormatOverride;

// Reads a MESH chunk into vertices. keepColourOrder stores packed colours as read
// (blue, green, red, alpha); otherwise bytes 0 and 2 are exchanged so they end up red,
// green, blue, alpha. False on a wrong tag (only the tag consumed), a negative count,
// components that run past the data, or vertices without any component; vertices may
// then be half filled and must be discarded. A count of 0 leaves vertices as they were.
bool readMeshChunk(FileBuffer& file, VertexArray& vertices, bool keepColourOrder);
// Reads a TRIANGLELIST chunk; each index keeps the low 16 bits of its int32. False on a
// wrong tag, a negative count or indices that run past the data.
bool readTriangleChunk(FileBuffer& file, TriangleList& triangles);
// Reads a MULVA chunk (a morph track's frames). False on a wrong tag, a bad count or a
// frame that fails to read.
bool readMulvaChunk(FileBuffer& file, MorphTrack& track, bool keepColourOrder);
