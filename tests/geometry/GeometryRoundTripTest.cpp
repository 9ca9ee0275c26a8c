// Write a model with GeometryWriter, load it back, and compare every field.
#include "engine/geometry/GeometryChunks.h"
#include "engine/geometry/GeometryWriter.h"
#include "engine/math/FileBuffer.h"
#include "tests/geometry/TestModels.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace testmodels;
using namespace vertexformat;

namespace {

void expectSameArray(const VertexArray& a, const VertexArray& b)
{
    ASSERT_EQ(a.vertexCount, b.vertexCount);
    ASSERT_EQ(a.format, b.format);
    ASSERT_EQ(a.stride, b.stride);
    ASSERT_EQ(a.floatCount(), b.floatCount());
    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.floatCount() * sizeof(float)), 0);
}

void expectSameMaterial(const MeshMaterial& a, const MeshMaterial& b)
{
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.flags, b.flags);
    EXPECT_EQ(a.alphaRef, b.alphaRef);
    EXPECT_EQ(a.shininess, b.shininess);
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(a.ambient[c], b.ambient[c]);
        EXPECT_EQ(a.diffuse[c], b.diffuse[c]);
        EXPECT_EQ(a.specular[c], b.specular[c]);
        EXPECT_EQ(a.emission[c], b.emission[c]);
    }
    for (int s = 0; s < MeshMaterial::StageCount; ++s) {
        EXPECT_EQ(a.textureNames[s], b.textureNames[s]) << s;
        EXPECT_EQ(b.textures[s], -1) << "no device: no texture";
    }
}

void expectSameTriangles(const TriangleList& a, const TriangleList& b)
{
    ASSERT_EQ(a.count, b.count);
    for (std::uint32_t i = 0; i < a.indexCount(); ++i)
        EXPECT_EQ(a.indices[i], b.indices[i]);
}

std::vector<std::uint8_t> bytesOf(void (*write)(BinaryWriter&, const Geometry&), const Geometry& g)
{
    BinaryWriter out;
    write(out, g);
    return out.take();
}

void writeGeneralBind(BinaryWriter& out, const Geometry& g) { GeometryWriter::writeGeneral(out, g); }

TEST(GeometryRoundTrip, StaticLayoutKeepsEveryItemField)
{
    Geometry g;
    addItems(g, 4, true);
    Geometry back;
    ASSERT_TRUE(roundTrip(bytesOf(GeometryWriter::writeStatic, g), back, "static.qzg"));
    EXPECT_EQ(back.name, "static.qzg");
    EXPECT_EQ(back.layout, GeometryLayout::Static);
    ASSERT_EQ(back.itemCount(), 4u);
    EXPECT_FALSE(back.morph || back.skin);
    for (std::uint32_t i = 0; i < 4; ++i) {
        expectSameArray(g.mesh(i).vertices, back.mesh(i).vertices);
        expectSameTriangles(g.mesh(i).triangles, back.mesh(i).triangles);
        expectSameMaterial(*g.items[i].material, *back.items[i].material);
        EXPECT_TRUE(back.mesh(i).isStatic);
        EXPECT_FALSE(back.mesh(i).prepared) << "nothing is uploaded without a device";
        EXPECT_EQ(back.mesh(i).bufferHandle, -1);
    }
    for (int c = 0; c < 3; ++c)
        EXPECT_FLOAT_EQ((&back.bounds.centre.x)[c], (&g.bounds.centre.x)[c]);
    EXPECT_FLOAT_EQ(back.bounds.radius, g.bounds.radius);
}

TEST(GeometryRoundTrip, GeneralLayoutWithMorphAndSkinKeepsModifiersAndStaysDynamic)
{
    struct Case { bool morph, skin; };
    for (Case c : { Case { true, false }, Case { false, true }, Case { true, true } }) {
        SCOPED_TRACE(testing::Message() << "morph " << c.morph << " skin " << c.skin);
        Geometry g;
        addItems(g, 3, false);
        if (c.morph)
            addMorph(g, 4, 3, 2.5f);
        if (c.skin)
            addSkin(g);
        Geometry back;
        ASSERT_TRUE(roundTrip(bytesOf(writeGeneralBind, g), back));
        ASSERT_EQ(back.itemCount(), 3u);
        for (std::uint32_t i = 0; i < 3; ++i) {
            EXPECT_FALSE(back.mesh(i).isStatic);
            expectSameArray(g.mesh(i).vertices, back.mesh(i).vertices);
            expectSameMaterial(*g.items[i].material, *back.items[i].material);
        }
        ASSERT_EQ(bool(back.morph), c.morph);
        ASSERT_EQ(bool(back.skin), c.skin);
        if (c.morph) {
            EXPECT_EQ(back.morph->frameCount, 3u);
            EXPECT_EQ(back.morph->duration, 2.5f);
            ASSERT_EQ(back.morph->tracks.size(), 3u);
            ASSERT_EQ(back.morph->itemBounds.size(), 3u);
            for (std::uint32_t i = 0; i < 3; ++i) {
                ASSERT_EQ(back.morph->tracks[i]->frames.size(), 4u);
                for (std::uint32_t f = 0; f < 4; ++f)
                    expectSameArray(g.morph->tracks[i]->frames[f], back.morph->tracks[i]->frames[f]);
                EXPECT_EQ(back.morph->itemBounds[i].radius, 0.0f);
            }
        }
        if (c.skin) {
            const Skeleton& a = g.skin->skeleton;
            const Skeleton& b = back.skin->skeleton;
            EXPECT_EQ(b.name, "rig");
            ASSERT_EQ(b.boneCount(), 3u);
            for (std::size_t i = 0; i < 3; ++i) {
                EXPECT_EQ(a.bones[i].name, b.bones[i].name);
                EXPECT_EQ(a.bones[i].parent, b.bones[i].parent);
                EXPECT_EQ(a.bones[i].firstChild, b.bones[i].firstChild);
                EXPECT_EQ(a.bones[i].nextSibling, b.bones[i].nextSibling);
                EXPECT_EQ(std::memcmp(a.bones[i].offset.m, b.bones[i].offset.m, 64), 0);
            }
            ASSERT_EQ(back.skin->skinMeshCount(), 3u);
            for (std::uint32_t i = 0; i < 3; ++i) {
                const SkinMesh& sa = *g.skin->skinMeshes[i];
                const SkinMesh& sb = *back.skin->skinMeshes[i];
                expectSameArray(back.mesh(i).vertices, sb.bindPose);
                ASSERT_EQ(sa.weights.size(), sb.weights.size());
                for (std::size_t v = 0; v < sa.weights.size(); ++v) {
                    EXPECT_EQ(sa.weights[v].bone0, sb.weights[v].bone0);
                    EXPECT_EQ(sa.weights[v].bone1, sb.weights[v].bone1);
                    EXPECT_EQ(sa.weights[v].weight0, sb.weights[v].weight0);
                    EXPECT_EQ(sa.weights[v].weight1, sb.weights[v].weight1);
                }
            }
        }
    }
}

TEST(GeometryRoundTrip, DynamicLayoutTakesOnlyTextureSet0FromTheBaseMesh)
{
    Geometry g;
    addItems(g, 2, false);
    addMorph(g, 3, 2, 3.0f);
    BinaryWriter out;
    ASSERT_TRUE(GeometryWriter::writeDynamic(out, g));
    Geometry back;
    ASSERT_TRUE(roundTrip(out.take(), back));
    EXPECT_EQ(back.layout, GeometryLayout::Dynamic);
    ASSERT_TRUE(back.morph);
    EXPECT_EQ(back.morph->frameCount, 2u);
    EXPECT_EQ(back.morph->duration, 3.0f);
    for (std::uint32_t i = 0; i < 2; ++i) {
        const VertexArray& source = g.mesh(i).vertices;
        const VertexArray& loaded = back.mesh(i).vertices;
        EXPECT_EQ(loaded.format, PositionNormalTex0);
        EXPECT_EQ(loaded.vertexCount, source.vertexCount);
        EXPECT_FALSE(back.mesh(i).isStatic);
        EXPECT_FALSE(back.mesh(i).prepared);
        expectSameTriangles(g.mesh(i).triangles, back.mesh(i).triangles);
        expectSameMaterial(*g.items[i].material, *back.items[i].material);
        for (std::uint32_t v = 0; v < loaded.vertexCount; ++v) {
            if (source.texSize0 == 2) {
                EXPECT_EQ(loaded.vertex(v)[6], source.vertex(v)[source.texOffset0]);
                EXPECT_EQ(loaded.vertex(v)[7], source.vertex(v)[source.texOffset0 + 1]);
            }
        }
        for (std::uint32_t f = 0; f < 3; ++f)
            expectSameArray(g.morph->tracks[i]->frames[f], back.morph->tracks[i]->frames[f]);
    }
    // Without a morph modifier there is no dynamic layout to write.
    Geometry plain;
    addItems(plain, 1, false);
    BinaryWriter none;
    EXPECT_FALSE(GeometryWriter::writeDynamic(none, plain));
    EXPECT_TRUE(none.bytes().empty());
}

// Byte-level layout of single chunks, checked against hand-assembled bytes.
TEST(GeometryChunkBytes, MeshAndTriangleChunksHaveTheFileLayout)
{
    VertexArray v;
    v.allocate(1, Position | Colour);
    v.vertex(0)[0] = 1.0f;
    v.vertex(0)[1] = 2.0f;
    v.vertex(0)[2] = 3.0f;
    const std::uint8_t rgba[4] = { 0x30, 0x20, 0x10, 0x40 };
    std::memcpy(v.vertex(0) + 3, rgba, 4);
    BinaryWriter out;
    GeometryWriter::writeMesh(out, v);
    TriangleList t;
    t.resize(1);
    t.indices = { 0, 0, 0 };
    GeometryWriter::writeTriangles(out, t);

    std::vector<std::uint8_t> expected = { 'M', 'E', 'S', 'H', 0, 1, 0, 0, 0, 1 };
    for (float f : { 1.0f, 2.0f, 3.0f }) {
        std::uint8_t b[4];
        std::memcpy(b, &f, 4);
        expected.insert(expected.end(), b, b + 4);
    }
    expected.insert(expected.end(), { 0, 0, 0, 1, 0x10, 0x20, 0x30, 0x40 });
    const char tag[] = "TRIANGLELIST";
    expected.insert(expected.end(), tag, tag + sizeof tag);
    expected.insert(expected.end(), { 1, 0, 0, 0 });
    expected.insert(expected.end(), 12, 0);
    EXPECT_EQ(out.bytes(), expected);
}

}
