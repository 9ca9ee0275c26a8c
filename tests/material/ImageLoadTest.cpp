// Image::load: reading through the file-system registry, the choice of decoder by the
// name's last three letters, and pictures written by ImageMagick and cjpeg decoding to
// what those tools' own decoders make of them.
#include "engine/material/Image.h"
#include "tests/material/ToolPictures.h"
#include "tests/support/MountedDisk.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

namespace {

class ImageLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(disk.ok());
        ASSERT_TRUE(makeSourcePpm(dir.file("source.ppm"), 37, 23));
    }

    // Runs "convert source.ppm OPTIONS FORMAT NAME" (format such as "bmp3:" or empty)
    // and returns NAME's bytes.
    std::string convert(const std::string& options, const std::string& format, const std::string& name)
    {
        std::string path = dir.file(name);
        EXPECT_EQ(runCommand("convert " + shellQuote(dir.file("source.ppm")) + " " + options + " " + format
                      + shellQuote(path)), 0) << name;
        return readWholeFile(path);
    }

    ScratchDir dir;
    MountedDisk disk { dir.path() };
};

}

TEST_F(ImageLoad, ChoosesTheDecoderByTheLastThreeLettersOfARelativeName)
{
    std::string jpeg = convert("", "", "picture.jpg");
    std::string bmp = convert("", "bmp3:", "picture.bmp");
    struct Case { const char* written; const char* loaded; const std::string& bytes; bool loads; };
    const Case cases[] = {
        { "a.JpG", "a.JpG", jpeg, true },
        { "ajpg", "ajpg", jpeg, true },        // no dot is needed
        { "a.jpeg", "a.jpeg", jpeg, false },   // the last three letters are "peg"
        { "a.png", "a.png", jpeg, false },
        { "a.bMp", "a.bMp", bmp, true },
        { "b.jpg", "b.jpg", bmp, false },      // a bitmap named as a JPEG fails in the JPEG decoder
        { "jp", "jp", jpeg, false },
        { "Sprite.BMP", "sprite.bmp", bmp, true },  // the disk's case-insensitive fallback
        { "c.jpg", "missing.jpg", jpeg, false },
    };
    for (const Case& c : cases) {
        dir.write(c.written, c.bytes);
        Image image;
        image.allocate(2, 2, 32);
        EXPECT_EQ(image.load(c.loaded), c.loads) << c.loaded;
        EXPECT_EQ(image.width(), c.loads ? 37u : 0u) << c.loaded;
        EXPECT_EQ(image.pixels() == nullptr, !c.loads) << c.loaded;
    }
    Image image;
    EXPECT_FALSE(image.load(nullptr));
}

TEST_F(ImageLoad, ToolWrittenFilesDecodeAsTheToolsDecodeThem)
{
    // TGA: ImageMagick stores the top row first while labelling its files bottom-left,
    // so -flip makes a true bottom-up file and -orient TopLeft a true top-down one; it
    // also ignores the origin bit when reading, hence -auto-orient on the reference.
    // BMP3 writes the 40-byte header; plain BMP the 124-byte one, with bit-field masks
    // for 16 and 32 bits.
    const char* const bottomUp = "-flip -orient BottomLeft ";
    struct Case { std::string options; const char* format; const char* name; std::uint32_t bits; const char* reference; };
    const Case cases[] = {
        { "-type TrueColor", "bmp3:", "a.bmp", 24, "ppm:-" },
        { "-type TrueColor", "bmp:", "b.bmp", 24, "ppm:-" },
        { "-colors 200 -type Palette", "bmp3:", "c.bmp", 24, "ppm:-" },  // run-length
        { "-colors 16 -type Palette", "bmp3:", "f.bmp", 24, "ppm:-" },
        { "-define bmp:subtype=RGB565", "bmp:", "g.bmp", 24, "ppm:-" },
        { "-alpha set", "bmp:", "h.bmp", 24, "ppm:-" },
        { bottomUp, "", "i.tga", 24, "-auto-orient ppm:-" },
        { bottomUp + std::string("-compress RLE"), "", "j.tga", 24, "-auto-orient ppm:-" },
        { "-alpha set -channel A -fx 0.5+0.5*i/w " + std::string(bottomUp), "", "k.tga", 32, "-auto-orient pam:-" },
        { "-colorspace Gray -type Grayscale " + std::string(bottomUp), "", "l.tga", 8, "-auto-orient pgm:-" },
        { "-orient TopLeft", "", "m.tga", 24, "-auto-orient ppm:-" },
        { "-orient TopLeft -compress RLE", "", "n.tga", 24, "-auto-orient ppm:-" },
        { "-type Palette -orient TopLeft", "", "o.tga", 24, "-auto-orient ppm:-" },
        { "-type Palette -compress RLE " + std::string(bottomUp), "", "p.tga", 24, "-auto-orient ppm:-" },
        { "", "", "q.jpg", 24, "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options + " " + c.format + c.name);
        convert(c.options, c.format, c.name);
        Image image;
        ASSERT_TRUE(image.load(c.name));
        EXPECT_EQ(image.bitsPerPixel(), c.bits);
        std::string path = shellQuote(dir.file(c.name));
        NetpbmPicture reference;
        ASSERT_TRUE(toolPicture(*c.reference ? "convert " + path + " -depth 8 " + c.reference : "djpeg " + path, reference));
        EXPECT_EQ(largestDifference(image, reference), 0);
    }
}
