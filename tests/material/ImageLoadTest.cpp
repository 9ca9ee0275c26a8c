// Image::load: reading through the file-system registry, the choice of decoder by the
// name's last three letters, and pictures written by ImageMagick and cjpeg decoding to
// what those tools' own decoders make of them.
#include "engine/core/EngineHooks.h"
#include "engine/core/FileSystems.h"
#include "engine/core/qzFileSystem.h"
#include "engine/material/Image.h"
#include "tests/material/ToolPictures.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

namespace {

class ImageLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        startEngineServices();
        if (!currentFileSystem()) {
            registerFileSystem(new qzFileSystem);
            selectFileSystem(FS_SLOT_DISK, "");
            ownDisk = true;
        }
        ASSERT_TRUE(makeSourcePpm(source(), 37, 23));
    }
    void TearDown() override
    {
        stopEngineServices();
        if (ownDisk)
            shutdownFileSystems();
    }

    std::string source() const { return dir.file("source.ppm"); }

    // Runs "convert SOURCE OPTIONS FORMATNAME" (format such as "bmp3:" or empty) and
    // returns NAME's full path.
    std::string convertTo(const std::string& options, const std::string& format, const std::string& name)
    {
        std::string path = dir.file(name);
        EXPECT_EQ(runCommand("convert " + shellQuote(source()) + " " + options + " " + format + shellQuote(path)), 0)
            << name;
        return path;
    }

    ScratchDir dir;
    bool ownDisk = false;
};

}

TEST_F(ImageLoad, ChoosesTheDecoderByTheLastThreeLetters)
{
    std::string jpeg = readWholeFile(convertTo("", "", "picture.jpg"));
    std::string bmp = readWholeFile(convertTo("", "bmp3:", "picture.bmp"));
    struct Case { const char* name; const std::string* bytes; bool loads; };
    const Case cases[] = {
        { "a.JpG", &jpeg, true },
        { "ajpg", &jpeg, true },        // no dot is needed
        { "a.jpeg", &jpeg, false },     // the last three letters are "peg"
        { "a.png", &jpeg, false },
        { "a.bMp", &bmp, true },
        { "a.jpg", &bmp, false },       // a bitmap named as a JPEG fails in the JPEG decoder
        { "jp", &jpeg, false },
    };
    for (const Case& c : cases) {
        std::string path = dir.write(c.name, *c.bytes);
        Image image;
        image.allocate(2, 2, 32);
        EXPECT_EQ(image.load(path.c_str()), c.loads) << c.name;
        if (c.loads) {
            EXPECT_EQ(image.width(), 37u) << c.name;
        } else {
            EXPECT_TRUE(image.empty()) << c.name;
            EXPECT_EQ(image.pixels(), nullptr) << c.name;
        }
    }
    Image image;
    EXPECT_FALSE(image.load(dir.file("missing.jpg").c_str()));
    EXPECT_FALSE(image.load(nullptr));
    EXPECT_TRUE(image.empty());
}

TEST_F(ImageLoad, ToolWrittenFilesDecodeAsTheToolsDecodeThem)
{
    // TGA: ImageMagick stores the top row first while labelling its files bottom-left,
    // so -flip makes a true bottom-up file and -orient TopLeft a true top-down one; it
    // also ignores the origin bit when reading, hence -auto-orient on the reference.
    // BMP3 writes the 40-byte header; plain BMP the 124-byte one, with bit-field masks
    // for 16 and 32 bits.
    struct Case {
        const char* what;
        const char* options;
        const char* format;
        const char* name;
        std::uint32_t bits;
        const char* reference;
    };
    const Case cases[] = {
        { "24-bit BMP3", "-type TrueColor", "bmp3:", "a.bmp", 24, "ppm:-" },
        { "24-bit BMP v5", "-type TrueColor", "bmp:", "b.bmp", 24, "ppm:-" },
        { "8-bit run-length BMP3", "-colors 200 -type Palette", "bmp3:", "c.bmp", 24, "ppm:-" },
        { "8-bit raw BMP3", "-colors 200 -type Palette -compress none", "bmp3:", "d.bmp", 24, "ppm:-" },
        { "24-bit TGA", "-flip -orient BottomLeft", "", "e.tga", 24, "-auto-orient ppm:-" },
        { "run-length TGA", "-flip -orient BottomLeft -compress RLE", "", "f.tga", 24, "-auto-orient ppm:-" },
        { "32-bit TGA", "-alpha set -channel A -fx 0.5+0.5*i/w -flip -orient BottomLeft", "", "g.tga", 32,
          "-auto-orient pam:-" },
        { "grey TGA", "-colorspace Gray -type Grayscale -flip -orient BottomLeft", "", "h.tga", 8,
          "-auto-orient pgm:-" },
        { "JPEG", "", "", "i.jpg", 24, "ppm:-" },
        { "1-bit BMP3", "-colors 2 -type Palette", "bmp3:", "j.bmp", 24, "ppm:-" },
        { "4-bit BMP3", "-colors 16 -type Palette", "bmp3:", "k.bmp", 24, "ppm:-" },
        { "16-bit BMP v5", "-define bmp:subtype=RGB565", "bmp:", "l.bmp", 24, "ppm:-" },
        { "32-bit BMP v5", "-alpha set", "bmp:", "m.bmp", 24, "ppm:-" },
        { "top-down TGA", "-orient TopLeft", "", "n.tga", 24, "-auto-orient ppm:-" },
        { "top-down run-length TGA", "-orient TopLeft -compress RLE", "", "o.tga", 24, "-auto-orient ppm:-" },
        { "colour-mapped TGA", "-type Palette -orient TopLeft", "", "p.tga", 24, "-auto-orient ppm:-" },
        { "colour-mapped run-length TGA", "-type Palette -compress RLE -flip -orient BottomLeft", "", "q.tga", 24,
          "-auto-orient ppm:-" },
    };
    for (const Case& c : cases) {
        std::string path = convertTo(c.options, c.format, c.name);
        Image image;
        ASSERT_TRUE(image.load(path.c_str())) << c.what;
        EXPECT_EQ(image.bitsPerPixel(), c.bits) << c.what;
        NetpbmPicture reference;
        std::string tool = std::string(c.name).ends_with(".jpg") ? "djpeg " + shellQuote(path)
                                                                  : "convert " + shellQuote(path) + " -depth 8 " + c.reference;
        ASSERT_TRUE(toolPicture(tool, reference)) << c.what;
        EXPECT_EQ(largestDifference(image, reference), 0) << c.what;
    }
}

TEST_F(ImageLoad, ReadsThroughTheCurrentDirectoryOfTheFileSystem)
{
    // A relative name is found from the file system's current directory, with the
    // disk's case-insensitive fallback for names written in another case.
    convertTo("", "bmp3:", "Sprite.BMP");
    std::string before = currentFileSystem()->getCurrentDirectory();
    setDirectory(dir.path().c_str());
    Image exact, otherCase;
    EXPECT_TRUE(exact.load("Sprite.BMP"));
    EXPECT_TRUE(otherCase.load("sprite.bmp"));
    setDirectory(before.c_str());
    EXPECT_EQ(exact.width(), 37u);
    EXPECT_EQ(otherCase.height(), 23u);
}
