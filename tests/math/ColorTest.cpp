#include "engine/math/Color.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Color, StoredAsBlueGreenRedAlpha)
{
    const Color c(0x11, 0x22, 0x33, 0x44);
    unsigned char bytes[4];
    std::memcpy(bytes, &c, 4);
    EXPECT_EQ(bytes[0], 0x33);
    EXPECT_EQ(bytes[1], 0x22);
    EXPECT_EQ(bytes[2], 0x11);
    EXPECT_EQ(bytes[3], 0x44);
    EXPECT_EQ(c.packed(), 0x44112233u);

    std::uint32_t word;
    std::memcpy(&word, &c, 4);   // a little-endian word read of the same bytes
    EXPECT_EQ(word, c.packed());
    EXPECT_EQ(Color::fromPacked(0x44112233u), c);
}

TEST(Color, ComponentsReadBackAsByteOver255)
{
    const Color c(255, 51, 0, 128);
    EXPECT_EQ(c.getRed(), 1.0f);
    EXPECT_FLOAT_EQ(c.getGreen(), 0.2f);
    EXPECT_EQ(c.getBlue(), 0.0f);
    EXPECT_FLOAT_EQ(c.getAlpha(), 128.0f / 255.0f);
}

TEST(Color, FloatArrayIsSharedAndOverwrittenByTheNextCall)
{
    const float* first = steelBlue.asFloatArray();
    EXPECT_FLOAT_EQ(first[0], 41.0f / 255.0f);
    EXPECT_FLOAT_EQ(first[1], 94.0f / 255.0f);
    EXPECT_FLOAT_EQ(first[2], 131.0f / 255.0f);
    EXPECT_EQ(first[3], 1.0f);

    const float* second = Color(0, 0, 255, 0).asFloatArray();
    EXPECT_EQ(second, first);
    EXPECT_EQ(first[0], 0.0f);
    EXPECT_EQ(first[2], 1.0f);
    EXPECT_EQ(first[3], 0.0f);
}

TEST(Color, EngineConstantsAreOpaqueAndDistinct)
{
    const Color all[] = {black, white, red, green, blue, yellow, cyan, magenta,
                         purple, maroon, navy, darkGreen, darkGrey, grey, lightGrey, steelBlue};
    for (const Color& c : all)
        EXPECT_EQ(c.a, 255);
    for (std::size_t i = 0; i < std::size(all); ++i)
        for (std::size_t j = i + 1; j < std::size(all); ++j)
            EXPECT_NE(all[i], all[j]) << i << " and " << j;
    // the constructor takes red first although blue is stored first
    EXPECT_EQ(red.r, 255);
    EXPECT_EQ(red.b, 0);
    EXPECT_EQ(navy.packed(), 0xFF000080u);
    EXPECT_EQ(steelBlue.packed(), 0xFF295E83u);
}

} // namespace
