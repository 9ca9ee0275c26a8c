// qztool as a user runs it: zip archives listed, printed and created, material scripts
// compiled, models and animations described, pictures decoded to the Netpbm form of their
// depth, and its failures (exit 1, the file named) and usage errors (exit 2).
#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationWriter.h"
#include "engine/geometry/Geometry.h"
#include "engine/geometry/GeometryWriter.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ImageFiles.h"
#include "tests/support/Netpbm.h"
#include "tests/support/ScratchDir.h"
#include "tests/support/ZipArchives.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

ChildResult qztool(const std::vector<std::string>& args, const std::string& cwd = {})
{
    ChildOptions options;
    options.workingDirectory = cwd;
    return runBuilt("qztool", args, options);
}

// What qztool writes on standard output, after checking that it succeeded.
std::string output(const std::vector<std::string>& args, const std::string& cwd = {})
{
    ChildResult r = qztool(args, cwd);
    EXPECT_EQ(r.exitStatus, 0) << r.err;
    EXPECT_EQ(r.err, "");
    return r.out;
}

std::string bytesOf(const BinaryWriter& out)
{
    return std::string(out.bytes().begin(), out.bytes().end());
}

// A triangle (positions + normals) with a named, textured, half-transparent material,
// on a two-bone skeleton.
std::string skinnedTriangle()
{
    BinaryWriter out;
    Geometry g;
    auto mesh = std::make_shared<Mesh>(false);
    mesh->vertices.allocate(3, 0x003);
    const float v[18] = { 0, 0, 0, 0, 0, 1, 2, 0, 0, 0, 0, 1, 0, 4, 0, 0, 0, 1 };
    std::copy(v, v + 18, mesh->vertices.data());
    mesh->triangles.resize(1);
    mesh->triangles.indices = { 0, 1, 2 };
    mesh->prepare(nullptr);
    auto material = std::make_unique<MeshMaterial>();
    material->name = "skin \"a\"";
    material->diffuse[3] = 0.5f;
    material->textureNames[1] = "t.jpg";
    g.addItem(std::move(material), mesh);
    g.skin = std::make_unique<SkinModifier>();
    g.skin->skeleton.resize(2);
    g.skin->skeleton.bones[0].name = "root";
    g.skin->skeleton.bones[0].firstChild = 1;
    g.skin->skeleton.bones[1].name = "arm";
    g.skin->skeleton.bones[1].parent = 0;
    auto skin = std::make_unique<SkinMesh>();
    skin->weights.assign(3, SkinWeight { 0, -1, 1.0f, 0.0f });
    g.skin->skinMeshes.push_back(std::move(skin));
    GeometryWriter::writeGeneral(out, g, false);
    return bytesOf(out);
}

}

TEST(Qztool, ZipListsAndPrintsMembersExactlyAndCreatesWhatUnzipAccepts)
{
    ScratchDir dir;
    const std::vector<ZipMember> members = { { "Data/Syncro.txt", "0 100\n" }, { "pixels.raw", sampleBytes(123457, 5) },
        { "empty", "" } };
    const std::string archive = dir.file("made.zip");
    ASSERT_TRUE(makeZip(ZipMaker::InfoZipDeflated, dir.path(), archive, members));
    EXPECT_EQ(output({ "zip", "list", archive }), "Data/Syncro.txt\npixels.raw\nempty\n");
    for (const ZipMember& m : members)
        EXPECT_EQ(output({ "zip", "cat", archive, m.name }), m.bytes) << m.name;

    dir.write("in/sub/two.bin", sampleBytes(40000, 6));
    dir.write("in/zero", "");
    EXPECT_EQ(output({ "zip", "create", "out.zip", "sub/two.bin", "zero" }, dir.file("in")), "");
    const std::string out = dir.file("in/out.zip");
    EXPECT_TRUE(unzipAccepts(out));
    EXPECT_EQ(unzipListing(out), (std::vector<std::string> { "sub/two.bin", "zero" }));
    EXPECT_EQ(unzipPrint(out, "sub/two.bin"), sampleBytes(40000, 6));
}

TEST(Qztool, MaterialCheckPrintsStagesAndConstant)
{
    ScratchDir dir;
    const std::string script = dir.write("script.txt", "tex.diffuse.rgb.leftarg.t0.d0.alpha.leftarg.t0.d0\r\n"
        "tex lightmap rgb modulate r0 t0 alpha modulate r0 t0\r\nconst 255 0 0 128\r\n");
    EXPECT_EQ(output({ "material", "check", script }), "stages 2\nstage 0 slot 0 rgb leftarg t0 d0 alpha leftarg t0 d0\n"
        "stage 1 slot 1 rgb modulate r0 t0 alpha modulate r0 t0\nconst 255 0 0 128\n");
}

TEST(Qztool, QzgInfoPrintsTheModelAsJsonAndQzaEvaluatesBones)
{
    ScratchDir dir;
    const std::string path = dir.write("tri.qzg", skinnedTriangle());
    EXPECT_EQ(output({ "qzg", "info", path }),
        "{\"file\":\"" + path + "\", \"layout\":\"QZGEOMETRY2\", \"items\":[{\"vertices\":3, \"format\":3, "
        "\"stride\":6, \"triangles\":1, \"material\":{\"name\":\"skin \\\"a\\\"\", \"flags\":4, "
        "\"diffuse\":[1,1,1,0.5], \"textures\":[\"\",\"t.jpg\",\"\",\"\",\"\",\"\",\"\",\"\"]}}], "
        "\"morph\":null, \"skin\":{\"bones\":[{\"name\":\"root\", \"parent\":-1}, {\"name\":\"arm\", \"parent\":0}], "
        "\"skinMeshes\":1}, \"bounds\":[0,0,0,0,0,0,0]}\n");

    KeyframedAnimation anim;
    anim.boneCount = 2;
    anim.frameCount = 2;
    anim.duration = 1.0f;
    const float h = std::sqrt(0.5f);
    anim.keys = { { Vec3(0, 0, 0), Quat() }, { Vec3(1, 2, 3), Quat() }, { Vec3(0, 0, 0), Quat() },
        { Vec3(3, 2, 1), Quat(0, 0, h, h) } };
    BinaryWriter out;
    AnimationWriter::write(out, anim);
    const std::string walk = dir.write("walk.qza", bytesOf(out));
    EXPECT_EQ(output({ "qza", "info", walk }), "{\"bones\":2, \"frames\":2, \"duration\":1}\n");
    // Bone 1 at 0.25 s, halfway to frame 1: translation (2, 2, 2), 45 degrees about Z in
    // the engine's transposed convention.
    const double expected[16] = { h, -h, 0, 0, h, h, 0, 0, 0, 0, 1, 0, 2, 2, 2, 1 };
    std::istringstream text(output({ "qza", "eval", walk, "1", "0.25" }));
    const std::vector<double> m((std::istream_iterator<double>(text)), std::istream_iterator<double>());
    ASSERT_EQ(m.size(), 16u);
    for (std::size_t i = 0; i < 16; ++i)
        EXPECT_NEAR(m[i], expected[i], 1e-5) << "element " << i;
}

// The same lossless files as ImageMagick: no difference at all. A 16-bit TGA keeps green
// 16/31 as 33/63, which the tool widens to 134/255. A DIB stored bottom row first comes
// out top row first.
TEST(Qztool, ImageDecodeWritesTheNetpbmFormOfEachDepthAndDibTheTopRowFirst)
{
    ScratchDir dir;
    const std::string source = dir.file("source.ppm");
    const auto q = shellQuote;
    ASSERT_EQ(runCommand("convert -size 9x5 gradient:orange-teal -depth 8 ppm:" + q(source)), 0);
    ASSERT_EQ(runCommand("convert " + q(source) + " -alpha set -channel A -fx 0.25 -flip -orient BottomLeft " + q(dir.file("b.tga"))), 0);
    ASSERT_EQ(runCommand("convert " + q(source) + " -colorspace Gray -type Grayscale -flip -orient BottomLeft " + q(dir.file("c.tga"))), 0);
    ASSERT_EQ(runCommand("convert " + q(source) + " -type TrueColor bmp3:" + q(dir.file("up.bmp"))), 0);
    dir.write("d.tga", makeTga([] { TgaLayout s; s.width = 2; s.depth = 16; s.pixelData = LeBytes().u16(0x7C00).u16(0x0200).str(); return s; }()));
    // Verb, input, a command printing the expected picture, channels, PAM tuple type.
    const std::tuple<const char*, const char*, std::string, std::uint32_t, const char*> cases[] = {
        { "decode", "b.tga", "convert " + q(dir.file("b.tga")) + " -auto-orient -depth 8 pam:-", 4, "RGB_ALPHA" },
        { "decode", "c.tga", "convert " + q(dir.file("c.tga")) + " -auto-orient -depth 8 pgm:-", 1, "" },
        { "decode", "d.tga", "printf 'P6 2 1 255\\n\\377\\0\\0\\0\\206\\0'", 3, "" },
        { "dib", "up.bmp", "cat " + q(source), 3, "" },
    };
    for (const auto& [verb, input, reference, channels, tupleType] : cases) {
        const std::string out = dir.file(std::string(input) + ".out");
        EXPECT_EQ(output({ "image", verb, dir.file(input), out }), "") << input;
        NetpbmPicture mine, theirs;
        ASSERT_TRUE(parseNetpbm(readWholeFile(out), mine) && parseNetpbm(captureCommand(reference), theirs)) << input;
        EXPECT_EQ(mine.channels, channels) << input;
        EXPECT_EQ(mine.tupleType, tupleType) << input;
        EXPECT_EQ(mine.samples, theirs.samples) << input;
    }
}

TEST(Qztool, FailuresExitOneNamingTheFileAndUsageErrorsExitTwo)
{
    ScratchDir dir;
    const std::string archive = dir.file("made.zip"), stored = dir.file("stored.zip");
    ASSERT_TRUE(makeZip(ZipMaker::InfoZipDeflated, dir.path(), archive, { { "m", sampleBytes(3000, 8) } }));
    ASSERT_TRUE(makeZip(ZipMaker::InfoZipStored, dir.file("s"), stored, { { "m", sampleBytes(3000, 8) } }));
    std::string bytes = readWholeFile(archive);
    bytes[bytes.find("PK\x01\x02") + 1] = 'X'; // a broken central directory
    const std::string broken = dir.write("broken.zip", bytes);
    bytes = readWholeFile(stored);
    bytes[bytes.find(sampleBytes(3000, 8).substr(0, 32)) + 2999] ^= 1; // the member's last byte
    const std::string damaged = dir.write("damaged.zip", bytes);
    const std::string input = dir.write("input", "data"), out = dir.file("out.ppm");
    const std::string header64 = dir.write("os2v2.bmp", makeBmp([] { BmpLayout s; s.infoSize = 64; s.pixelData = "abcd"; return s; }()));
    const std::string good = dir.write("good.tga", makeTga([] { TgaLayout s; s.pixelData = "abc"; return s; }()));
    BinaryWriter old;
    old.putString("QZSKINNEDGEO");
    old.putInt(0);
    const std::string model = skinnedTriangle();
    const std::string missing = dir.file("missing");
    // Arguments, exit status, what the last line of standard error says.
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        { { "zip", "list", missing }, 1, missing },
        { { "zip", "list", broken }, 1, broken },
        { { "zip", "cat", archive, "no-such-member" }, 1, "no-such-member" },
        { { "zip", "cat", damaged, "m" }, 1, damaged }, // the checksum fails: nothing printed
        { { "zip", "create", dir.file("new.zip"), input, missing }, 1, missing },
        { { "zip", "create", dir.file("no/dir/new.zip"), input }, 1, "new.zip" },
        { { "image", "dib", header64, out }, 1, header64 },
        { { "image", "decode", good, dir.file("no/dir/out.ppm") }, 1, dir.file("no/dir/out.ppm") },
        { { "material", "check", dir.write("s1", "tex 0 alpha blend t0 d0") }, 1, "s1: " },
        { { "material", "check", dir.path() }, 1, dir.path() },
        { { "qzg", "info", dir.write("old.qzg", bytesOf(old)) }, 1, "QZSKINNEDGEO geometry is not supported" },
        { { "qzg", "info", dir.write("cut.qzg", model.substr(0, model.size() - 9)) }, 1, "truncated or inconsistent QZGEOMETRY2 data" },
        { { "qza", "info", missing }, 1, missing },
        { { "zip", "list" }, 2, "" },
        { { "zip", "explode", "a.zip" }, 2, "" },
        { { "image", "paint", good, out }, 2, "" },
        { { "qzg", "dump", "x" }, 2, "" },
        { { "qza", "eval", missing, "-1", "0" }, 2, "" },
    };
    for (const auto& [args, status, says] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        ChildResult r = qztool(args);
        EXPECT_EQ(r.exitStatus, status);
        EXPECT_EQ(r.out, "");
        // The tool's own line comes last; the DIB loader's message may precede it.
        const std::size_t last = r.err.rfind('\n', r.err.size() - 2) + 1;
        EXPECT_EQ(r.err.compare(last, 8, "qztool: "), 0) << r.err;
        EXPECT_NE(r.err.find(says, last), std::string::npos) << r.err;
    }
    // Nothing is left behind: no partial archive, no picture, no temporary file.
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_TRUE(entry.path().extension() != ".partial" && entry.path().filename() != "new.zip"
            && entry.path().filename() != "out.ppm") << entry.path();
}
