// JPEG decoding against libjpeg's own command-line decoder, and damaged files. Both
// sides use libjpeg's default integer IDCT and upsampling, so they should agree exactly;
// the comparison still allows one step per sample for IDCT rounding.
#include "engine/material/Image.h"
#include "engine/material/JpegDecoder.h"
#include "tests/material/ToolPictures.h"
#include "tests/support/GuardedBuffer.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kIdctRounding = 1;

bool decode(const std::string& file, Image& image)
{
    GuardedBuffer bytes(file);
    return decodeJpeg(bytes.data(), bytes.size(), image);
}

class JpegDecoder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(makeSourcePpm(source(), 67, 45)); }
    std::string source() const { return dir.file("source.ppm"); }

    // cjpeg with the given options over the source picture; the file's bytes.
    std::string compress(const std::string& options, const std::string& name)
    {
        std::string path = dir.file(name);
        EXPECT_EQ(runCommand("cjpeg " + options + " -outfile " + shellQuote(path) + " " + shellQuote(source())), 0);
        return readWholeFile(path);
    }

    ScratchDir dir;
};

}

TEST_F(JpegDecoder, MatchesDjpegForEachEncoding)
{
    struct Case { const char* options; bool grey; };
    const Case cases[] = {
        { "", false },                          // baseline, 2x2 chroma subsampling
        { "-sample 1x1", false },               // no subsampling
        { "-sample 2x1", false },
        { "-progressive", false },
        { "-arithmetic -progressive", false },
        { "-restart 1", false },                // a restart marker every row of blocks
        { "-optimize -quality 97", false },
        { "-grayscale", true },                 // expanded to R = G = B
    };
    for (const Case& c : cases) {
        std::string file = compress(c.options, "picture.jpg");
        Image image;
        ASSERT_TRUE(decode(file, image)) << c.options;
        EXPECT_EQ(image.bitsPerPixel(), 24u);
        NetpbmPicture reference;
        ASSERT_TRUE(toolPicture("djpeg " + shellQuote(dir.file("picture.jpg")), reference)) << c.options;
        EXPECT_EQ(reference.channels, c.grey ? 1u : 3u);
        int difference = largestDifference(image, reference);
        EXPECT_GE(difference, 0) << c.options;
        EXPECT_LE(difference, kIdctRounding) << c.options;
    }
}

TEST_F(JpegDecoder, ConvertsCmykToRgb)
{
    // ImageMagick writes Adobe-style (inverted) CMYK; its own conversion back to sRGB
    // is the plain complement product, as ours is, up to rounding.
    std::string path = dir.file("cmyk.jpg");
    ASSERT_EQ(runCommand("convert " + shellQuote(source()) + " -colorspace CMYK " + shellQuote(path)), 0);
    Image image;
    ASSERT_TRUE(decode(readWholeFile(path), image));
    NetpbmPicture reference;
    ASSERT_TRUE(toolPicture("convert " + shellQuote(path) + " -colorspace sRGB -depth 8 ppm:-", reference));
    int difference = largestDifference(image, reference);
    EXPECT_GE(difference, 0);
    EXPECT_LE(difference, 2);
}

TEST_F(JpegDecoder, DamagedFilesFailWithoutReadingPastTheData)
{
    const std::string good = compress("-progressive", "good.jpg");
    ASSERT_GT(good.size(), 400u);
    // An APP1 segment whose length runs far past the end of the file.
    std::string longSkip = good.substr(0, 2) + std::string("\xFF\xE1\xFF\xF0", 4) + "short";
    struct Case { const char* what; std::string bytes; };
    const Case cases[] = {
        { "empty", "" },
        { "not a JPEG", "GIF89a, not a JPEG file at all" },
        { "start marker only", good.substr(0, 2) },
        { "headers only", good.substr(0, 300) },
        { "cut in the middle of the scans", good.substr(0, good.size() / 2) },
        { "last bytes missing", good.substr(0, good.size() - 40) },
        { "segment skip past the end", longSkip },
    };
    for (const Case& c : cases) {
        Image image;
        EXPECT_FALSE(decode(c.bytes, image)) << c.what;
    }
    // Every prefix of a baseline file is refused without touching the bytes after it.
    const std::string baseline = compress("", "baseline.jpg");
    for (std::size_t n = 0; n + 2 < baseline.size(); n += 7) {
        Image image;
        EXPECT_FALSE(decode(baseline.substr(0, n), image)) << n << " bytes";
    }
}

TEST_F(JpegDecoder, RefusesAHeaderThatClaimsMoreBlocksThanTheDataCanHoldBeforeAllocating)
{
    // A small file of each coding whose frame header claims 8000 x 8000 pixels: about
    // 200 MB of picture or coefficients. Decoded in a child process whose peak memory
    // shows what the decoder allocated before it gave up.
    for (const char* options : { "", "-progressive", "-arithmetic", "-arithmetic -progressive" }) {
        std::string file = compress(options, "small.jpg");
        std::size_t frame = std::string::npos;
        for (const char* marker : { "\xFF\xC0", "\xFF\xC2", "\xFF\xC9", "\xFF\xCA" })
            frame = std::min(frame, file.find(marker));
        ASSERT_NE(frame, std::string::npos) << options;
        // Height and width follow the marker, its length and the sample precision.
        for (std::size_t at : { frame + 5, frame + 7 }) {
            file[at] = char(8000 >> 8);
            file[at + 1] = char(8000 & 0xFF);
        }
        pid_t child = fork();
        if (child == 0) {
            Image image;
            _exit(decode(file, image) ? 0 : 1);
        }
        int status = 0;
        rusage usage {};
        ASSERT_EQ(wait4(child, &status, 0, &usage), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << options << ": refused";
        EXPECT_LT(usage.ru_maxrss, 100 * 1024) << options << ": peak kB for " << file.size() << " bytes";
    }
}

TEST_F(JpegDecoder, RefusesPicturesWiderThan16384)
{
    std::string wide = dir.file("wide.ppm");
    std::string path = dir.file("wide.jpg");
    dir.write("wide.ppm", "P6\n16385 1\n255\n" + std::string(16385 * 3, char(0x80)));
    ASSERT_EQ(runCommand("cjpeg -outfile " + shellQuote(path) + " " + shellQuote(wide)), 0);
    Image image;
    EXPECT_FALSE(decode(readWholeFile(path), image));
}
