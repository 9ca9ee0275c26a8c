#include "engine/geometry/GeometryChunks.h"
#include "engine/geometry/GeometryWriter.h"
#include "engine/math/FileBuffer.h"
#include "tests/geometry/TestModels.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace testmodels;
using namespace vertexformat;

namespace {

// A MESH chunk of count vertices carrying the flagged components (position, normal,
// tex0, tex1, colour); floats count up from 1, colours are 0x10 + vertex, 0x20, 0x30, 0x40.
std::vector<std::uint8_t> meshChunk(std::uint32_t count, std::array<bool, 5> f)
{
    BinaryWriter out;
    out.putString("MESH");
    out.putInt(std::int32_t(count));
    float next = 1.0f;
    for (int c = 0; c < 4; ++c) {
        out.putBool(f[c]);
        for (std::uint32_t i = 0; f[c] && i < count * (c < 2 ? 3u : 2u); ++i)
            out.putFloat(next++);
    }
    out.putBool(f[4]);
    for (std::uint32_t i = 0; f[4] && i < count; ++i) {
        const std::uint8_t b[4] = { std::uint8_t(0x10 + i), 0x20, 0x30, 0x40 };
        out.putBytes(b, 4);
    }
    return out.take();
}

bool readMesh(const std::vector<std::uint8_t>& bytes, VertexArray& v, std::int32_t override = 0)
{
    FileBuffer file;
    file.loadFromMemory(bytes.data(), std::uint32_t(bytes.size()));
    vertexFormatOverride = override;
    bool ok = readMeshChunk(file, v, false);
    vertexFormatOverride = 0;
    EXPECT_TRUE(!ok || file.tell() == bytes.size()) << "the whole chunk is consumed";
    return ok;
}

// The file's order (position, normal, tex0, tex1, colour) is not the array's (position,
// normal, colour, tex0, tex1); a writer and a reader that agreed on another order would
// still round-trip, so the order is checked against bytes laid out by hand.
TEST(MeshChunk, ComponentsComeInFileOrderAndColoursSwapRedAndBlue)
{
    VertexArray v;
    ASSERT_TRUE(readMesh(meshChunk(2, { true, true, true, true, true }), v));
    EXPECT_EQ(std::make_tuple(v.format, v.stride, v.vertexCount), std::make_tuple(0x01Fu, 11u, 2u));
    // File order: 6 position floats, 6 normal, 4 tex0, 4 tex1, then colours.
    const float* v1 = v.vertex(1);
    EXPECT_EQ(std::vector<float>({ v1[0], v1[3], v1[7], v1[9] }), std::vector<float>({ 4, 10, 15, 19 }));
    EXPECT_EQ(std::memcmp(v1 + 6, "\x30\x20\x11\x40", 4), 0);
}

TEST(MeshChunk, OverrideBuildsItsFormatFillsDefaultsAndSkipsTheRest)
{
    VertexArray v;
    ASSERT_TRUE(readMesh(meshChunk(2, { true, false, true, false, true }), v, 11));
    EXPECT_EQ(std::make_pair(v.format, v.stride), std::make_pair(11u, 8u));
    for (std::uint32_t i = 0; i < 2; ++i)
        EXPECT_EQ(std::vector<float>(v.vertex(i) + 3, v.vertex(i) + 6), std::vector<float>({ 0, 1, 0 }));
    EXPECT_EQ(std::vector<float>({ v.vertex(1)[0], v.vertex(1)[6] }), std::vector<float>({ 4, 9 }));  // tex0 after six positions

    // Components no file carries: colour opaque black, a two-component set in a
    // three-component slot keeps its third value at 0.
    ASSERT_TRUE(readMesh(meshChunk(2, { true, false, true, false, false }), v,
                         std::int32_t(Position | Colour | Tex2 | Tex1Vec3 | Tex0 | Tex0Vec3)));
    EXPECT_EQ(v.texSize0, 3);
    EXPECT_EQ(std::memcmp(v.vertex(1) + v.colourOffset, "\0\0\0\xff", 4), 0);
    const float* t = v.vertex(1) + v.texOffset0;
    EXPECT_EQ(std::vector<float>(t, t + 3), std::vector<float>({ 9, 10, 0 }));
    EXPECT_EQ(v.vertex(1)[v.texOffset2], 0.0f);

    // A count without data is refused even when the override would fill it: the next
    // chunks' bytes must not count as this one's, or every frame of a track could claim
    // the rest of the file.
    std::vector<std::uint8_t> hostile = meshChunk(150, {});
    hostile.resize(hostile.size() + 200);
    VertexArray empty;
    EXPECT_FALSE(readMesh(hostile, empty, 11) || empty.floatCount());
}

TEST(TriangleChunk, IndicesKeepTheirLow16Bits)
{
    BinaryWriter out;
    out.putString("TRIANGLELIST");
    for (std::int32_t i : { 1, 65536 + 5, -1, 2 })
        out.putInt(i);
    FileBuffer file;
    file.loadFromMemory(out.bytes().data(), std::uint32_t(out.bytes().size()));
    TriangleList t;
    ASSERT_TRUE(readTriangleChunk(file, t) && t.count == 1u);
    EXPECT_EQ(std::vector<int>(t.indices.begin(), t.indices.end()), std::vector<int>({ 5, 0xFFFF, 2 }));
}

TEST(GeometryLoad, OnlyTheThreeDrawableLayoutsLoadAndAMissingFileChangesNothing)
{
    Geometry good;
    addItems(good, 1, true);
    BinaryWriter s;
    GeometryWriter::writeStatic(s, good);
    for (const char* tag : { "QZSKINNEDGEO", "GEOMETRY_STATIX", "qzgeometry2", "" }) {
        BinaryWriter bad;
        bad.putString(tag);
        bad.putBytes(s.bytes().data() + 16, s.bytes().size() - 16);  // after "GEOMETRY_STATIC"
        Geometry g;
        EXPECT_FALSE(roundTrip(bad.bytes(), g, "bad.qzg")) << tag;
        EXPECT_EQ(std::make_tuple(g.name, g.itemCount(), g.bounds.radius), std::make_tuple(std::string("bad.qzg"), 0u, 0.0f));
    }
    Geometry g;
    EXPECT_TRUE(roundTrip(s.bytes(), g) && g.itemCount() == 1u);
    EXPECT_EQ(g.bounds.radius, good.bounds.radius) << "a model built in memory is boxed as one loaded";
    g.name = "before";
    EXPECT_FALSE(g.load("/nonexistent/dir/model.qzg"));
    EXPECT_EQ(g.name, "before");
}

// What loads writes back to the same bytes (the reader keeps every field), and holds
// the source's values (the writer wrote them).
TEST(GeometryRoundTrip, EveryLayoutKeepsItemsAndModifiers)
{
    const struct { GeometryLayout layout; bool morph, skin; } cases[] = {
        { GeometryLayout::Static, false, false },
        { GeometryLayout::General, true, true },
        { GeometryLayout::General, false, true },
        { GeometryLayout::Dynamic, true, false },
    };
    auto sameFloats = [](const VertexArray& a, const VertexArray& b) {
        return a.format == b.format && a.vertexCount == b.vertexCount && std::memcmp(a.data(), b.data(), a.floatCount() * 4) == 0;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.layout) << " morph " << c.morph << " skin " << c.skin);
        const bool isStatic = c.layout == GeometryLayout::Static;
        Geometry g;
        addItems(g, 3, isStatic);
        if (c.morph)
            addMorph(g, 4, 3, 2.5f);
        if (c.skin)
            addSkin(g);
        const std::vector<std::uint8_t> bytes = written(g, c.layout);
        Geometry back;
        ASSERT_TRUE(roundTrip(bytes, back));
        EXPECT_TRUE(c.layout == GeometryLayout::Dynamic || written(back, c.layout) == bytes) << "read back unchanged";
        ASSERT_EQ(std::make_tuple(back.itemCount(), bool(back.morph), bool(back.skin)), std::make_tuple(3u, c.morph, c.skin));
        for (std::uint32_t i = 0; i < 3; ++i) {
            const MeshMaterial& x = *g.items[i].material;
            const MeshMaterial& y = *back.items[i].material;
            EXPECT_EQ(std::tie(x.name, x.flags, x.alphaRef, x.shininess, x.textureNames[3]),
                std::tie(y.name, y.flags, y.alphaRef, y.shininess, y.textureNames[3]));
            EXPECT_EQ(std::memcmp(x.emission, y.emission, 16), 0);
            EXPECT_EQ(g.mesh(i).triangles.indices, back.mesh(i).triangles.indices);
            EXPECT_EQ(back.mesh(i).isStatic, isStatic) << "meshes of the other layouts are rewritten every frame";
            const VertexArray& source = g.mesh(i).vertices;
            const VertexArray& loaded = back.mesh(i).vertices;
            // The dynamic layout takes only texture set 0 from the base mesh.
            if (c.layout != GeometryLayout::Dynamic) {
                EXPECT_TRUE(sameFloats(source, loaded));
            } else if (source.texSize0 == 2) {
                EXPECT_EQ(loaded.vertex(2)[7], source.vertex(2)[source.texOffset0 + 1]);
            }
            if (c.morph) {
                EXPECT_TRUE(sameFloats(g.morph->tracks[i]->frames[3], back.morph->tracks[i]->frames.at(3)));
            }
            if (c.skin) {
                const SkinMesh& sa = *g.skin->skinMeshes[i];
                const SkinMesh& sb = *back.skin->skinMeshes[i];
                EXPECT_TRUE(sameFloats(loaded, sb.bindPose));
                ASSERT_EQ(sa.weights.size(), sb.weights.size());
                EXPECT_EQ(std::memcmp(sa.weights.data(), sb.weights.data(), sa.weights.size() * sizeof(SkinWeight)), 0);
                const Bone& a = g.skin->skeleton.bones[i];
                const Bone& b = back.skin->skeleton.bones.at(i);
                EXPECT_EQ(std::tie(a.name, a.parent, a.firstChild, a.nextSibling), std::tie(b.name, b.parent, b.firstChild, b.nextSibling));
                EXPECT_EQ(std::memcmp(a.offset.m, b.offset.m, 64), 0);
            }
        }
        EXPECT_TRUE(!c.morph || std::tie(back.morph->frameCount, back.morph->duration) == std::make_tuple(3u, 2.5f));
    }
}

}
