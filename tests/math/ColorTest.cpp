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

} // namespace
