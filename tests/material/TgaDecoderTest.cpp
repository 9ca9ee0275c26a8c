// TGA decoding of hand-made files: stored row and column order by the origin bits, pixel
// byte orders at each depth, the skipped ID field and colour map, colour-mapped pixels,
// run-length packets (also across rows and past the image), and the files it refuses.
// Every file is decoded from a guarded buffer.
#include "engine/material/Image.h"
#include "engine/material/TgaDecoder.h"
#include "tests/support/GuardedBuffer.h"
#include "tests/support/ImageFiles.h"

#include <gtest/gtest.h>

namespace {

// The image's bytes, or "refused".
std::string decode(const std::string& file)
{
    GuardedBuffer bytes(file);
    Image image;
    if (!decodeTga(bytes.data(), bytes.size(), image))
        return "refused";
    return std::string(reinterpret_cast<const char*>(image.pixels()), image.byteSize());
}

// Pixels 0xRRGGBB as stored in a TGA (B, G, R) or as decoded (R, G, B).
std::string bgr(std::initializer_list<std::uint32_t> pixels)
{
    LeBytes out;
    for (std::uint32_t p : pixels)
        out.u8(p).u8(p >> 8).u8(p >> 16);
    return out.str();
}
std::string rgb(std::initializer_list<std::uint32_t> pixels)
{
    LeBytes out;
    for (std::uint32_t p : pixels)
        out.u8(p >> 16).u8(p >> 8).u8(p);
    return out.str();
}

TgaLayout tga(std::uint16_t width, std::uint16_t height, std::uint8_t type, std::string data, std::uint8_t depth = 24)
{
    TgaLayout layout;
    layout.width = width;
    layout.height = height;
    layout.imageType = type;
    layout.depth = depth;
    layout.pixelData = std::move(data);
    return layout;
}

const std::uint32_t a = 0xA0A0A2, b = 0xB1B2B3, c = 0xC0C0C0, d = 0xD0D0D1;

// Indices 2, 3, 4, 3 into a three-entry map whose first entry is index 2.
TgaLayout mapped(std::uint8_t type, std::string indices, std::uint8_t entryBits, std::string map)
{
    TgaLayout layout = tga(4, 1, type, std::move(indices), 8);
    layout.colourMapType = 1;
    layout.colourMapFirst = 2;
    layout.colourMapLength = 3;
    layout.colourMapEntryBits = entryBits;
    layout.colourMap = std::move(map);
    return layout;
}

}

TEST(TgaDecoder, DecodesEachLayoutToTopRowFirstPixels)
{
    // The picture A B / C D, stored from each corner the origin bits can name.
    const std::string picture = rgb({ a, b, c, d });
    const TgaLayout bottomUp = tga(2, 2, 2, bgr({ c, d, a, b }));
    const std::string words = LeBytes().u16(0x7C00).u16(0x03E0).u16(0x001F).str();
    const std::string wordsOut = LeBytes().u16(0xF800).u16(0x07E0).u16(0x001F).u16(0x07E0).str();
    const std::uint32_t p = 0x112233, q = 0x445566, r = 0x778899, s = 0xAABBCC;
    struct Case { const char* what; TgaLayout layout; std::string expected; };
    std::vector<Case> cases = {
        { "bottom left", bottomUp, picture },
        { "top left", with(tga(2, 2, 2, bgr({ a, b, c, d })), [](TgaLayout& l) { l.descriptor = 0x20; }), picture },
        { "bottom right", with(tga(2, 2, 2, bgr({ d, c, b, a })), [](TgaLayout& l) { l.descriptor = 0x10; }), picture },
        { "top right", with(tga(2, 2, 2, bgr({ b, a, d, c })), [](TgaLayout& l) { l.descriptor = 0x30; }), picture },
        // 32 bits: B, G, R, A become R, G, B, A; 16 bits: 1-5-5-5 words the image's 5-6-5.
        { "32 bits", tga(1, 1, 2, "\x10\x20\x30\x40", 32), "\x30\x20\x10\x40" },
        { "16 bits", tga(6, 1, 2, LeBytes().u16(0x7C00).u16(0x03E0).u16(0x001F).u16(0xFFFF).u16(0).u16(0x0210).str(), 16),
          LeBytes().u16(0xF800).u16(0x07E0).u16(0x001F).u16(0xFFFF).u16(0).u16(0x0430).str() },
        { "grey", tga(3, 1, 3, "\x01\x80\xFF", 8), "\x01\x80\xFF" },
        { "run 0x83 gives four equal pixels", tga(4, 1, 10, "\x83" + bgr({ p })), rgb({ p, p, p, p }) },
        { "raw 0x02 gives three pixels in turn", tga(3, 1, 10, "\x02" + bgr({ p, q, r })), rgb({ p, q, r }) },
        { "run then raw", tga(3, 1, 10, "\x81" + bgr({ s }) + '\0' + bgr({ q })), rgb({ s, s, q }) },
        // Width 3: the run of 5 fills the bottom row and goes on into the row above.
        { "run crossing a row", tga(3, 2, 10, "\x84" + bgr({ p }) + '\0' + bgr({ q })), rgb({ p, p, q, p, p, p }) },
        { "run crossing a row, top row first", with(tga(3, 2, 10, "\x84" + bgr({ p }) + '\0' + bgr({ q })),
              [](TgaLayout& l) { l.descriptor = 0x20; }), rgb({ p, p, p, p, p, q }) },
        { "raw crossing a row", tga(2, 2, 10, "\x02" + bgr({ p, q, r }) + '\0' + bgr({ s })), rgb({ r, s, p, q }) },
        // A final packet longer than the image stops at its last pixel.
        { "run past the image", tga(2, 1, 10, "\xFF" + bgr({ p })), rgb({ p, p }) },
        { "raw past the image", tga(1, 1, 10, "\x02" + bgr({ p, q, r })), rgb({ p }) },
        { "grey run-length", tga(4, 1, 11, "\x81\x40\x01\x7F\x80", 8), "\x40\x40\x7F\x80" },
        // Colour-mapped pixels take their entry in the image's layout. (24-bit maps, raw
        // and run-length, are what ImageMagick writes: ImageLoadTest decodes those.)
        { "32-bit map", mapped(1, "\x02\x03\x04\x03", 32, "\x10\x20\x30\x40\x50\x60\x70\x80\x90\xA0\xB0\xC0"),
          "\x30\x20\x10\x40\x70\x60\x50\x80\xB0\xA0\x90\xC0\x70\x60\x50\x80" },
        { "16-bit map", mapped(1, "\x02\x03\x04\x03", 16, words), wordsOut },
        { "15-bit map", mapped(1, "\x02\x03\x04\x03", 15, words), wordsOut },
        { "run-length map", mapped(9, "\x80\x02\x82\x03", 15, words), LeBytes().u16(0xF800).u16(0x07E0).u16(0x07E0).u16(0x07E0).str() },
    };
    // An ID field and a colour map (filled with 0xEE) are skipped to reach the pixels, for
    // each way the map's entry size is counted.
    for (std::uint8_t entryBits : { 15, 16, 24, 32 })
        cases.push_back({ "ID and colour map skipped", with(bottomUp, [&](TgaLayout& l) { l.id = "made by hand";
            l.colourMapType = 1; l.colourMapLength = 3; l.colourMapEntryBits = entryBits; }), picture });
    for (const Case& k : cases)
        EXPECT_EQ(decode(makeTga(k.layout)), k.expected) << k.what;
}

TEST(TgaDecoder, RefusesTruncatedOrImpossibleFiles)
{
    const TgaLayout raw = tga(2, 2, 2, std::string(12, '\x10'));
    const TgaLayout rle = tga(2, 2, 10, "\x83" + bgr({ 0x010203 }));
    const TgaLayout indexed = with(tga(2, 2, 1, std::string("\x00\x01\x00\x01", 4), 8), [](TgaLayout& s) {
        s.colourMapType = 1; s.colourMapLength = 2; s.colourMapEntryBits = 24; s.colourMap = bgr({ a, b }); });
    for (const TgaLayout& good : { raw, rle, indexed })
        ASSERT_NE(decode(makeTga(good)), "refused");
    struct Case { const char* what; TgaLayout layout; std::size_t cut = 0; };
    const Case cases[] = {
        { "uncompressed one byte short", raw, 1 },
        { "run-length packet cut short", rle, 1 },
        { "run-length packets end before the image", with(rle, [](TgaLayout& s) { s.height = 3; }) },
        { "ID field past the end", with(raw, [](TgaLayout& s) { s.pixelData.clear(); s.id = "x"; }) },
        { "colour map past the end", with(raw, [](TgaLayout& s) { s.colourMapType = 1; s.colourMapLength = 1000;
              s.colourMapEntryBits = 24; }), 12 + 3000 - 1 },
        { "wider than 16384", with(raw, [](TgaLayout& s) { s.width = 16385; }) },
        { "zero height", with(raw, [](TgaLayout& s) { s.height = 0; }) },
        { "depth 7", with(raw, [](TgaLayout& s) { s.depth = 7; }) },
        { "colour-mapped without a map", with(raw, [](TgaLayout& s) { s.imageType = 1; s.depth = 8; }) },
        { "colour-mapped indices missing", with(indexed, [](TgaLayout& s) { s.pixelData = "abc"; }) },
        // Indices outside the map have no colour: refused, not black.
        { "index past the map", with(indexed, [](TgaLayout& s) { s.pixelData.back() = '\x02'; }) },
        { "index below the map's first", with(indexed, [](TgaLayout& s) { s.colourMapFirst = 1; }) },
        { "run-length index past the map", with(indexed, [](TgaLayout& s) { s.imageType = 9; s.pixelData = "\x83\xC8"; }) },
        // Enough run-length packets for every pixel, but more pixels than the bound.
        { "4097 x 4096 pixels", with(rle, [](TgaLayout& s) { s.width = 4097; s.height = 4096;
              s.pixelData = std::string(4 * ((4097 * 4096 + 127) / 128), '\xFF'); }) },
        { "16-bit indices", with(indexed, [](TgaLayout& s) { s.depth = 16; }) },
        { "8-bit map entries", with(indexed, [](TgaLayout& s) { s.colourMapEntryBits = 8; }) },
        { "true colour at 8 bits", with(raw, [](TgaLayout& s) { s.depth = 8; }) },
        { "grey at 16 bits", with(raw, [](TgaLayout& s) { s.imageType = 3; s.depth = 16; }) },
        { "no image data", with(raw, [](TgaLayout& s) { s.imageType = 0; }) },
        { "unknown type", with(raw, [](TgaLayout& s) { s.imageType = 42; }) },
    };
    for (const Case& c : cases) {
        std::string file = makeTga(c.layout);
        file.resize(file.size() - std::min(c.cut, file.size()));
        EXPECT_EQ(decode(file), "refused") << c.what;
    }
    // Every prefix of a run-length file is refused without passing its end.
    std::string file = makeTga(tga(3, 3, 10, "\x84" + bgr({ 1 }) + "\x03" + bgr({ 2, 3, 4, 5 })));
    for (std::size_t n = 0; n < file.size(); ++n)
        EXPECT_EQ(decode(file.substr(0, n)), "refused") << n << " bytes";
}
