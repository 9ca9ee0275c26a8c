#include "engine/math/Color.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Color, StoredAsBlueGreenRedAlphaAndPackedAsALittleEndianWord)
{
    const Color c(0x11, 0x22, 0x33, 0x44);
    std::uint32_t word;
    std::memcpy(&word, &c, 4);
    EXPECT_EQ(word, 0x44112233u);
    EXPECT_EQ(c.packed(), word);
    EXPECT_EQ(Color::fromPacked(0x44112233u), c);
}

TEST(Color, FloatArrayIsSharedAndOverwrittenByTheNextCall)
{
    const float* first = steelBlue.asFloatArray();
    EXPECT_FLOAT_EQ(first[0], 41.0f / 255.0f);
    EXPECT_FLOAT_EQ(first[2], 131.0f / 255.0f);
    EXPECT_EQ(first[3], 1.0f);
    EXPECT_EQ(Color(0, 0, 255, 0).asFloatArray(), first);
    EXPECT_EQ(first[0], 0.0f);
    EXPECT_EQ(first[2], 1.0f);
}

} // namespace
