// JPEG decoding against libjpeg's own command-line decoder, and damaged files. Both
// sides use libjpeg's default integer IDCT and upsampling, so they should agree exactly;
// the comparison still allows one step per sample for IDCT rounding.
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
        std::string file = claimingSize(compress(options, "small.jpg"), 4096, 4096);
        ASSERT_FALSE(file.empty()) << options;
        long peakKb = childPeakKb([&] { Image image; return decode(file, image); }, result);
        EXPECT_FALSE(result) << options << ": refused";
        EXPECT_LT(peakKb - idleKb, 16 * 1024) << options << ": kB more than idle for " << file.size() << " bytes";
    }
}

TEST_F(JpegDecoder, RefusesPicturesOverThePixelBound)
{
    // Arithmetic-coded data may end early by design, so a large enough grey file that
    // claims 4097 x 4096 pixels would decode: only the bound refuses it.
    std::string large = dir.file("large.ppm");
    ASSERT_TRUE(makeSourcePpm(large, 200, 200));
    std::string path = dir.file("large.jpg");
    ASSERT_EQ(runCommand("cjpeg -arithmetic -grayscale -quality 100 -outfile " + shellQuote(path) + " " + shellQuote(large)), 0);
    std::string file = claimingSize(readWholeFile(path), 4097, 4096);
    ASSERT_FALSE(file.empty());
    Image image;
    EXPECT_FALSE(decode(file, image));
    EXPECT_TRUE(decode(claimingSize(file, 4096, 4096), image)) << "the same data within the bound";
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
