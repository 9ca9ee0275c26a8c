// The Image's CPU operations: allocation, fill layouts, clipped blits and the software
// mip chain.
#include "engine/material/Image.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

// An image whose pixel (x, y) has red = 1 + x + width * y and the other bytes zero.
Image numbered(std::uint32_t width, std::uint32_t height, std::uint32_t bits)
{
    Image image;
    image.allocate(width, height, bits);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x)
            image.pixelAt(x, y)[0] = std::uint8_t(1 + x + width * y);
    return image;
}

std::vector<int> reds(const Image& image)
{
    std::vector<int> out;
    for (std::uint32_t y = 0; y < image.height(); ++y)
        for (std::uint32_t x = 0; x < image.width(); ++x)
            out.push_back(image.pixelAt(x, y)[0]);
    return out;
}

}

// Pixels start zeroed; once released, every address is the shared dummy pixel, never null.
TEST(Image, AllocateGivesZeroedPixelsAndReleaseLeavesNoDanglingAddress)
{
    Image image;
    std::uint8_t* pixels = image.allocate(5, 3, 24);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(pixels, pixels + image.byteSize()), std::vector<std::uint8_t>(45, 0));
    EXPECT_EQ(image.pixelAt(2, 1), pixels + (2 + 5) * 3);
    image.release();
    EXPECT_TRUE(image.empty() && image.width() == 0 && image.bitsPerPixel() == 0);
    EXPECT_TRUE(image.pixelAt(0, 0) != nullptr && image.pixelAt(7, 9) == image.pixelAt(0, 0));
    image.fill(green); // nothing to fill
}

TEST(Image, FillWritesTheLayoutOfEachDepth)
{
    const Color colour(0x12, 0x34, 0x56, 0x78);
    struct Case {
        std::uint32_t bits;
        std::vector<std::uint8_t> pixel;
    };
    // 16 bits: red 0x12 >> 3 = 2, green 0x34 >> 2 = 13, blue 0x56 >> 3 = 10 -> 0x11AA.
    const Case cases[] = {
        { 8, { 0x12 } },
        { 16, { 0xAA, 0x11 } },
        { 24, { 0x12, 0x34, 0x56 } },
        { 32, { 0x12, 0x34, 0x56, 0x78 } },
    };
    for (const Case& c : cases) {
        Image image;
        image.allocate(3, 2, c.bits);
        image.fill(colour);
        for (std::uint32_t y = 0; y < 2; ++y)
            for (std::uint32_t x = 0; x < 3; ++x)
                EXPECT_EQ(std::vector<std::uint8_t>(image.pixelAt(x, y), image.pixelAt(x, y) + c.pixel.size()), c.pixel)
                    << c.bits << " bits at " << x << "," << y;
    }
}

TEST(Image, BlitClipsAgainstBothImages)
{
    struct Case {
        const char* what;
        int dstX, dstY, srcX, srcY, w, h;
        std::array<int, 16> expected;  // destination reds, 4 x 4, after the blit
    };
    // Source: 3 x 3 with reds 1..9 row by row; destination 4 x 4, zero.
    const Case cases[] = {
        { "inside", 1, 1, 0, 0, 3, 3, { 0, 0, 0, 0, 0, 1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9 } },
        { "negative destination", -1, -1, 0, 0, 3, 3, { 5, 6, 0, 0, 8, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 } },
        { "past right and bottom", 2, 3, 0, 0, 3, 3, { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2 } },
        { "past the source", 0, 0, 1, 1, 5, 5, { 5, 6, 0, 0, 8, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 } },
        { "negative source", 0, 0, -1, 0, 3, 1, { 0, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 } },
        { "right of the destination", 4, 0, 0, 0, 3, 3, {} },
        { "left of the destination", -5, 0, 0, 0, 3, 3, {} },
        { "huge size", 0, 0, 0, 0, 0x7FFFFFFF, 0x7FFFFFFF, { 1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 0, 0, 0, 0 } },
    };
    for (std::uint32_t bits : { 24u, 32u }) {
        Image source = numbered(3, 3, bits);
        for (const Case& c : cases) {
            Image target;
            target.allocate(4, 4, bits);
            target.blit(c.dstX, c.dstY, source, c.srcX, c.srcY, c.w, c.h);
            std::vector<int> expected(c.expected.begin(), c.expected.end());
            EXPECT_EQ(reds(target), expected) << c.what << ", " << bits << " bits";
        }
    }
}

TEST(Image, BlitCopiesNothingForOtherDepthsOrMixedDepths)
{
    struct Case { std::uint32_t sourceBits, targetBits; };
    for (Case c : { Case { 8, 8 }, Case { 16, 16 }, Case { 24, 32 }, Case { 32, 24 } }) {
        Image source = numbered(2, 2, c.sourceBits);
        Image target;
        target.allocate(2, 2, c.targetBits);
        target.blit(0, 0, source, 0, 0, 2, 2);
        EXPECT_EQ(reds(target), std::vector<int>(4, 0)) << c.sourceBits << " into " << c.targetBits;
    }
}

TEST(Image, MipChainHalvesToTheSmallerSide)
{
    struct Case { std::uint32_t width, height; int levels; };
    for (Case c : { Case { 8, 8, 4 }, Case { 16, 4, 3 }, Case { 5, 3, 2 }, Case { 1, 16, 0 }, Case { 3, 3, 2 } }) {
        Image image = numbered(c.width, c.height, 24);
        image.buildMipChain();
        EXPECT_EQ(image.levelCount(), c.levels) << c.width << "x" << c.height;
        for (int i = 1; i < c.levels; ++i) {
            EXPECT_NE(image.level(unsigned(i)), nullptr);
            EXPECT_EQ(image.levelWidth(unsigned(i)), c.width >> i);
        }
        EXPECT_EQ(image.level(unsigned(c.levels)), c.levels ? nullptr : image.level(0));
    }
}

TEST(Image, MipLevelsAverageTheirTwoByTwoBlocks)
{
    // 5 x 3: the odd column and row are not part of any block of level 1 (2 x 1).
    Image image = numbered(5, 3, 32);
    image.buildMipChain();
    ASSERT_EQ(image.levelCount(), 2);
    const std::uint8_t* level1 = image.level(1);
    EXPECT_EQ(level1[0], (1 + 2 + 6 + 7) >> 2);
    EXPECT_EQ(level1[4], (3 + 4 + 8 + 9) >> 2);

    // 16 bits: components average separately, not the bytes of the words.
    Image words;
    words.allocate(2, 2, 16);
    const std::uint16_t block[4] = { 0xF800, 0x0000, 0x001F, 0x07E0 };  // red, black, blue, green
    for (int i = 0; i < 4; ++i) {
        words.pixels()[2 * i] = std::uint8_t(block[i]);
        words.pixels()[2 * i + 1] = std::uint8_t(block[i] >> 8);
    }
    words.buildMipChain();
    ASSERT_EQ(words.levelCount(), 2);
    unsigned average = words.level(1)[0] | (words.level(1)[1] << 8);
    EXPECT_EQ(average, (7u << 11) | (15u << 5) | 7u);

    // A new allocation drops the chain built from the old pixels.
    words.allocate(8, 8, 16);
    EXPECT_EQ(words.levelCount(), 0);
    EXPECT_EQ(words.level(1), nullptr);
}
