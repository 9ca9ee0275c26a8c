#include "engine/geometry/VertexArray.h"

#include <gtest/gtest.h>

using namespace vertexformat;

namespace {

struct LayoutCase {
    std::uint32_t format;
    std::uint32_t stride, normal, colour, tex0, tex1, tex2;
    std::uint8_t size0, size1, size2;
};

class VertexArrayLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(VertexArrayLayout, OffsetsFollowTheLayoutRule)
{
    const LayoutCase& c = GetParam();
    VertexArray v;
    v.allocate(4, c.format);
    EXPECT_EQ(v.format, c.format);
    EXPECT_EQ(v.stride, c.stride);
    EXPECT_EQ(strideOf(c.format), c.stride);
    EXPECT_EQ(v.positionOffset, 0u);
    EXPECT_EQ(v.normalOffset, c.normal);
    EXPECT_EQ(v.colourOffset, c.colour);
    EXPECT_EQ(v.texOffset0, c.tex0);
    EXPECT_EQ(v.texOffset1, c.tex1);
    EXPECT_EQ(v.texOffset2, c.tex2);
    EXPECT_EQ(v.texSize0, c.size0);
    EXPECT_EQ(v.texSize1, c.size1);
    EXPECT_EQ(v.texSize2, c.size2);
    EXPECT_EQ(v.floatCount(), 4u * c.stride);
}

INSTANTIATE_TEST_SUITE_P(Formats, VertexArrayLayout, ::testing::Values(
    LayoutCase { 0x00B, 8, 3, 6, 6, 8, 8, 2, 0, 0 },
    LayoutCase { 0x003, 6, 3, 6, 6, 6, 6, 0, 0, 0 },
    // Five file components: 3 + 3 + 1 + 2 + 2 floats.
    LayoutCase { 0x01F, 11, 3, 6, 7, 9, 11, 2, 2, 0 },
    LayoutCase { 0x001, 3, 3, 3, 3, 3, 3, 0, 0, 0 },
    LayoutCase { 0x004, 1, 0, 0, 1, 1, 1, 0, 0, 0 },
    // Three-component sets, and the three-component bit winning over the two.
    LayoutCase { 0x1C3, 15, 3, 6, 6, 9, 12, 3, 3, 3 },
    LayoutCase { 0x04B, 9, 3, 6, 6, 9, 9, 3, 0, 0 },
    LayoutCase { 0x1FF, 16, 3, 6, 7, 10, 13, 3, 3, 3 }));

void fill(VertexArray& v, float base)
{
    for (std::size_t i = 0; i < v.floatCount(); ++i)
        v.data()[i] = base + float(i);
}

TEST(VertexArray, AllocateZeroLeavesTheArrayAsItWas)
{
    VertexArray v;
    v.allocate(3, 0x003);
    fill(v, 1.0f);
    v.allocate(0, 0x1FF);
    EXPECT_EQ(v.vertexCount, 3u);
    EXPECT_EQ(v.format, 0x003u);
    EXPECT_EQ(v.data()[17], 18.0f);
}

TEST(VertexArray, CopyComponentsMovesOnlyMaskedSharedComponents)
{
    VertexArray from, to;
    from.allocate(3, 0x01F);  // pos, normal, colour, tex0, tex1
    fill(from, 100.0f);
    to.allocate(3, 0x00B);    // pos, normal, tex0
    fill(to, 0.0f);
    VertexArray before;
    before.copyFrom(to);
    to.copyComponents(from, Tex0 | Colour | Tex1);
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(to.vertex(i)[6], from.vertex(i)[7]);
        EXPECT_EQ(to.vertex(i)[7], from.vertex(i)[8]);
        for (std::uint32_t c = 0; c < 6; ++c)
            EXPECT_EQ(to.vertex(i)[c], before.vertex(i)[c]);
    }
    // Different counts: nothing moves.
    VertexArray small;
    small.allocate(2, 0x00B);
    fill(small, -5.0f);
    to.copyComponents(small, AllBits);
    EXPECT_EQ(to.vertex(0)[0], before.vertex(0)[0]);
}

TEST(VertexArray, InterpolateBlendsPositionNormalAndTwoComponentSets)
{
    VertexArray a, b, out;
    a.allocate(2, 0x01F);
    b.allocate(2, 0x01F);
    out.allocate(2, 0x01F);
    fill(a, 0.0f);
    fill(b, 10.0f);  // b = a + 10 everywhere
    fill(out, -1.0f);
    VertexArray before;
    before.copyFrom(out);

    out.interpolate(a, b, 0.0f, AllBits);
    EXPECT_EQ(out.vertex(1)[0], a.vertex(1)[0]);
    EXPECT_EQ(out.vertex(1)[10], a.vertex(1)[10]);
    out.interpolate(a, b, 1.0f, AllBits);
    EXPECT_EQ(out.vertex(1)[4], b.vertex(1)[4]);
    out.interpolate(a, b, 0.25f, Position | Normal);
    EXPECT_FLOAT_EQ(out.vertex(1)[2], a.vertex(1)[2] + 2.5f);
    EXPECT_FLOAT_EQ(out.vertex(1)[5], a.vertex(1)[5] + 2.5f);
    // Texture sets were left at the t = 1 result; the colour was never touched.
    EXPECT_EQ(out.vertex(1)[7], b.vertex(1)[7]);
    EXPECT_EQ(out.vertex(0)[6], before.vertex(0)[6]);
}

TEST(VertexArray, InterpolateIgnoresMismatchedCountsAndMissingComponents)
{
    VertexArray a, b, out;
    a.allocate(3, 0x003);
    b.allocate(2, 0x003);
    out.allocate(3, 0x003);
    fill(a, 1.0f);
    fill(b, 2.0f);
    fill(out, 50.0f);
    out.interpolate(a, b, 0.5f, 0x003);
    EXPECT_EQ(out.vertex(2)[5], 50.0f + 17.0f);

    // A frame without normals must not be read where its normals would have been.
    VertexArray noNormals;
    noNormals.allocate(3, 0x001);
    fill(noNormals, 7.0f);
    out.interpolate(a, noNormals, 0.5f, 0x003);
    EXPECT_FLOAT_EQ(out.vertex(2)[0], 0.5f * (a.vertex(2)[0] + noNormals.vertex(2)[0]));
    EXPECT_EQ(out.vertex(2)[3], 50.0f + 15.0f);
}

}
