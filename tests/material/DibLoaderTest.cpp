// The particle sprite's bitmap loader: every bit depth and header form it reads, its
// row order, and the messages it shows (on standard error here: there is no display).
#include "engine/material/DibLoader.h"
#include "tests/material/ToolPictures.h"
#include "tests/support/GuardedBuffer.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>


namespace {

class DibLoader : public ::testing::Test {
protected:
    // Decodes file from a guarded buffer; the messages shown go to message.
    std::unique_ptr<DibImage> decode(const std::string& file)
    {
        GuardedBuffer bytes(file);
        ::testing::internal::CaptureStderr();
        std::unique_ptr<DibImage> dib = decodeDib(bytes.data(), bytes.size());
        message = ::testing::internal::GetCapturedStderr();
        return dib;
    }

    std::string message;
};

std::vector<std::uint8_t> pixels(const DibImage& dib)
{
    return std::vector<std::uint8_t>(dib.pixels.get(), dib.pixels.get() + dib.byteSize());
}

// A 3 x 2 bitmap, stored rows exactly as given (first stored row first).
BmpLayout bitmap(std::uint16_t bits, std::vector<std::uint32_t> palette, std::string rows)
{
    BmpLayout layout;
    layout.width = 3;
    layout.height = 2;
    layout.bitCount = bits;
    layout.palette = std::move(palette);
    layout.pixelData = std::move(rows);
    return layout;
}

}

TEST_F(DibLoader, ConvertsEveryDepthToRgbInFileRowOrder)
{
    const std::uint32_t a = 0x102030, b = 0x405060, c = 0x708090, d = 0xA0B0C0;
    // Expected: stored row 0 then stored row 1, R, G, B.
    const std::vector<std::uint8_t> mixed = { 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90,
                                              0xA0, 0xB0, 0xC0, 0x10, 0x20, 0x30, 0x00, 0x00, 0x00 };
    struct Case { const char* what; BmpLayout layout; std::vector<std::uint8_t> expected; };
    // Palette entry 4 is black.
    const BmpLayout eight = bitmap(8, { a, b, c, d, 0 }, std::string("\x00\x01\x02\x00\x03\x00\x04\x00", 8));
    const std::vector<std::uint8_t>& eightExpected = mixed;
    BmpLayout eightFewer = eight;
    eightFewer.coloursUsed = 5;
    // Without a file header the bits follow the whole palette: 256 entries for the core
    // header, whose palette size is fixed by the depth.
    BmpLayout core = eight;
    core.fileHeader = false;
    core.infoSize = 12;
    core.palette.resize(256, 0);
    BmpLayout bare = eightFewer;
    bare.fileHeader = false;
    BmpLayout v4 = eight;
    v4.infoSize = 108;
    BmpLayout v5 = eightFewer;
    v5.infoSize = 124;
    v5.fileHeader = false;
    // Run-length: a literal 0, 1, 2 (4 bits: runs of alternating nibbles), end of line,
    // runs of 3 and 0, then end of bitmap, which leaves the last pixel unwritten (black).
    BmpLayout rle8 = bitmap(8, { a, b, c, d }, std::string("\x00\x03\x00\x01\x02\x00\x00\x00"
                                                          "\x01\x03\x01\x00\x00\x01", 14));
    rle8.compression = 1;
    BmpLayout rle4 = bitmap(4, { a, b, c, d }, std::string("\x02\x01\x01\x22\x00\x00"
                                                          "\x01\x33\x01\x00\x00\x01", 12));
    rle4.compression = 2;
    // The masks follow a 40-byte header where a palette would.
    BmpLayout fields565 = bitmap(16, { 0xF800, 0x07E0, 0x001F },
                                 std::string("\x00\xF8\xE0\x07\x1F\x00\0\0" "\x00\x00\xFF\xFF\x10\x84\0\0", 16));
    fields565.compression = 3;
    // Alpha bit fields: a fourth mask (here none) after the header.
    BmpLayout alphaFields = bitmap(32, { 0xFF0000, 0x00FF00, 0x0000FF, 0 }, std::string("\x30\x20\x10\xFF\x60\x50\x40\xFF"
                                   "\x90\x80\x70\xFF\xC0\xB0\xA0\xFF\x30\x20\x10\xFF\0\0\0\xFF", 24));
    alphaFields.compression = 6;
    const Case cases[] = {
        { "1-bit", bitmap(1, { a, b }, std::string("\xA0\0\0\0\x40\0\0\0", 8)),
          { 0x40, 0x50, 0x60, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x10, 0x20, 0x30 } },
        { "4-bit", bitmap(4, { a, b, c, d, 0 }, std::string("\x01\x20\0\0\x30\x40\0\0", 8)), mixed },
        { "8-bit", eight, eightExpected },
        { "8-bit, colours used", eightFewer, eightExpected },
        { "8-bit, 12-byte header, no file header", core, eightExpected },
        { "8-bit, 40-byte header, no file header", bare, eightExpected },
        { "8-bit, 108-byte header", v4, eightExpected },
        { "8-bit, 124-byte header, no file header", v5, eightExpected },
        { "8-bit run-length", rle8, mixed },
        { "4-bit run-length", rle4, mixed },
        { "24-bit", bitmap(24, {}, std::string("\x30\x20\x10\x60\x50\x40\x90\x80\x70\0\0\0"
                                                 "\xC0\xB0\xA0\x30\x20\x10\0\0\0\0\0\0", 24)), mixed },
        { "32-bit", bitmap(32, {}, std::string("\x30\x20\x10\xFF\x60\x50\x40\xFF\x90\x80\x70\xFF"
                                                 "\xC0\xB0\xA0\xFF\x30\x20\x10\xFF\0\0\0\xFF", 24)), mixed },
        // 5-5-5 words; short fields repeat their bits, so 16 of 31 is 0x84.
        { "16-bit", bitmap(16, {}, std::string("\x00\x7C\xE0\x03\x1F\x00\0\0" "\x00\x00\xFF\x7F\x10\x42\0\0", 16)),
          { 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x84, 0x84, 0x84 } },
        { "32-bit alpha bit fields", alphaFields, mixed },
        { "16-bit 5-6-5 bit fields", fields565, { 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x84, 0x82, 0x84 } },
    };
    for (const Case& c : cases) {
        std::unique_ptr<DibImage> dib = decode(makeBmp(c.layout));
        ASSERT_NE(dib, nullptr) << c.what << ": " << message;
        EXPECT_EQ(dib->width, 3) << c.what;
        EXPECT_EQ(dib->height, 2) << c.what;
        EXPECT_EQ(pixels(*dib), c.expected) << c.what;
        EXPECT_EQ(message, "") << c.what;
    }

    // A top-down bitmap keeps its negative height and its stored row order.
    BmpLayout topDown = eight;
    topDown.height = -2;
    std::unique_ptr<DibImage> dib = decode(makeBmp(topDown));
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->height, -2);
    EXPECT_EQ(pixels(*dib), eightExpected);
}

TEST_F(DibLoader, ShowsWhyItRefusesAFile)
{
    const BmpLayout good = bitmap(24, {}, std::string(24, '\x11'));
    auto with = [&](auto change) { BmpLayout s = good; change(s); return s; };
    struct Case { const char* what; std::string file; const char* message; };
    std::string cut = makeBmp(good);
    cut.resize(cut.size() - 4);
    const Case cases[] = {
        { "64-byte header", makeBmp(with([](BmpLayout& s) { s.infoSize = 64; })), "[Error] Unknown DIB file format.\n" },
        { "124-byte header cut short", makeBmp(with([](BmpLayout& s) { s.infoSize = 124; })).substr(0, 14 + 100),
          "[Error] Unknown DIB file format.\n" },
        { "too short for a header", "BM", "[Error] Unknown DIB file format.\n" },
        { "bits cut short", cut, "[Error] Image file conversion error.\n" },
        { "index past the palette", makeBmp(bitmap(4, { 0, 0 }, std::string("\x01\x10\0\0\x00\x20\0\0", 8))),
          "[Error] Image file conversion error.\n" },
        { "run-length 24-bit", makeBmp(with([](BmpLayout& s) { s.compression = 1; })),
          "[Error] Image file conversion error.\n" },
        { "run-length without an end", makeBmp(with([](BmpLayout& s) {
              s.bitCount = 8; s.compression = 1; s.palette = { 0 }; s.pixelData = std::string("\x03\x00\x00\x00", 4); })),
          "[Error] Image file conversion error.\n" },
        { "bit offset past the end", makeBmp(with([](BmpLayout& s) { s.pixelOffset = 1 << 20; })),
          "[Error] Image file conversion error.\n" },
        { "zero width", makeBmp(with([](BmpLayout& s) { s.width = 0; })), "[Error] Out of memory.\n" },
        { "taller than 16384", makeBmp(with([](BmpLayout& s) { s.height = 1 << 20; })), "[Error] Out of memory.\n" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decode(c.file), nullptr) << c.what;
        EXPECT_EQ(message, c.message) << c.what;
    }
}

TEST_F(DibLoader, LoadsFilesFromDiskAndNamesOnesThatDoNotOpen)
{
    ScratchDir dir;
    std::string missing = dir.file("Particle.bmp");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(loadDib(missing.c_str()), nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "[Error] Failed to open DIB file " + missing + ".\n\n");

    // ImageMagick's bottom-up 24- and 8-bit bitmaps: rows come out bottom first.
    std::string source = dir.file("source.ppm");
    ASSERT_TRUE(makeSourcePpm(source, 13, 7));
    NetpbmPicture flipped;
    ASSERT_TRUE(toolPicture("convert " + shellQuote(source) + " -flip ppm:-", flipped));
    for (const char* options : { "-type TrueColor bmp3:", "-colors 60 -type Palette bmp3:" }) {
        std::string path = dir.file("sprite.bmp");
        ASSERT_EQ(runCommand("convert " + shellQuote(source) + " " + options + shellQuote(path)), 0);
        NetpbmPicture reference;
        ASSERT_TRUE(toolPicture("convert " + shellQuote(path) + " -flip -depth 8 ppm:-", reference));
        std::unique_ptr<DibImage> dib = loadDib(path.c_str());
        ASSERT_NE(dib, nullptr) << options;
        EXPECT_EQ(dib->width, 13);
        EXPECT_EQ(dib->height, 7);
        EXPECT_EQ(pixels(*dib), reference.samples) << options;
    }
    // The 24-bit file is lossless: it is the source, bottom row first.
    std::string path = dir.file("exact.bmp");
    ASSERT_EQ(runCommand("convert " + shellQuote(source) + " -type TrueColor bmp3:" + shellQuote(path)), 0);
    std::unique_ptr<DibImage> dib = loadDib(path.c_str());
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(pixels(*dib), flipped.samples);
}
