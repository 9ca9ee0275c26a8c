// BMP decoding: orientation, padding and palettes of well-formed files, and the damaged
// or unusual files the decoder must refuse or read safely. Every file is decoded from a
// guarded buffer, so reading past its end crashes the test.
#include "engine/material/BmpDecoder.h"
#include "engine/material/Image.h"
#include "tests/support/GuardedBuffer.h"
#include "tests/support/ImageFiles.h"

#include <gtest/gtest.h>

namespace {

bool decode(const std::string& file, Image& image)
{
    GuardedBuffer bytes(file);
    return decodeBmp(bytes.data(), bytes.size(), image);
}

std::uint32_t rgbAt(const Image& image, std::uint32_t x, std::uint32_t y)
{
    const std::uint8_t* p = image.pixelAt(x, y);
    return (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
}

// 5 x 2 pixels, top row first: odd width, so every stored row carries padding.
const std::vector<std::vector<std::uint32_t>> kPicture = {
    { 0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xABCDEF },
    { 0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F },
};

void expectPicture(const Image& image, const char* what)
{
    ASSERT_EQ(image.width(), 5u) << what;
    ASSERT_EQ(image.height(), 2u) << what;
    ASSERT_EQ(image.bitsPerPixel(), 24u) << what;
    for (std::uint32_t y = 0; y < 2; ++y)
        for (std::uint32_t x = 0; x < 5; ++x)
            EXPECT_EQ(rgbAt(image, x, y), kPicture[y][x]) << what << " at " << x << "," << y;
}

// An 8-bit file of width 4 (no padding), one row, with the given palette and indices.
BmpLayout eightBit(std::vector<std::uint32_t> palette, std::uint32_t coloursUsed, std::string indices)
{
    BmpLayout layout;
    layout.width = std::int32_t(indices.size());
    layout.bitCount = 8;
    layout.palette = std::move(palette);
    layout.coloursUsed = coloursUsed;
    layout.pixelData = std::move(indices);
    return layout;
}

}

TEST(BmpDecoder, TwentyFourBitRowsComeOutTopFirstInRgbOrder)
{
    // Bottom-up (the usual kind) and top-down (negative height) give the same picture;
    // the larger headers modern tools write are read by their own size and the pixel
    // offset, here with a gap between the headers and the pixels.
    struct Case { const char* what; std::uint32_t infoSize; bool bottomUp; std::uint32_t gap; };
    const Case cases[] = {
        { "40-byte header", 40, true, 0 },
        { "top-down", 40, false, 0 },
        { "108-byte header", 108, true, 0 },
        { "124-byte header with a gap", 124, true, 6 },
        { "40-byte header with a gap", 40, true, 10 },
    };
    for (const Case& c : cases) {
        BmpLayout layout;
        layout.width = 5;
        layout.height = c.bottomUp ? 2 : -2;
        layout.infoSize = c.infoSize;
        layout.gapBeforePixels = c.gap;
        layout.pixelData = bmpRows24(kPicture, c.bottomUp);
        Image image;
        ASSERT_TRUE(decode(makeBmp(layout), image)) << c.what;
        expectPicture(image, c.what);
    }
}

TEST(BmpDecoder, PalettesAreBoundedAndIndicesPastThemRefused)
{
    std::vector<std::uint32_t> full(256);
    for (std::uint32_t i = 0; i < 256; ++i)
        full[i] = (i << 16) | ((255 - i) << 8) | 7;
    struct Case {
        const char* what;
        BmpLayout layout;
        std::vector<std::uint32_t> expected;  // empty: refused
    };
    // A colours-used count far beyond the file: only the three entries it holds count.
    BmpLayout hugeCount = eightBit({ 0x111111, 0x222222, 0x333333 }, 0x7FFFFFFF, std::string("\x00\x02\x01\x02", 4));
    BmpLayout core = eightBit(full, 0, std::string("\x01\xFE\x00\x80", 4));
    core.infoSize = 12;
    BmpLayout fourBit = eightBit({ 0xAAAAAA, 0xBBBBBB }, 0, std::string("\x01\x12\0\0", 4));
    fourBit.bitCount = 4;
    BmpLayout rle8 = eightBit({ 0xAAAAAA, 0xBBBBBB }, 2, std::string("\x03\x01\x01\x02\x00\x01", 6));
    rle8.compression = 1;
    BmpLayout rle4 = eightBit({ 0xAAAAAA, 0xBBBBBB }, 2, std::string("\x00\x04\x12\x00\x00\x01", 6)); // a literal
    rle4.bitCount = 4;
    rle4.compression = 2;
    const Case cases[] = {
        { "colours used 0 reads 256 entries", eightBit(full, 0, std::string("\x00\x01\xFE\xFF", 4)),
          { full[0], full[1], full[254], full[255] } },
        { "palette count beyond the file", hugeCount, { 0x111111, 0x333333, 0x222222, 0x333333 } },
        { "core header, 3-byte entries", core, { full[1], full[254], full[0], full[128] } },
        { "8-bit index past the palette", eightBit({ 0xAAAAAA, 0xBBBBBB }, 2, std::string("\x01\x00\x02\x00", 4)), {} },
        { "index past the entries the file holds", eightBit({ 0x111111 }, 0x7FFFFFFF, std::string("\0\0\0\x01", 4)), {} },
        { "4-bit index past the palette", fourBit, {} },
        { "8-bit run-length index past the palette", rle8, {} },
        { "4-bit run-length index past the palette", rle4, {} },
    };
    for (const Case& c : cases) {
        Image image;
        bool decoded = decode(makeBmp(c.layout), image);
        ASSERT_EQ(decoded, !c.expected.empty()) << c.what;
        for (std::uint32_t x = 0; decoded && x < 4; ++x)
            EXPECT_EQ(rgbAt(image, x, 0), c.expected[x]) << c.what << " pixel " << x;
    }
}

TEST(BmpDecoder, RunLengthEightBitStaysInsideThePicture)
{
    // 3 x 3, stored bottom row first. Bottom row: a run of 5 (cut at the row's end) then
    // end of line. Middle row: delta right 1 and up 1 lands in the top row at x = 1, so
    // the middle row stays black; a literal of 4 (two past the row) follows.
    // End of bitmap leaves the rest black.
    BmpLayout layout = eightBit({ 0xAA0000, 0x00BB00, 0x0000CC }, 0, "");
    layout.width = 3;
    layout.height = 3;
    layout.compression = 1;
    layout.pixelData = std::string("\x05\x01\x00\x00"
                                 "\x00\x02\x01\x01"
                                 "\x00\x04\x02\x00\x01\x02"
                                 "\x00\x01", 16);
    Image image;
    ASSERT_TRUE(decode(makeBmp(layout), image));
    const std::uint32_t expected[3][3] = {
        { 0, 0x0000CC, 0xAA0000 },
        { 0, 0, 0 },
        { 0x00BB00, 0x00BB00, 0x00BB00 },
    };
    for (std::uint32_t y = 0; y < 3; ++y)
        for (std::uint32_t x = 0; x < 3; ++x)
            EXPECT_EQ(rgbAt(image, x, y), expected[y][x]) << x << "," << y;
}

TEST(BmpDecoder, RefusesDamagedAndUnsupportedFiles)
{
    BmpLayout good;
    good.width = 5;
    good.height = 2;
    good.pixelData = bmpRows24(kPicture, true);

    struct Case { const char* what; BmpLayout layout; std::size_t cut; };
    auto with = [&](auto change) { BmpLayout s = good; change(s); return s; };
    const Case cases[] = {
        { "pixel data one byte short of the last pixel", good, 1 + 1 },
        { "wider than 16384", with([](BmpLayout& s) { s.width = 16385; }), 0 },
        { "taller than 16384 top-down", with([](BmpLayout& s) { s.height = -16385; }), 0 },
        // Run-length pictures over the pixel bound that end at once (legal: the rest is
        // left blank), so only the bound refuses them, before the picture is allocated.
        { "run-length 8-bit 16384 x 16384", with([](BmpLayout& s) { s.width = s.height = 16384; s.bitCount = 8;
              s.compression = 1; s.palette.assign(256, 0); s.pixelData = std::string("\0\0\0\x01", 4); }), 0 },
        { "run-length 4-bit 4097 x 4096", with([](BmpLayout& s) { s.width = 4097; s.height = 4096; s.bitCount = 4;
              s.compression = 2; s.palette.assign(16, 0); s.pixelData = std::string("\0\0\0\x01", 4); }), 0 },
        { "most negative height", with([](BmpLayout& s) { s.height = INT32_MIN; }), 0 },
        { "zero width", with([](BmpLayout& s) { s.width = 0; }), 0 },
        { "zero height", with([](BmpLayout& s) { s.height = 0; }), 0 },
        { "promises more rows than it holds", with([](BmpLayout& s) { s.height = 3; }), 0 },
        // Run-length data that would decode (end of bitmap at once) but is stored top-down.
        { "run-length 8-bit top-down", with([](BmpLayout& s) { s.bitCount = 8; s.compression = 1; s.height = -2;
                                                                s.palette = { 0 }; s.pixelData = std::string("\0\x01", 2); }), 0 },
        { "run-length without an end", with([](BmpLayout& s) { s.bitCount = 8; s.compression = 1; s.palette = { 0 };
                                                                 s.pixelData = std::string("\x05\x00\x00\x00", 4); }), 0 },
        { "run-length 4-bit top-down", with([](BmpLayout& s) { s.bitCount = 4; s.compression = 2; s.height = -2;
                                                                s.palette = { 0 }; s.pixelData = std::string("\0\x01", 2); }), 0 },
        { "JPEG inside", with([](BmpLayout& s) { s.compression = 4; }), 0 },
        // Masks written where a 40-byte header keeps them: right after it.
        { "bit fields on 24 bits", with([](BmpLayout& s) { s.compression = 3; s.palette = { 0xF800, 0x07E0, 0x001F }; }), 0 },
        { "bit fields without masks", with([](BmpLayout& s) { s.bitCount = 16; s.compression = 3; }), 0 },
        { "unknown header size", with([](BmpLayout& s) { s.infoSize = 64; }), 0 },
        { "pixel offset past the end", with([](BmpLayout& s) { s.pixelOffset = 100000; }), 0 },
        { "headers only", with([](BmpLayout& s) { s.pixelData.clear(); }), 0 },
        { "odd bit count", with([](BmpLayout& s) { s.bitCount = 7; }), 0 },
    };
    for (const Case& c : cases) {
        std::string file = makeBmp(c.layout);
        // The last row's padding (1 byte) may be missing; cut removes that and more.
        file.resize(file.size() - c.cut);
        Image image;
        EXPECT_FALSE(decode(file, image)) << c.what;
    }
    // Without its last row's padding the file is still whole.
    std::string unpadded = makeBmp(good);
    unpadded.resize(unpadded.size() - 1);
    Image image;
    ASSERT_TRUE(decode(unpadded, image));
    expectPicture(image, "unpadded last row");

    // Every prefix of a valid file is refused or read without touching the bytes after it.
    std::string file = makeBmp(good);
    for (std::size_t n = 0; n < file.size(); ++n) {
        Image prefix;
        decode(file.substr(0, n), prefix);
    }
}
