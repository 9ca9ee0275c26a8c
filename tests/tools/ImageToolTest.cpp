// qztool image decode / image dib: the Netpbm forms it writes for each depth, and how it
// fails (status, one line naming the file, no output left behind).
#include "tests/support/ImageFiles.h"
#include "tests/support/Netpbm.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

const std::string kQztool = std::string(VELVET_BUILD_DIR) + "/qztool";

struct ToolRun {
    int status = -1;
    std::string err;
};

ToolRun qztool(const std::string& args, const ScratchDir& dir)
{
    ToolRun run;
    std::string errFile = dir.file("stderr.txt");
    run.status = runCommand("SDL_VIDEODRIVER=offscreen " + shellQuote(kQztool) + " " + args + " 2>" + shellQuote(errFile));
    run.err = readWholeFile(errFile);
    return run;
}

NetpbmPicture picture(const std::string& path)
{
    NetpbmPicture out;
    EXPECT_TRUE(parseNetpbm(readWholeFile(path), out)) << path;
    return out;
}

std::string q(const std::string& s) { return shellQuote(s); }

}

TEST(QztoolImage, DecodeWritesTheNetpbmFormOfEachDepth)
{
    ScratchDir dir;
    std::string source = dir.file("source.ppm");
    ASSERT_EQ(runCommand("convert -size 9x5 gradient:orange-teal -depth 8 ppm:" + q(source)), 0);
    ASSERT_EQ(runCommand("cjpeg -outfile " + q(dir.file("a.jpg")) + " " + q(source)), 0);
    ASSERT_EQ(runCommand("convert " + q(source) + " -alpha set -channel A -fx 0.25 -flip -orient BottomLeft "
                         + q(dir.file("b.tga"))), 0);
    ASSERT_EQ(runCommand("convert " + q(source) + " -colorspace Gray -type Grayscale -flip -orient BottomLeft "
                         + q(dir.file("c.tga"))), 0);
    // 16 bits: a 1-5-5-5 pixel of full red and one of green 16/31, which the image keeps
    // as green 33/63 and the tool widens to 134/255.
    TgaLayout words;
    words.width = 2;
    words.depth = 16;
    words.pixelData = LeBytes().u16(0x7C00).u16(0x0200).str();
    dir.write("d.tga", makeTga(words));

    struct Case { const char* input; const char* reference; std::uint32_t channels; const char* tupleType; };
    const Case cases[] = {
        { "a.jpg", "djpeg INPUT", 3, "" },
        { "b.tga", "convert INPUT -auto-orient -depth 8 pam:-", 4, "RGB_ALPHA" },
        { "c.tga", "convert INPUT -auto-orient -depth 8 pgm:-", 1, "" },
    };
    for (const Case& c : cases) {
        std::string input = dir.file(c.input);
        std::string output = dir.file(std::string(c.input) + ".out");
        ToolRun run = qztool("image decode " + q(input) + " " + q(output), dir);
        ASSERT_EQ(run.status, 0) << c.input << ": " << run.err;
        EXPECT_EQ(run.err, "");
        NetpbmPicture mine = picture(output);
        EXPECT_EQ(mine.channels, c.channels) << c.input;
        EXPECT_EQ(mine.tupleType, c.tupleType) << c.input;
        std::string command = c.reference;
        command.replace(command.find("INPUT"), 5, q(input));
        NetpbmPicture theirs;
        ASSERT_TRUE(parseNetpbm(captureCommand(command), theirs)) << command;
        // The same libjpeg and the same lossless files: no difference at all.
        EXPECT_EQ(mine.samples, theirs.samples) << c.input;
    }

    std::string output = dir.file("d.ppm");
    ASSERT_EQ(qztool("image decode " + q(dir.file("d.tga")) + " " + q(output), dir).status, 0);
    NetpbmPicture widened = picture(output);
    EXPECT_EQ(widened.channels, 3u);
    EXPECT_EQ(widened.samples, (std::vector<std::uint8_t> { 255, 0, 0, 0, 134, 0 }));
}

TEST(QztoolImage, DibWritesTheTopRowFirst)
{
    ScratchDir dir;
    std::string source = dir.file("source.ppm");
    ASSERT_EQ(runCommand("convert -size 7x4 gradient:white-navy -depth 8 ppm:" + q(source)), 0);
    for (const char* options : { "bmp3:", "-define bmp:top-down=true bmp3:" }) {
        std::string input = dir.file("sprite.bmp");
        std::string output = dir.file("sprite.ppm");
        ASSERT_EQ(runCommand("convert " + q(source) + " -type TrueColor " + options + q(input)), 0);
        ToolRun run = qztool("image dib " + q(input) + " " + q(output), dir);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(picture(output).samples, picture(source).samples) << options;
    }
}

TEST(QztoolImage, FailuresNameTheFileAndLeaveNoOutput)
{
    ScratchDir dir;
    std::string garbage = dir.write("broken.jpg", "not a picture");
    std::string unknown = dir.write("picture.png", "whatever");
    std::string missing = dir.file("missing.tga");
    std::string output = dir.file("out.ppm");
    std::string header64 = dir.write("os2v2.bmp", makeBmp([] { BmpLayout s; s.infoSize = 64; s.pixelData = "abcd"; return s; }()));
    std::string good = dir.write("good.tga", makeTga([] { TgaLayout s; s.pixelData = "abc"; return s; }()));

    struct Case { std::string args; int status; std::string named; };
    const Case cases[] = {
        { "image decode " + q(garbage) + " " + q(output), 1, garbage },
        { "image decode " + q(unknown) + " " + q(output), 1, unknown },
        { "image decode " + q(missing) + " " + q(output), 1, missing },
        { "image dib " + q(missing) + " " + q(output), 1, missing },
        { "image dib " + q(header64) + " " + q(output), 1, header64 },
        { "image decode " + q(good) + " " + q(dir.file("no/such/dir/out.ppm")), 1, dir.file("no/such/dir/out.ppm") },
        { "image", 2, "" },
        { "image decode " + q(good), 2, "" },
        { "image decode " + q(good) + " " + q(output) + " extra", 2, "" },
        { "image paint " + q(good) + " " + q(output), 2, "" },
    };
    for (const Case& c : cases) {
        ToolRun run = qztool(c.args, dir);
        EXPECT_EQ(run.status, c.status) << c.args;
        EXPECT_FALSE(std::filesystem::exists(output)) << c.args;
        EXPECT_NE(run.err.find("qztool: " + c.named), std::string::npos) << c.args << "\n" << run.err;
        // The last line is the tool's own; the DIB loader's message may precede it.
        EXPECT_EQ(run.err.back(), '\n');
    }
    // Nothing but the named outputs was ever created in the directory.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().string().find(".partial"), std::string::npos) << entry.path();
}
