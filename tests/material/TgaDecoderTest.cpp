// TGA decoding: stored row and column order by the origin bits, pixel byte orders at
// each depth, the skipped ID field and colour map, colour-mapped pixels, run-length
// packets (also across rows and past the image), and files that end early or that the
// decoder does not take. Every file is decoded from a guarded buffer.
#include "engine/material/Image.h"
#include "engine/material/TgaDecoder.h"
#include "tests/support/GuardedBuffer.h"
#include "tests/support/ImageFiles.h"

#include <gtest/gtest.h>

namespace {

bool decode(const std::string& file, Image& image)
{
    GuardedBuffer bytes(file);
    return decodeTga(bytes.data(), bytes.size(), image);
}

std::string bgr(std::uint32_t rgb)
{
    return LeBytes().u8(rgb).u8(rgb >> 8).u8(rgb >> 16).str();
}

std::uint32_t rgbAt(const Image& image, std::uint32_t x, std::uint32_t y)
{
    const std::uint8_t* p = image.pixelAt(x, y);
    return (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
}

// All pixels of a 24-bit image, top row first, as 0xRRGGBB.
std::vector<std::uint32_t> all(const Image& image)
{
    std::vector<std::uint32_t> out;
    for (std::uint32_t y = 0; y < image.height(); ++y)
        for (std::uint32_t x = 0; x < image.width(); ++x)
            out.push_back(rgbAt(image, x, y));
    return out;
}

TgaLayout spec24(std::uint16_t width, std::uint16_t height, std::uint8_t type, std::string data)
{
    TgaLayout layout;
    layout.width = width;
    layout.height = height;
    layout.imageType = type;
    layout.pixelData = std::move(data);
    return layout;
}

}

TEST(TgaDecoder, UncompressedRowsAndPixelOrders)
{
    // The picture A B / C D, stored from each corner the origin bits can name.
    const std::uint32_t a = 0xA0A0A2, b = 0xB1B2B3, c = 0xC0C0C0, d = 0xD0D0D1;
    const std::vector<std::uint32_t> picture = { a, b, c, d };
    struct Origin { std::uint8_t descriptor; std::vector<std::uint32_t> stored; };
    for (const Origin& o : { Origin { 0x00, { c, d, a, b } }, Origin { 0x20, { a, b, c, d } },
                             Origin { 0x10, { d, c, b, a } }, Origin { 0x30, { b, a, d, c } } }) {
        std::string data;
        for (std::uint32_t rgb : o.stored)
            data += bgr(rgb);
        TgaLayout layout = spec24(2, 2, 2, data);
        layout.descriptor = o.descriptor;
        Image image;
        ASSERT_TRUE(decode(makeTga(layout), image)) << int(o.descriptor);
        EXPECT_EQ(image.bitsPerPixel(), 24u);
        EXPECT_EQ(all(image), picture) << "descriptor " << int(o.descriptor);
    }
    const std::string rows = bgr(c) + bgr(d) + bgr(a) + bgr(b);
    Image image;

    // An ID field and a colour map (filled with 0xEE) are skipped to reach the pixels,
    // for each way the map's entry size is counted.
    for (std::uint8_t entryBits : { 15, 16, 24, 32 }) {
        TgaLayout mapped = spec24(2, 2, 2, rows);
        mapped.id = "made by hand";
        mapped.colourMapType = 1;
        mapped.colourMapLength = 3;
        mapped.colourMapEntryBits = entryBits;
        ASSERT_TRUE(decode(makeTga(mapped), image)) << int(entryBits);
        EXPECT_EQ(all(image), picture) << int(entryBits);
    }

    // 32 bits: B, G, R, A become R, G, B, A.
    TgaLayout alpha = spec24(1, 1, 2, "\x10\x20\x30\x40");
    alpha.depth = 32;
    ASSERT_TRUE(decode(makeTga(alpha), image));
    EXPECT_EQ(std::vector<std::uint8_t>(image.pixels(), image.pixels() + 4), (std::vector<std::uint8_t> { 0x30, 0x20, 0x10, 0x40 }));

    // 16 bits: 1-5-5-5 words become the image's 5-6-5 words.
    struct Word { std::uint16_t stored, image; };
    for (Word w : { Word { 0x7C00, 0xF800 }, Word { 0x03E0, 0x07E0 }, Word { 0x001F, 0x001F }, Word { 0xFFFF, 0xFFFF },
                    Word { 0x0000, 0x0000 }, Word { 0x0210, 0x0430 } }) {
        TgaLayout words = spec24(1, 1, 2, LeBytes().u16(w.stored).str());
        words.depth = 16;
        ASSERT_TRUE(decode(makeTga(words), image));
        EXPECT_EQ(image.bitsPerPixel(), 16u);
        EXPECT_EQ(image.pixels()[0] | (image.pixels()[1] << 8), w.image) << std::hex << w.stored;
    }

    // Grey: bytes copied as they are into an 8-bit image.
    TgaLayout grey = spec24(3, 1, 3, "\x01\x80\xFF");
    grey.depth = 8;
    ASSERT_TRUE(decode(makeTga(grey), image));
    EXPECT_EQ(image.bitsPerPixel(), 8u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.pixels()), 3), "\x01\x80\xFF");
}

TEST(TgaDecoder, RunLengthPackets)
{
    const std::uint32_t p = 0x112233, q = 0x445566, r = 0x778899, s = 0xAABBCC;
    struct Case {
        const char* what;
        std::uint16_t width, height;
        std::string data;
        std::vector<std::uint32_t> expected;  // top row first
        std::uint8_t descriptor = 0;
    };
    const Case cases[] = {
        { "run 0x83 gives four equal pixels", 4, 1, "\x83" + bgr(p), { p, p, p, p } },
        { "raw 0x02 gives three pixels in turn", 3, 1, "\x02" + bgr(p) + bgr(q) + bgr(r), { p, q, r } },
        { "run then raw", 3, 1, "\x81" + bgr(s) + std::string("\x00", 1) + bgr(q), { s, s, q } },
        // Width 3: the run of 5 fills the bottom row and goes on into the row above.
        { "run crossing a row", 3, 2, "\x84" + bgr(p) + std::string("\x00", 1) + bgr(q), { p, p, q, p, p, p } },
        { "run crossing a row, top row first", 3, 2, "\x84" + bgr(p) + std::string("\x00", 1) + bgr(q),
          { p, p, p, p, p, q }, 0x20 },
        { "raw crossing a row", 2, 2, "\x02" + bgr(p) + bgr(q) + bgr(r) + std::string(1, '\0') + bgr(s), { r, s, p, q } },
        // A final packet longer than the image stops at its last pixel.
        { "run past the image", 2, 1, "\xFF" + bgr(p), { p, p } },
        { "raw past the image", 1, 1, "\x02" + bgr(p) + bgr(q) + bgr(r), { p } },
    };
    for (const Case& c : cases) {
        TgaLayout layout = spec24(c.width, c.height, 10, c.data);
        layout.descriptor = c.descriptor;
        Image image;
        ASSERT_TRUE(decode(makeTga(layout), image)) << c.what;
        EXPECT_EQ(all(image), c.expected) << c.what;
    }

    // Grey run-length: one byte per pixel.
    TgaLayout grey = spec24(4, 1, 11, "\x81\x40\x01\x7F\x80");
    grey.depth = 8;
    Image image;
    ASSERT_TRUE(decode(makeTga(grey), image));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.pixels()), 4), "\x40\x40\x7F\x80");
}

TEST(TgaDecoder, ColourMappedPixelsTakeTheirEntryInTheImagesLayout)
{
    // One row of indices 2, 3, 4 and 3 into a map whose first entry is index 2. (24-bit
    // maps, raw and run-length, are what ImageMagick writes: the image loading test
    // decodes those.)
    const std::string words = LeBytes().u16(0x7C00).u16(0x03E0).u16(0x001F).str();
    const std::string wordsOut = LeBytes().u16(0xF800).u16(0x07E0).u16(0x001F).u16(0x07E0).str();
    struct Case {
        std::uint8_t entryBits;
        std::string map, expected;
    };
    const Case cases[] = {
        { 32, "\x10\x20\x30\x40\x50\x60\x70\x80\x90\xA0\xB0\xC0",
          std::string("\x30\x20\x10\x40\x70\x60\x50\x80\xB0\xA0\x90\xC0\x70\x60\x50\x80", 16) },
        { 16, words, wordsOut },
        { 15, words, wordsOut },
    };
    for (const Case& c : cases) {
        TgaLayout layout = spec24(4, 1, 1, std::string("\x02\x03\x04\x03", 4));
        layout.depth = 8;
        layout.colourMapType = 1;
        layout.colourMapFirst = 2;
        layout.colourMapLength = 3;
        layout.colourMapEntryBits = c.entryBits;
        layout.colourMap = c.map;
        Image image;
        ASSERT_TRUE(decode(makeTga(layout), image)) << int(c.entryBits);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.pixels()), image.byteSize()), c.expected)
            << int(c.entryBits) << "-bit map";
    }
}

TEST(TgaDecoder, RefusesTruncatedOrImpossibleFiles)
{
    auto with = [](TgaLayout s, auto change) { change(s); return s; };
    const TgaLayout raw = spec24(2, 2, 2, std::string(12, '\x10'));
    const TgaLayout rle = spec24(2, 2, 10, "\x83" + bgr(0x010203));
    const TgaLayout mapped = with(spec24(2, 2, 1, std::string("\x00\x01\x00\x01", 4)), [](TgaLayout& s) {
        s.depth = 8; s.colourMapType = 1; s.colourMapLength = 2; s.colourMapEntryBits = 24; });
    struct Case { const char* what; TgaLayout layout; std::size_t cut; };
    const Case cases[] = {
        { "uncompressed one byte short", raw, 1 },
        { "run-length packet cut short", rle, 1 },
        { "run-length packets end before the image", with(rle, [](TgaLayout& s) { s.height = 3; }), 0 },
        { "ID field past the end", with(raw, [](TgaLayout& s) { s.pixelData.clear(); s.id = "x"; }), 0 },
        { "colour map past the end", with(raw, [](TgaLayout& s) { s.colourMapType = 1; s.colourMapLength = 1000; s.colourMapEntryBits = 24; }), 12 + 3000 - 1 },
        { "wider than 16384", with(raw, [](TgaLayout& s) { s.width = 16385; }), 0 },
        { "zero height", with(raw, [](TgaLayout& s) { s.height = 0; }), 0 },
        { "depth 7", with(raw, [](TgaLayout& s) { s.depth = 7; }), 0 },
        { "colour-mapped without a map", with(raw, [](TgaLayout& s) { s.imageType = 1; s.depth = 8; }), 0 },
        { "colour-mapped indices missing", with(mapped, [](TgaLayout& s) { s.pixelData = "abc"; }), 0 },
        // Indices outside the map have no colour: refused, not black.
        { "index past the map", with(mapped, [](TgaLayout& s) { s.pixelData.back() = '\x02'; }), 0 },
        { "index below the map's first", with(mapped, [](TgaLayout& s) { s.colourMapFirst = 1; }), 0 },
        { "run-length index past the map", with(mapped, [](TgaLayout& s) { s.imageType = 9; s.pixelData = "\x83\xC8"; }), 0 },
        // Enough run-length packets for every pixel, but more pixels than the bound.
        { "4097 x 4096 pixels", with(rle, [](TgaLayout& s) { s.width = 4097; s.height = 4096;
              s.pixelData = std::string(4 * ((4097 * 4096 + 127) / 128), '\xFF'); }), 0 },
        { "16-bit indices", with(mapped, [](TgaLayout& s) { s.depth = 16; }), 0 },
        { "8-bit map entries", with(mapped, [](TgaLayout& s) { s.colourMapEntryBits = 8; }), 0 },
        { "true colour at 8 bits", with(raw, [](TgaLayout& s) { s.depth = 8; }), 0 },
        { "grey at 16 bits", with(raw, [](TgaLayout& s) { s.imageType = 3; s.depth = 16; }), 0 },
        { "no image data", with(raw, [](TgaLayout& s) { s.imageType = 0; }), 0 },
        { "unknown type", with(raw, [](TgaLayout& s) { s.imageType = 42; }), 0 },
    };
    for (const Case& c : cases) {
        std::string file = makeTga(c.layout);
        file.resize(file.size() - std::min(c.cut, file.size()));
        Image image;
        EXPECT_FALSE(decode(file, image)) << c.what;
    }

    // Every prefix of a run-length file is refused or read without passing its end.
    std::string file = makeTga(spec24(3, 3, 10, "\x84" + bgr(1) + "\x03" + bgr(2) + bgr(3) + bgr(4) + bgr(5)));
    for (std::size_t n = 0; n < file.size(); ++n) {
        Image prefix;
        EXPECT_FALSE(decode(file.substr(0, n), prefix)) << n << " bytes";
    }
}
