// TGA decoding: stored row order, pixel byte orders at each depth, the skipped ID field
// and colour map, run-length packets (also across rows and past the image), and files
// that end early. Every file is decoded from a guarded buffer.
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
    // Stored rows bottom first: A B / C D stored as C D A B.
    const std::string rows = bgr(0xC0C0C0) + bgr(0xD0D0D1) + bgr(0xA0A0A2) + bgr(0xB1B2B3);
    const std::vector<std::uint32_t> picture = { 0xA0A0A2, 0xB1B2B3, 0xC0C0C0, 0xD0D0D1 };

    Image image;
    ASSERT_TRUE(decode(makeTga(spec24(2, 2, 2, rows)), image));
    EXPECT_EQ(image.bitsPerPixel(), 24u);
    EXPECT_EQ(all(image), picture);

    // The origin bit is not consulted: a top-down file (top row stored first, origin
    // bit set) comes out upside down.
    TgaLayout topDown = spec24(2, 2, 2, bgr(0xA0A0A2) + bgr(0xB1B2B3) + bgr(0xC0C0C0) + bgr(0xD0D0D1));
    topDown.descriptor = 0x20;
    ASSERT_TRUE(decode(makeTga(topDown), image));
    EXPECT_EQ(all(image), (std::vector<std::uint32_t> { 0xC0C0C0, 0xD0D0D1, 0xA0A0A2, 0xB1B2B3 }));

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
    };
    const Case cases[] = {
        { "run 0x83 gives four equal pixels", 4, 1, "\x83" + bgr(p), { p, p, p, p } },
        { "raw 0x02 gives three pixels in turn", 3, 1, "\x02" + bgr(p) + bgr(q) + bgr(r), { p, q, r } },
        { "run then raw", 3, 1, "\x81" + bgr(s) + std::string("\x00", 1) + bgr(q), { s, s, q } },
        // Width 3: the run of 5 fills the bottom row and goes on into the row above.
        { "run crossing a row", 3, 2, "\x84" + bgr(p) + std::string("\x00", 1) + bgr(q), { p, p, q, p, p, p } },
        { "raw crossing a row", 2, 2, "\x02" + bgr(p) + bgr(q) + bgr(r) + std::string(1, '\0') + bgr(s), { r, s, p, q } },
        // A final packet longer than the image stops at its last pixel.
        { "run past the image", 2, 1, "\xFF" + bgr(p), { p, p } },
        { "raw past the image", 1, 1, "\x02" + bgr(p) + bgr(q) + bgr(r), { p } },
    };
    for (const Case& c : cases) {
        Image image;
        ASSERT_TRUE(decode(makeTga(spec24(c.width, c.height, 10, c.data)), image)) << c.what;
        EXPECT_EQ(all(image), c.expected) << c.what;
    }

    // Grey run-length: one byte per pixel.
    TgaLayout grey = spec24(4, 1, 11, "\x81\x40\x01\x7F\x80");
    grey.depth = 8;
    Image image;
    ASSERT_TRUE(decode(makeTga(grey), image));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.pixels()), 4), "\x40\x40\x7F\x80");
}

TEST(TgaDecoder, RefusesTruncatedOrImpossibleFiles)
{
    auto with = [](TgaLayout s, auto change) { change(s); return s; };
    const TgaLayout raw = spec24(2, 2, 2, std::string(12, '\x10'));
    const TgaLayout rle = spec24(2, 2, 10, "\x83" + bgr(0x010203));
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
        { "colour-mapped indices missing", with(raw, [](TgaLayout& s) { s.imageType = 1; s.depth = 8; s.pixelData = "abc"; }), 0 },
    };
    for (const Case& c : cases) {
        std::string file = makeTga(c.layout);
        file.resize(file.size() - std::min(c.cut, file.size()));
        Image image;
        EXPECT_FALSE(decode(file, image)) << c.what;
    }

    // Colour-mapped and unknown types are sized but not decoded: zero pixels.
    for (std::uint8_t type : { 1, 9, 42 }) {
        TgaLayout other = spec24(2, 2, type, std::string(12, '\x55'));
        other.depth = 8;
        Image image;
        ASSERT_TRUE(decode(makeTga(other), image)) << int(type);
        for (std::size_t i = 0; i < image.byteSize(); ++i)
            ASSERT_EQ(image.pixels()[i], 0) << "type " << int(type);
    }

    // Every prefix of a run-length file is refused or read without passing its end.
    std::string file = makeTga(spec24(3, 3, 10, "\x84" + bgr(1) + "\x03" + bgr(2) + bgr(3) + bgr(4) + bgr(5)));
    for (std::size_t n = 0; n < file.size(); ++n) {
        Image prefix;
        EXPECT_FALSE(decode(file.substr(0, n), prefix)) << n << " bytes";
    }
}
