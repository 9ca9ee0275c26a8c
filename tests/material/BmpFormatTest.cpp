// The bitmap layout as both of its readers see it: the engine path's BmpDecoder and the
// particle sprite's DibLoader decode each hand-made file to the same picture, or both
// refuse it. Every file is decoded from a guarded buffer, so reading past its end
// crashes the test.
#include "engine/material/BmpDecoder.h"
#include "engine/material/DibLoader.h"
#include "engine/material/Image.h"
#include "tests/material/ToolPictures.h"
#include "tests/support/GuardedBuffer.h"
#include "tests/support/ImageFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using Pixels = std::vector<std::uint32_t>;  // 0xRRGGBB, top row first

// Both readers' picture of file, which claims width x height; empty when both refuse it.
Pixels readBoth(const std::string& file, std::int32_t width, std::int32_t height, const char* what)
{
    GuardedBuffer bytes(file);
    Image image;
    bool engine = decodeBmp(bytes.data(), bytes.size(), image);
    ::testing::internal::CaptureStderr();
    std::unique_ptr<DibImage> dib = decodeDib(bytes.data(), bytes.size());
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(engine, dib != nullptr) << what << ": only one reader refused";
    if (!engine || !dib)
        return {};
    EXPECT_EQ(image.bitsPerPixel(), 24u) << what;
    EXPECT_EQ(image.width(), std::uint32_t(width)) << what;
    // The sprite keeps the header's height and the file's row order.
    EXPECT_EQ(dib->width, width) << what;
    EXPECT_EQ(dib->height, height) << what;
    Pixels sprite;
    int rows = std::abs(dib->height);
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* row = dib->pixels.get() + std::size_t(height > 0 ? rows - 1 - y : y) * width * 3;
        for (int x = 0; x < width; ++x)
            sprite.push_back(std::uint32_t(row[3 * x]) << 16 | row[3 * x + 1] << 8 | row[3 * x + 2]);
    }
    Pixels pixels = rgbPixels(image);
    EXPECT_EQ(sprite, pixels) << what;
    return pixels;
}

const std::uint32_t a = 0x102030, b = 0x405060, c = 0x708090, d = 0xA0B0C0;
// The 3 x 2 picture most cases store: odd width, so every 24-bit row carries padding.
const Pixels kPicture = { d, a, 0, a, b, c };

// One row of 8-bit indices (width: their count) into palette.
BmpLayout indexRow(std::vector<std::uint32_t> palette, std::uint32_t coloursUsed, std::string indices)
{
    const auto width = std::int32_t(indices.size());
    BmpLayout layout = bmpLayout(width, 1, 8, std::move(palette), std::move(indices));
    layout.coloursUsed = coloursUsed;
    return layout;
}

struct Case {
    const char* what;
    BmpLayout layout;
    Pixels expected;  // empty: refused
    std::size_t cut = 0;  // bytes taken off the end of the file
};

}

TEST(BmpFormat, BothReadersDecodeEveryDepthAndHeaderAlike)
{
    const BmpLayout rgb = bmpLayout(3, 2, 24, {}, bmpRows24({ { d, a, 0 }, { a, b, c } }, true));
    // Palette entry 4 is black.
    const BmpLayout eight = bmpLayout(3, 2, 8, { a, b, c, d, 0 }, std::string("\x00\x01\x02\x00\x03\x00\x04\x00", 8));
    std::vector<std::uint32_t> full(256);
    for (std::uint32_t i = 0; i < 256; ++i)
        full[i] = (i << 16) | ((255 - i) << 8) | 7;
    const Case cases[] = {
        { "24-bit", rgb, kPicture },
        { "24-bit top-down", with(rgb, [](BmpLayout& s) { s.height = -2; s.pixelData = bmpRows24({ { d, a, 0 }, { a, b, c } }, false); }), kPicture },
        { "108-byte header", with(rgb, [](BmpLayout& s) { s.infoSize = 108; }), kPicture },
        { "124-byte header, gap before the pixels", with(rgb, [](BmpLayout& s) { s.infoSize = 124; s.gapBeforePixels = 6; }), kPicture },
        { "40-byte header, gap before the pixels", with(rgb, [](BmpLayout& s) { s.gapBeforePixels = 10; }), kPicture },
        { "last row without its padding", rgb, kPicture, 3 },
        { "32-bit", bmpLayout(3, 2, 32, {}, std::string("\x30\x20\x10\xFF\x60\x50\x40\xFF\x90\x80\x70\xFF"
                                                 "\xC0\xB0\xA0\xFF\x30\x20\x10\xFF\0\0\0\xFF", 24)), kPicture },
        // Short fields repeat their bits, so 16 of 31 is 0x84.
        { "16-bit 5-5-5", bmpLayout(3, 2, 16, {}, std::string("\x00\x7C\xE0\x03\x1F\x00\0\0" "\x00\x00\xFF\x7F\x10\x42\0\0", 16)),
          { 0, 0xFFFFFF, 0x848484, 0xFF0000, 0x00FF00, 0x0000FF } },
        // Masks follow a 40-byte header where a palette would; a fourth (alpha) for type 6.
        { "16-bit 5-6-5 bit fields", with(bmpLayout(3, 2, 16, { 0xF800, 0x07E0, 0x001F }, std::string("\x00\xF8\xE0\x07\x1F\x00\0\0"
              "\x00\x00\xFF\xFF\x10\x84\0\0", 16)), [](BmpLayout& s) { s.compression = 3; }),
          { 0, 0xFFFFFF, 0x848284, 0xFF0000, 0x00FF00, 0x0000FF } },
        { "32-bit alpha bit fields", with(bmpLayout(3, 2, 32, { 0xFF0000, 0x00FF00, 0x0000FF, 0 }, std::string("\x30\x20\x10\xFF"
              "\x60\x50\x40\xFF\x90\x80\x70\xFF\xC0\xB0\xA0\xFF\x30\x20\x10\xFF\0\0\0\xFF", 24)),
              [](BmpLayout& s) { s.compression = 6; }), kPicture },
        { "1-bit", bmpLayout(3, 2, 1, { a, b }, std::string("\xA0\0\0\0\x40\0\0\0", 8)), { a, b, a, b, a, b } },
        { "4-bit", bmpLayout(3, 2, 4, { a, b, c, d, 0 }, std::string("\x01\x20\0\0\x30\x40\0\0", 8)), kPicture },
        { "8-bit", eight, kPicture },
        { "8-bit, colours used", with(eight, [](BmpLayout& s) { s.coloursUsed = 5; }), kPicture },
        { "8-bit, core header with 3-byte entries", with(eight, [](BmpLayout& s) { s.infoSize = 12; s.palette.resize(256, 0); }),
          kPicture },
        { "colours used 0 reads 256 entries", indexRow(full, 0, std::string("\x00\x01\xFE\xFF", 4)),
          { full[0], full[1], full[254], full[255] } },
        // Only the three entries the file holds count.
        { "colours used beyond the file", indexRow({ a, b, c }, 0x7FFFFFFF, std::string("\x00\x02\x01\x02", 4)), { a, c, b, c } },
        // A literal 0, 1, 2 (4 bits: runs of alternating nibbles), end of line, runs of 3
        // and 0, then end of bitmap, which leaves the last pixel black.
        { "8-bit run-length", with(bmpLayout(3, 2, 8, { a, b, c, d }, std::string("\x00\x03\x00\x01\x02\x00\x00\x00"
              "\x01\x03\x01\x00\x00\x01", 14)), [](BmpLayout& s) { s.compression = 1; }), kPicture },
        { "4-bit run-length", with(bmpLayout(3, 2, 4, { a, b, c, d }, std::string("\x02\x01\x01\x22\x00\x00"
              "\x01\x33\x01\x00\x00\x01", 12)), [](BmpLayout& s) { s.compression = 2; }), kPicture },
        // 3 x 3. Bottom row: a run of 5 cut at the row's end, end of line. Middle row: a
        // delta right 1 and up 1 lands in the top row at x = 1, leaving the middle row
        // black; a literal of 4 (two past the row) follows; then end of bitmap.
        { "8-bit run-length stays inside the picture", with(bmpLayout(3, 2, 8, { a, b, c }, std::string("\x05\x01\x00\x00"
              "\x00\x02\x01\x01" "\x00\x04\x02\x00\x01\x02" "\x00\x01", 16)), [](BmpLayout& s) { s.height = 3; s.compression = 1; }),
          { 0, c, a, 0, 0, 0, b, b, b } },
    };
    for (const Case& k : cases) {
        std::string file = makeBmp(k.layout);
        file.resize(file.size() - k.cut);
        EXPECT_EQ(readBoth(file, k.layout.width, k.layout.height, k.what), k.expected) << k.what;
    }
}

TEST(BmpFormat, BothReadersRefuseDamagedAndUnsupportedFiles)
{
    const BmpLayout rgb = bmpLayout(3, 2, 24, {}, std::string(24, '\x11'));
    const BmpLayout pair = bmpLayout(3, 2, 8, { a, b }, std::string("\x01\x00\x01\x00\x00\x01\x00\x00", 8));
    // Run-length pictures over the pixel bound that end at once (legal: the rest is left
    // blank), so only the bound refuses them, before the picture is allocated.
    auto endsAtOnce = [](std::int32_t width, std::int32_t height, std::uint16_t bits) {
        BmpLayout s = bmpLayout(3, 2, bits, std::vector<std::uint32_t>(bits == 8 ? 256 : 16, 0), std::string("\0\0\0\x01", 4));
        s.width = width;
        s.height = height;
        s.compression = bits == 8 ? 1 : 2;
        return s;
    };
    for (const BmpLayout& good : { rgb, pair })
        ASSERT_EQ(readBoth(makeBmp(good), 3, 2, "the files the cases spoil").size(), 6u);
    const Case cases[] = {
        { "one byte short of the last pixel", rgb, {}, 4 },
        { "8-bit index past the palette", with(pair, [](BmpLayout& s) { s.pixelData[2] = 2; }), {} },
        { "index past the entries the file holds", indexRow({ a }, 0x7FFFFFFF, std::string("\0\0\0\x01", 4)), {} },
        { "4-bit index past the palette", with(pair, [](BmpLayout& s) { s.bitCount = 4; s.pixelData = std::string("\x01\x20\0\0\0\0\0\0", 8); }), {} },
        { "8-bit run-length index past the palette", with(pair, [](BmpLayout& s) { s.compression = 1;
              s.pixelData = std::string("\x03\x01\x00\x00\x02\x02\x00\x01", 8); }), {} },
        { "4-bit run-length index past the palette", with(pair, [](BmpLayout& s) { s.bitCount = 4; s.compression = 2;
              s.pixelData = std::string("\x00\x03\x12\x00\x00\x01", 6); }), {} },
        { "wider than 16384", with(rgb, [](BmpLayout& s) { s.width = 16385; }), {} },
        { "taller than 16384 top-down", with(rgb, [](BmpLayout& s) { s.height = -16385; }), {} },
        { "run-length 8-bit 16384 x 16384", endsAtOnce(16384, 16384, 8), {} },
        { "run-length 4-bit 4097 x 4096", endsAtOnce(4097, 4096, 4), {} },
        { "most negative height", with(rgb, [](BmpLayout& s) { s.height = INT32_MIN; }), {} },
        { "zero width", with(rgb, [](BmpLayout& s) { s.width = 0; }), {} },
        { "zero height", with(rgb, [](BmpLayout& s) { s.height = 0; }), {} },
        { "promises more rows than it holds", with(rgb, [](BmpLayout& s) { s.height = 3; }), {} },
        { "run-length 8-bit top-down", with(endsAtOnce(3, -2, 8), [](BmpLayout& s) { s.pixelData = std::string("\0\x01", 2); }), {} },
        { "run-length 4-bit top-down", with(endsAtOnce(3, -2, 4), [](BmpLayout& s) { s.pixelData = std::string("\0\x01", 2); }), {} },
        { "run-length without an end", with(endsAtOnce(3, 2, 8), [](BmpLayout& s) { s.pixelData = std::string("\x05\x00\x00\x00", 4); }), {} },
        { "run-length 24-bit", with(rgb, [](BmpLayout& s) { s.compression = 1; }), {} },
        { "JPEG inside", with(rgb, [](BmpLayout& s) { s.compression = 4; }), {} },
        { "bit fields on 24 bits", with(rgb, [](BmpLayout& s) { s.compression = 3; s.palette = { 0xF800, 0x07E0, 0x001F }; }), {} },
        { "a bit-field mask of zero", with(rgb, [](BmpLayout& s) { s.bitCount = 16; s.compression = 3; s.palette = { 0xF800, 0, 0x001F }; }), {} },
        { "bit fields without masks", with(rgb, [](BmpLayout& s) { s.bitCount = 16; s.compression = 3; }), {} },
        { "unknown header size", with(rgb, [](BmpLayout& s) { s.infoSize = 64; }), {} },
        { "pixel offset past the end", with(rgb, [](BmpLayout& s) { s.pixelOffset = 100000; }), {} },
        { "headers only", with(rgb, [](BmpLayout& s) { s.pixelData.clear(); }), {} },
        { "odd bit count", with(rgb, [](BmpLayout& s) { s.bitCount = 7; }), {} },
    };
    for (const Case& k : cases) {
        std::string file = makeBmp(k.layout);
        file.resize(file.size() - k.cut);
        EXPECT_EQ(readBoth(file, k.layout.width, k.layout.height, k.what), Pixels()) << k.what;
    }
    // Every prefix of a valid file is refused or read without touching the bytes after it.
    std::string file = makeBmp(rgb);
    for (std::size_t n = 0; n < file.size(); ++n)
        readBoth(file.substr(0, n), rgb.width, rgb.height, "prefix");
}
