// JPEG decoding against libjpeg's own command-line decoder, damaged files, and sizes a
// header claims. Both sides use libjpeg's default integer IDCT and upsampling, so they
// should agree exactly; the comparison still allows one step per sample for rounding.
#include "engine/material/Image.h"
#include "engine/material/JpegDecoder.h"
#include "tests/material/ToolPictures.h"
#include "tests/support/GuardedBuffer.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <functional>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool decode(const std::string& file, Image& image)
{
    GuardedBuffer bytes(file);
    return decodeJpeg(bytes.data(), bytes.size(), image);
}

class JpegDecoder : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(makeSourcePpm(dir.file("source.ppm"), 67, 45)); }

    // cjpeg with the given options over the source picture (or another); the file's bytes.
    std::string compress(const std::string& options, const std::string& source = "source.ppm")
    {
        std::string path = dir.file("picture.jpg");
        EXPECT_EQ(runCommand("cjpeg " + options + " -outfile " + shellQuote(path) + " " + shellQuote(dir.file(source))), 0);
        return readWholeFile(path);
    }

    ScratchDir dir;
};

// The file with its frame header claiming width x height pixels.
std::string claimingSize(std::string file, unsigned width, unsigned height)
{
    std::size_t frame = std::string::npos;
    for (const char* marker : { "\xFF\xC0", "\xFF\xC2", "\xFF\xC9", "\xFF\xCA" })
        frame = std::min(frame, file.find(marker));
    if (frame == std::string::npos)
        return "";
    // Height and width follow the marker, its length and the sample precision.
    for (auto [at, value] : { std::pair { frame + 5, height }, std::pair { frame + 7, width } }) {
        file[at] = char(value >> 8);
        file[at + 1] = char(value & 0xFF);
    }
    return file;
}

// Peak resident kilobytes of a child process that runs work and exits with its result.
long childPeakKb(const std::function<bool()>& work, bool& result)
{
    pid_t child = fork();
    if (child == 0)
        _exit(work() ? 0 : 1);
    int status = 0;
    rusage usage {};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status))
        return -1;
    result = WEXITSTATUS(status) == 0;
    return usage.ru_maxrss;
}

}

TEST_F(JpegDecoder, MatchesDjpegForEachEncoding)
{
    struct Case { std::string options; int tolerance = 1; };
    const Case cases[] = {
        { "" },                           // baseline, 2x2 chroma subsampling
        { "-sample 1x1" },                // no subsampling
        { "-sample 2x1" },
        { "-progressive" },
        { "-arithmetic -progressive" },
        { "-restart 1" },                 // a restart marker every row of blocks
        { "-optimize -quality 97" },
        { "-grayscale" },                 // expanded to R = G = B
        // ImageMagick writes Adobe-style (inverted) CMYK; its own conversion back is the
        // plain complement product, as ours is, up to rounding.
        { "CMYK", 2 },
    };
    for (const Case& c : cases) {
        std::string path = dir.file("picture.jpg");
        std::string reference = "djpeg " + shellQuote(path);
        if (c.options == "CMYK") {
            ASSERT_EQ(runCommand("convert " + shellQuote(dir.file("source.ppm")) + " -colorspace CMYK " + shellQuote(path)), 0);
            reference = "convert " + shellQuote(path) + " -colorspace sRGB -depth 8 ppm:-";
        } else {
            compress(c.options);
        }
        Image image;
        ASSERT_TRUE(decode(readWholeFile(path), image)) << c.options;
        EXPECT_EQ(image.bitsPerPixel(), 24u);
        NetpbmPicture picture;
        ASSERT_TRUE(toolPicture(reference, picture)) << c.options;
        int difference = largestDifference(image, picture);
        EXPECT_GE(difference, 0) << c.options;
        EXPECT_LE(difference, c.tolerance) << c.options;
    }
}

TEST_F(JpegDecoder, DamagedFilesFailWithoutReadingPastTheData)
{
    const std::string good = compress("-progressive");
    ASSERT_GT(good.size(), 400u);
    struct Case { const char* what; std::string bytes; };
    const Case cases[] = {
        { "empty", "" },
        { "not a JPEG", "GIF89a, not a JPEG file at all" },
        { "start marker only", good.substr(0, 2) },
        { "headers only", good.substr(0, 300) },
        { "cut in the middle of the scans", good.substr(0, good.size() / 2) },
        { "last bytes missing", good.substr(0, good.size() - 40) },
        { "APP1 segment running past the end", good.substr(0, 2) + std::string("\xFF\xE1\xFF\xF0", 4) + "short" },
    };
    for (const Case& c : cases) {
        Image image;
        EXPECT_FALSE(decode(c.bytes, image)) << c.what;
    }
    // Every prefix of a baseline file is refused without touching the bytes after it.
    const std::string baseline = compress("");
    for (std::size_t n = 0; n + 2 < baseline.size(); n += 7) {
        Image image;
        EXPECT_FALSE(decode(baseline.substr(0, n), image)) << n << " bytes";
    }
}

TEST_F(JpegDecoder, RefusesAHeaderThatClaimsMoreBlocksThanTheDataCanHoldBeforeAllocating)
{
    // A small file of each coding whose frame header claims 4096 x 4096 pixels (within
    // the picture bound): about 50 MB of picture or coefficients. Decoded in a child
    // process whose peak memory, against one that decodes nothing, shows what the
    // decoder allocated before it gave up.
    bool result = true;
    const long idleKb = childPeakKb([] { return true; }, result);
    ASSERT_GT(idleKb, 0);
    for (const char* options : { "", "-progressive", "-arithmetic", "-arithmetic -progressive" }) {
        std::string file = claimingSize(compress(options), 4096, 4096);
        ASSERT_FALSE(file.empty()) << options;
        long peakKb = childPeakKb([&] { Image image; return decode(file, image); }, result);
        EXPECT_FALSE(result) << options << ": refused";
        EXPECT_LT(peakKb - idleKb, 16 * 1024) << options << ": kB more than idle for " << file.size() << " bytes";
    }
}

TEST_F(JpegDecoder, RefusesPicturesOverThePictureBound)
{
    // Arithmetic-coded data may end early by design, so a large enough grey file decodes
    // at any size its header claims: only the bound refuses it.
    ASSERT_TRUE(makeSourcePpm(dir.file("large.ppm"), 200, 200));
    const std::string file = compress("-arithmetic -grayscale -quality 100", "large.ppm");
    struct Case { unsigned width, height; bool decodes; };
    for (Case c : { Case { 4096, 4096, true }, Case { 4097, 4096, false }, Case { 16384, 8, true }, Case { 16385, 8, false } }) {
        Image image;
        EXPECT_EQ(decode(claimingSize(file, c.width, c.height), image), c.decodes) << c.width << " x " << c.height;
    }
}

TEST_F(JpegDecoder, AFlatPictureAtTheLeastDataASequentialFileSpendsDecodes)
{
    // Optimised tables code a flat grey block in two bits (DC difference 0, end of
    // block): the fewest a sequential file can hold, which the size check must let by.
    ASSERT_EQ(runCommand("convert -size 1024x1024 xc:'rgb(128,128,128)' -depth 8 " + shellQuote(dir.file("flat.ppm"))), 0);
    const std::string file = compress("-grayscale -optimize", "flat.ppm");
    ASSERT_LT(file.size() * 8, 1024u * 1024 / 64 * 3) << "not at the least data";
    Image image;
    ASSERT_TRUE(decode(file, image));
    EXPECT_EQ(image.pixelAt(1023, 1023)[0], 128);
}
