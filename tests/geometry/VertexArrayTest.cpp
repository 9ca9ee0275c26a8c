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

}
