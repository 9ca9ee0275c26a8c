// What only the particle sprite's bitmap loader does: bitmaps without the file header,
// reading from disk, and the message it shows for each refusal (on standard error here:
// there is no display). The pixels it shares with the engine path are BmpFormatTest's.
#include "engine/material/DibLoader.h"
#include "tests/support/GuardedBuffer.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

namespace {

struct Loaded {
    std::unique_ptr<DibImage> dib;
    std::string message;
    std::string pixels() const
    {
        return dib ? std::string(reinterpret_cast<const char*>(dib->pixels.get()), dib->byteSize()) : "";
    }
};

Loaded decode(const std::string& file)
{
    GuardedBuffer bytes(file);
    ::testing::internal::CaptureStderr();
    Loaded loaded { decodeDib(bytes.data(), bytes.size()), "" };
    loaded.message = ::testing::internal::GetCapturedStderr();
    return loaded;
}

}

TEST(DibLoader, ReadsBitmapsWithoutTheFileHeader)
{
    // Without a file header the bits follow the whole palette: 256 entries for the core
    // header, whose palette size is fixed by the depth; the entries used for the others.
    const BmpLayout eight = with(bmpLayout(3, 2, 8, { 0x102030, 0x405060, 0x708090, 0 }, std::string("\x00\x01\x02\x00\x03\x00\x01\x00", 8)),
        [](BmpLayout& s) { s.coloursUsed = 4; s.fileHeader = false; });
    const std::string expected("\x10\x20\x30\x40\x50\x60\x70\x80\x90\0\0\0\x10\x20\x30\x40\x50\x60", 18);
    for (const BmpLayout& layout : { eight, with(eight, [](BmpLayout& s) { s.infoSize = 124; }),
                                     with(eight, [](BmpLayout& s) { s.infoSize = 12; s.palette.resize(256, 0); }) }) {
        Loaded loaded = decode(makeBmp(layout));
        EXPECT_EQ(loaded.pixels(), expected) << layout.infoSize << "-byte header: " << loaded.message;
    }
}

TEST(DibLoader, ShowsWhyItRefusesAFile)
{
    const BmpLayout good = bmpLayout(3, 2, 24, {}, std::string(24, '\x11'));
    std::string cut = makeBmp(good);
    cut.resize(cut.size() - 4);
    const char* const unknown = "[Error] Unknown DIB file format.\n";
    const char* const conversion = "[Error] Image file conversion error.\n";
    const char* const memory = "[Error] Out of memory.\n";
    struct Case { const char* what; std::string file; const char* message; };
    const Case cases[] = {
        { "64-byte header", makeBmp(with(good, [](BmpLayout& s) { s.infoSize = 64; })), unknown },
        { "124-byte header cut short", makeBmp(with(good, [](BmpLayout& s) { s.infoSize = 124; })).substr(0, 14 + 100), unknown },
        { "too short for a header", "BM", unknown },
        { "bits cut short", cut, conversion },
        { "index past the palette", makeBmp(bmpLayout(3, 2, 4, { 0, 0 }, std::string("\x01\x10\0\0\x00\x20\0\0", 8))), conversion },
        { "run-length 24-bit", makeBmp(with(good, [](BmpLayout& s) { s.compression = 1; })), conversion },
        { "bit offset past the end", makeBmp(with(good, [](BmpLayout& s) { s.pixelOffset = 1 << 20; })), conversion },
        { "zero width", makeBmp(with(good, [](BmpLayout& s) { s.width = 0; })), memory },
        { "taller than 16384", makeBmp(with(good, [](BmpLayout& s) { s.height = 1 << 20; })), memory },
    };
    EXPECT_EQ(decode(makeBmp(good)).message, "");
    for (const Case& c : cases) {
        Loaded loaded = decode(c.file);
        EXPECT_EQ(loaded.dib, nullptr) << c.what;
        EXPECT_EQ(loaded.message, c.message) << c.what;
    }
}

TEST(DibLoader, LoadsFilesFromDiskAndNamesOnesThatDoNotOpen)
{
    ScratchDir dir;
    std::string missing = dir.file("Particle.bmp");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(loadDib(missing.c_str()), nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "[Error] Failed to open DIB file " + missing + ".\n\n");

    std::string path = dir.write("sprite.bmp", solidBmp(2, 3, 10, 200, 90));
    std::unique_ptr<DibImage> dib = loadDib(path.c_str());
    ASSERT_NE(dib, nullptr);
    std::string expected;
    for (int i = 0; i < 6; ++i)
        expected += "\x0A\xC8\x5A";
    EXPECT_EQ((Loaded { std::move(dib), "" }.pixels()), expected);
}
