// How MESH and TRIANGLELIST chunks turn into arrays, and which first tags load.
#include "engine/geometry/GeometryChunks.h"
#include "engine/geometry/GeometryWriter.h"
#include "engine/math/FileBuffer.h"
#include "tests/geometry/TestModels.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vertexformat;

namespace {

struct Flags {
    bool position, normal, tex0, tex1, colour;
};

// A MESH chunk of count vertices carrying the flagged components; floats count up from
// 1, colours are the bytes 0x10, 0x20, 0x30, 0x40 (+ vertex).
std::vector<std::uint8_t> meshChunk(std::uint32_t count, Flags f)
{
    BinaryWriter out;
    out.putString("MESH");
    out.putInt(std::int32_t(count));
    float next = 1.0f;
    auto floats = [&](bool present, int n) {
        out.putBool(present);
        for (std::uint32_t i = 0; present && i < count * std::uint32_t(n); ++i)
            out.putFloat(next++);
    };
    floats(f.position, 3);
    floats(f.normal, 3);
    floats(f.tex0, 2);
    floats(f.tex1, 2);
    out.putBool(f.colour);
    for (std::uint32_t i = 0; f.colour && i < count; ++i) {
        const std::uint8_t b[4] = { std::uint8_t(0x10 + i), 0x20, 0x30, 0x40 };
        out.putBytes(b, 4);
    }
    return out.take();
}

bool readMesh(const std::vector<std::uint8_t>& bytes, VertexArray& v, bool keepColourOrder = false)
{
    FileBuffer file;
    file.loadFromMemory(bytes.data(), std::uint32_t(bytes.size()));
    bool ok = readMeshChunk(file, v, keepColourOrder);
    EXPECT_EQ(file.tell(), bytes.size()) << "the whole chunk is consumed";
    return ok;
}

class OverrideGuard {
public:
    explicit OverrideGuard(std::int32_t format) { vertexFormatOverride = format; }
    ~OverrideGuard() { vertexFormatOverride = 0; }
};

TEST(MeshChunk, FormatFollowsThePresenceFlags)
{
    struct Case {
        Flags flags;
        std::uint32_t format, stride;
    };
    const Case cases[] = {
        { { true, true, false, false, false }, 0x003, 6 },
        { { true, true, true, true, true }, 0x01F, 11 },
        { { true, false, true, false, true }, 0x00D, 6 },
        { { false, false, false, true, false }, 0x010, 2 },
    };
    for (const Case& c : cases) {
        VertexArray v;
        ASSERT_TRUE(readMesh(meshChunk(3, c.flags), v));
        EXPECT_EQ(v.format, c.format);
        EXPECT_EQ(v.stride, c.stride);
        EXPECT_EQ(v.vertexCount, 3u);
    }
}

TEST(MeshChunk, AllComponentsLandInPositionNormalColourTex0Tex1Order)
{
    VertexArray v;
    ASSERT_TRUE(readMesh(meshChunk(2, { true, true, true, true, true }), v));
    // File order: 6 position floats, 6 normal, 4 tex0, 4 tex1, then colours.
    EXPECT_EQ(v.vertex(1)[0], 4.0f);   // position of vertex 1
    EXPECT_EQ(v.vertex(1)[3], 10.0f);  // normal of vertex 1
    EXPECT_EQ(v.vertex(1)[7], 15.0f);  // tex0 of vertex 1
    EXPECT_EQ(v.vertex(1)[9], 19.0f);  // tex1 of vertex 1
    std::uint8_t c[4];
    std::memcpy(c, v.vertex(1) + 6, 4);
    EXPECT_EQ(c[0], 0x30);
}

TEST(MeshChunk, ColourBytesSwapRedAndBlueUnlessTheDeviceKeepsTheirOrder)
{
    const auto bytes = meshChunk(1, { false, false, false, false, true });
    VertexArray swapped, kept;
    ASSERT_TRUE(readMesh(bytes, swapped, false));
    ASSERT_TRUE(readMesh(bytes, kept, true));
    std::uint8_t s[4], k[4];
    std::memcpy(s, swapped.data(), 4);
    std::memcpy(k, kept.data(), 4);
    EXPECT_EQ(std::vector<int>(s, s + 4), (std::vector<int> { 0x30, 0x20, 0x10, 0x40 }));
    EXPECT_EQ(std::vector<int>(k, k + 4), (std::vector<int> { 0x10, 0x20, 0x30, 0x40 }));
}

TEST(MeshChunk, OverrideBuildsItsFormatFillsDefaultsAndSkipsTheRest)
{
    OverrideGuard guard(11);
    VertexArray v;
    ASSERT_TRUE(readMesh(meshChunk(2, { true, false, true, false, true }), v));
    EXPECT_EQ(v.format, 11u);
    EXPECT_EQ(v.stride, 8u);
    for (std::uint32_t i = 0; i < 2; ++i) {
        EXPECT_EQ(v.vertex(i)[3], 0.0f);
        EXPECT_EQ(v.vertex(i)[4], 1.0f);
        EXPECT_EQ(v.vertex(i)[5], 0.0f);
    }
    EXPECT_EQ(v.vertex(1)[0], 4.0f);
    EXPECT_EQ(v.vertex(1)[6], 9.0f);  // tex0 follows the six position floats
}

TEST(MeshChunk, OverrideFillsComponentsNoFileCarries)
{
    OverrideGuard guard(std::int32_t(Position | Colour | Tex2 | Tex1Vec3 | Tex0 | Tex0Vec3));
    VertexArray v;
    ASSERT_TRUE(readMesh(meshChunk(2, { true, false, true, false, false }), v));
    EXPECT_EQ(v.texSize0, 3);
    std::uint8_t c[4];
    std::memcpy(c, v.vertex(1) + v.colourOffset, 4);
    EXPECT_EQ(std::vector<int>(c, c + 4), (std::vector<int> { 0, 0, 0, 255 }));
    // Two file components in a three-component slot: the third stays 0.
    EXPECT_EQ(v.vertex(1)[v.texOffset0], 9.0f);
    EXPECT_EQ(v.vertex(1)[v.texOffset0 + 1], 10.0f);
    EXPECT_EQ(v.vertex(1)[v.texOffset0 + 2], 0.0f);
    for (std::uint32_t k = 0; k < 3; ++k)
        EXPECT_EQ(v.vertex(1)[v.texOffset1 + k], 0.0f);
    EXPECT_EQ(v.vertex(1)[v.texOffset2], 0.0f);
}

TEST(MeshChunk, WrongTagConsumesOnlyTheTag)
{
    BinaryWriter out;
    out.putString("MESHX");
    out.putInt(3);
    FileBuffer file;
    file.loadFromMemory(out.bytes().data(), std::uint32_t(out.bytes().size()));
    VertexArray v;
    EXPECT_FALSE(readMeshChunk(file, v, false));
    EXPECT_EQ(file.tell(), 6u);
}

TEST(TriangleChunk, IndicesKeepTheirLow16Bits)
{
    BinaryWriter out;
    out.putString("TRIANGLELIST");
    out.putInt(1);
    out.putInt(65536 + 5);
    out.putInt(-1);
    out.putInt(2);
    FileBuffer file;
    file.loadFromMemory(out.bytes().data(), std::uint32_t(out.bytes().size()));
    TriangleList t;
    ASSERT_TRUE(readTriangleChunk(file, t));
    ASSERT_EQ(t.count, 1u);
    EXPECT_EQ(t.indices[0], 5);
    EXPECT_EQ(t.indices[1], 0xFFFF);
    EXPECT_EQ(t.indices[2], 2);
}

TEST(GeometryLoad, OnlyTheThreeDrawableLayoutsLoad)
{
    Geometry good;
    testmodels::addItems(good, 1, true);
    BinaryWriter s;
    GeometryWriter::writeStatic(s, good);
    std::vector<std::uint8_t> body(s.bytes().begin() + 16, s.bytes().end());  // after "GEOMETRY_STATIC"

    for (const char* tag : { "QZSKINNEDGEO", "GEOMETRY_STATIX", "qzgeometry2", "" }) {
        BinaryWriter bad;
        bad.putString(tag);
        bad.putBytes(body.data(), body.size());
        Geometry g;
        EXPECT_FALSE(testmodels::roundTrip(bad.bytes(), g, "bad.qzg")) << tag;
        EXPECT_EQ(g.name, "bad.qzg");
        EXPECT_EQ(g.itemCount(), 0u);
        EXPECT_EQ(g.bounds.radius, 0.0f);
    }
    Geometry g;
    EXPECT_TRUE(testmodels::roundTrip(s.bytes(), g));
    EXPECT_EQ(g.itemCount(), 1u);
}

TEST(GeometryLoad, ModifierFlagsDecideStaticOrDynamic)
{
    for (std::int32_t flags : { 0, 4, 1 << 20 }) {
        Geometry source;
        testmodels::addItems(source, 2, false);
        BinaryWriter out;
        GeometryWriter::writeGeneral(out, source);
        std::vector<std::uint8_t> bytes = out.take();
        std::memcpy(bytes.data() + bytes.size() - 4, &flags, 4);
        Geometry g;
        ASSERT_TRUE(testmodels::roundTrip(bytes, g));
        EXPECT_EQ(g.mesh(0).isStatic, flags == 0) << flags;
        EXPECT_EQ(g.mesh(1).isStatic, flags == 0) << flags;
        EXPECT_FALSE(g.morph || g.skin);
    }
}

TEST(GeometryLoad, MissingFileFailsAndChangesNothing)
{
    Geometry g;
    g.name = "before";
    EXPECT_FALSE(g.load("/nonexistent/dir/model.qzg"));
    EXPECT_EQ(g.name, "before");
}

}
