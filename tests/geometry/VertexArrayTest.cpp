#include "engine/geometry/VertexArray.h"

#include <gtest/gtest.h>

using namespace vertexformat;

namespace {

TEST(VertexArray, OffsetsFollowTheLayoutRule)
{
    // format: stride, offsets of normal, colour, tex0, tex1, tex2; sizes of the three sets.
    const std::uint32_t cases[][9] = {
        { 0x00B, 8, 3, 6, 6, 8, 8, 2, 0 },
        { 0x003, 6, 3, 6, 6, 6, 6, 0, 0 },
        { 0x01F, 11, 3, 6, 7, 9, 11, 2, 2 },  // five file components: 3 + 3 + 1 + 2 + 2 floats
        { 0x001, 3, 3, 3, 3, 3, 3, 0, 0 },
        { 0x004, 1, 0, 0, 1, 1, 1, 0, 0 },
        // Three-component sets, and the three-component bit winning over the two.
        { 0x1C3, 15, 3, 6, 6, 9, 12, 3, 3 },
        { 0x04B, 9, 3, 6, 6, 9, 9, 3, 0 },
        { 0x1FF, 16, 3, 6, 7, 10, 13, 3, 3 },
    };
    for (const auto& c : cases) {
        VertexArray v;
        v.allocate(4, c[0]);
        EXPECT_EQ(strideOf(c[0]), c[1]);
        EXPECT_EQ((std::vector<std::uint32_t> { v.format, v.stride, v.normalOffset, v.colourOffset, v.texOffset0,
                                                v.texOffset1, v.texOffset2, v.texSize0, v.texSize1 }),
                  std::vector<std::uint32_t>(c, c + 9));
        EXPECT_EQ(v.texSize2, c[0] == 0x1C3 || c[0] == 0x1FF ? 3 : 0);
        EXPECT_EQ(v.floatCount(), 4u * c[1]);
    }
}

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

TEST(VertexArray, CopyComponentsMovesOnlyMaskedSharedComponentsOfEqualCounts)
{
    VertexArray from, to, small, before;
    from.allocate(3, 0x01F);  // pos, normal, colour, tex0, tex1
    fill(from, 100.0f);
    to.allocate(3, 0x00B);    // pos, normal, tex0
    fill(to, 0.0f);
    before.copyFrom(to);
    to.copyComponents(from, Tex0 | Colour | Tex1);
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(std::vector<float>(to.vertex(i) + 6, to.vertex(i) + 8), std::vector<float>(from.vertex(i) + 7, from.vertex(i) + 9));
        EXPECT_EQ(std::vector<float>(to.vertex(i), to.vertex(i) + 6), std::vector<float>(before.vertex(i), before.vertex(i) + 6));
    }
    small.allocate(2, 0x00B);
    fill(small, -5.0f);
    to.copyComponents(small, AllBits);
    EXPECT_EQ(to.vertex(0)[0], before.vertex(0)[0]);
}

TEST(VertexArray, InterpolateBlendsOnlyMaskedComponents)
{
    VertexArray a, b, out, before;
    for (VertexArray* v : { &a, &b, &out })
        v->allocate(2, 0x01F);
    fill(a, 0.0f);
    fill(b, 10.0f);  // b = a + 10 everywhere
    fill(out, -1.0f);
    before.copyFrom(out);
    out.interpolate(a, b, 0.0f, AllBits);
    EXPECT_EQ(out.vertex(1)[10], a.vertex(1)[10]);
    out.interpolate(a, b, 1.0f, AllBits);
    EXPECT_EQ(out.vertex(1)[4], b.vertex(1)[4]);
    out.interpolate(a, b, 0.25f, Position | Normal);
    EXPECT_FLOAT_EQ(out.vertex(1)[2], a.vertex(1)[2] + 2.5f);
    EXPECT_FLOAT_EQ(out.vertex(1)[5], a.vertex(1)[5] + 2.5f);
    EXPECT_EQ(out.vertex(1)[7], b.vertex(1)[7]) << "texture sets left at the t = 1 result";
    EXPECT_EQ(out.vertex(0)[6], before.vertex(0)[6]) << "colours never blend";
}

}
