#include "engine/geometry/GeometryChunks.h"

#include "engine/geometry/MorphTrack.h"
#include "engine/geometry/TriangleList.h"
#include "engine/geometry/VertexArray.h"
#include "engine/math/FileBuffer.h"

#include <cstring>

using namespace vertexformat;

std::int32_t vertexFormatOverride = 0;

namespace {

// The components a MESH chunk can carry, in file order.
struct FileComponent {
    std::uint32_t bit;
    std::uint32_t floats;
};
constexpr FileComponent kFileComponents[] = {
    { Position, 3 }, { Normal, 3 }, { Tex0, 2 }, { Tex1, 2 }, { Colour, 1 },
};

bool tagIs(FileBuffer& file, const char* tag)
{
    return std::strcmp(file.readString(), tag) == 0;
}

// Skips n bytes; false (cursor unchanged) when fewer remain.
bool skipChecked(FileBuffer& file, std::uint64_t n)
{
    if (n > file.remaining())
        return false;
    file.seek(file.tell() + std::uint32_t(n));
    return true;
}

// The format the presence flags describe; the cursor is back where it started. False
// when a present component runs past the data.
bool lookAhead(FileBuffer& file, std::uint32_t count, std::uint32_t& format)
{
    std::uint32_t start = file.tell();
    format = 0;
    bool ok = true;
    for (const FileComponent& c : kFileComponents) {
        if (file.readBool()) {
            if (!skipChecked(file, std::uint64_t(count) * c.floats * 4)) {
                ok = false;
                break;
            }
            format |= c.bit;
        }
    }
    ok = ok && !file.overrun();
    file.seek(start);
    return ok;
}

void fillDefault(VertexArray& v, std::uint32_t bit)
{
    std::uint32_t offset = v.offsetOf(bit);
    for (std::uint32_t i = 0; i < v.vertexCount; ++i) {
        float* p = v.vertex(i) + offset;
        switch (bit) {
        case Position: p[0] = p[1] = p[2] = 0.0f; break;
        case Normal: p[0] = 0.0f; p[1] = 1.0f; p[2] = 0.0f; break;
        case Colour: {
            const std::uint8_t opaqueBlack[4] = { 0, 0, 0, 255 };
            std::memcpy(p, opaqueBlack, 4);
            break;
        }
        case Tex0: case Tex1: case Tex2: p[0] = p[1] = 0.0f; break;
        default: p[0] = p[1] = p[2] = 0.0f; break;  // three-component sets
        }
    }
}

void readComponent(FileBuffer& file, VertexArray& v, std::uint32_t bit, std::uint32_t floats, bool keepColourOrder)
{
    std::uint32_t offset = v.offsetOf(bit);
    for (std::uint32_t i = 0; i < v.vertexCount; ++i) {
        float* p = v.vertex(i) + offset;
        if (bit == Colour) {
            std::uint8_t bytes[4];
            file.readBytes(bytes, 4);
            if (!keepColourOrder)
                std::swap(bytes[0], bytes[2]);
            std::memcpy(p, bytes, 4);
        } else {
            for (std::uint32_t c = 0; c < floats; ++c)
                p[c] = file.readFloat();
        }
    }
}

// Whether the array's slot for a two-component file set has room for it (a format that
// sets both bits of one texture set has a three-component slot; the third stays 0).
bool arrayTakes(const VertexArray& v, std::uint32_t bit)
{
    if (!v.has(bit))
        return false;
    if (bit == Tex0)
        return v.texSize0 >= 2;
    if (bit == Tex1)
        return v.texSize1 >= 2;
    return true;
}

}

bool readMeshChunk(FileBuffer& file, VertexArray& vertices, bool keepColourOrder)
{
    if (!tagIs(file, "MESH"))
        return false;
    std::int32_t count = file.readInt();
    if (file.overrun() || count < 0)
        return false;
    std::uint32_t v = std::uint32_t(count);
    std::uint32_t fileFormat = 0;
    if (!lookAhead(file, v, fileFormat))
        return false;
    std::uint32_t format = vertexFormatOverride != 0
        ? std::uint32_t(vertexFormatOverride) & AllBits : fileFormat;
    // A count with no data behind it would only allocate (a format override fills
    // every vertex): the chunk must carry at least one component for its vertices.
    if (v > 0 && fileFormat == 0)
        return false;
    vertices.allocate(v, format);
    if (v == 0) {
        // The array is left as it was; only the flags (all data is empty) are consumed.
        for (std::size_t i = 0; i < std::size(kFileComponents); ++i)
            file.readBool();
        return !file.overrun();
    }
    // Components no file carries, asked for by the override, are filled first, so that a
    // two-component set read into a three-component slot keeps its third value at 0.
    for (std::uint32_t bit : { Tex2, Tex0Vec3, Tex1Vec3, Tex2Vec3 }) {
        if (vertexFormatOverride != 0 && vertices.has(bit))
            fillDefault(vertices, bit);
    }
    for (const FileComponent& c : kFileComponents) {
        bool present = file.readBool();
        if (present && arrayTakes(vertices, c.bit))
            readComponent(file, vertices, c.bit, c.floats, keepColourOrder);
        else if (present)
            skipChecked(file, std::uint64_t(v) * c.floats * 4);
        else if (vertexFormatOverride != 0 && vertices.has(c.bit))
            fillDefault(vertices, c.bit);
    }
    return !file.overrun();
}

bool readTriangleChunk(FileBuffer& file, TriangleList& triangles)
{
    if (!tagIs(file, "TRIANGLELIST"))
        return false;
    std::int32_t count = file.readInt();
    if (file.overrun() || count < 0 || std::uint64_t(count) * 12 > file.remaining())
        return false;
    triangles.resize(std::uint32_t(count));
    for (std::uint32_t i = 0; i < triangles.indexCount(); ++i)
        triangles.indices[i] = std::uint16_t(std::uint32_t(file.readInt()) & 0xFFFF);
    return !file.overrun();
}

bool readMulvaChunk(FileBuffer& file, MorphTrack& track, bool keepColourOrder)
{
    if (!tagIs(file, "MULVA"))
        return false;
    file.readInt();
    file.readInt();
    std::int32_t count = file.readInt();
    // A frame is at least its tag, count and five flags.
    constexpr std::uint32_t kMinMeshBytes = 5 + 4 + 5;
    if (file.overrun() || count < 0 || std::uint64_t(count) * kMinMeshBytes > file.remaining())
        return false;
    track.frames.clear();
    track.frames.resize(std::size_t(count));
    for (VertexArray& frame : track.frames) {
        if (!readMeshChunk(file, frame, keepColourOrder))
            return false;
    }
    return true;
}
