// qztool qzg / qza on files written by the engine's writers.
#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationWriter.h"
#include "engine/geometry/Geometry.h"
#include "engine/geometry/GeometryWriter.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <sstream>

namespace {

const std::string kQztool = std::string(VELVET_BUILD_DIR) + "/qztool";

std::string save(const ScratchDir& dir, const std::string& name, const BinaryWriter& out)
{
    return dir.write(name, std::string(out.bytes().begin(), out.bytes().end()));
}

// A triangle (positions + normals) with a named, textured, half-transparent material,
// on a two-bone skeleton.
void skinnedTriangle(BinaryWriter& out)
{
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
}

TEST(QztoolQzg, InfoPrintsTheModelAsJson)
{
    ScratchDir dir;
    BinaryWriter out;
    skinnedTriangle(out);
    std::string path = save(dir, "tri.qzg", out);
    int status = -1;
    std::string text = captureCommand(kQztool + " qzg info " + path, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(text,
        "{\"file\":\"" + path + "\", \"layout\":\"QZGEOMETRY2\", \"items\":[{\"vertices\":3, \"format\":3, "
        "\"stride\":6, \"triangles\":1, \"material\":{\"name\":\"skin \\\"a\\\"\", \"flags\":4, "
        "\"diffuse\":[1,1,1,0.5], \"textures\":[\"\",\"t.jpg\",\"\",\"\",\"\",\"\",\"\",\"\"]}}], "
        "\"morph\":null, \"skin\":{\"bones\":[{\"name\":\"root\", \"parent\":-1}, {\"name\":\"arm\", \"parent\":0}], "
        "\"skinMeshes\":1}, \"bounds\":[0,0,0,0,0,0,0]}\n");
}

TEST(QztoolQzg, FailuresExitWithOneAndAReason)
{
    ScratchDir dir;
    BinaryWriter skinned;
    skinned.putString("QZSKINNEDGEO");
    skinned.putInt(0);
    BinaryWriter good;
    skinnedTriangle(good);
    BinaryWriter cut;
    cut.putBytes(good.bytes().data(), good.bytes().size() - 9);
    struct Case {
        std::string file, reason;
    };
    const Case cases[] = {
        { save(dir, "old.qzg", skinned), "QZSKINNEDGEO geometry is not supported" },
        { save(dir, "cut.qzg", cut), "truncated or inconsistent QZGEOMETRY2 data" },
        { dir.file("missing.qzg"), "can't read file" },
    };
    for (const Case& c : cases) {
        int status = -1;
        std::string err = captureCommand(kQztool + " qzg info " + c.file + " 2>&1 >/dev/null", &status);
        EXPECT_EQ(status, 1) << c.file;
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
    }
    int status = -1;
    captureCommand(kQztool + " qzg dump x 2>/dev/null", &status);
    EXPECT_EQ(status, 2);
}

TEST(QztoolQza, InfoAndEval)
{
    ScratchDir dir;
    KeyframedAnimation anim;
    anim.boneCount = 2;
    anim.frameCount = 2;
    anim.duration = 1.0f;
    const float h = std::sqrt(0.5f);
    anim.keys = { { Vec3(0, 0, 0), Quat() }, { Vec3(1, 2, 3), Quat() },
                  { Vec3(0, 0, 0), Quat() }, { Vec3(3, 2, 1), Quat(0, 0, h, h) } };
    BinaryWriter out;
    AnimationWriter::write(out, anim);
    std::string path = save(dir, "walk.qza", out);

    int status = -1;
    EXPECT_EQ(captureCommand(kQztool + " qza info " + path, &status), "{\"bones\":2, \"frames\":2, \"duration\":1}\n");
    EXPECT_EQ(status, 0);
    auto eval = [&](const char* args) {
        std::istringstream text(captureCommand(kQztool + " qza eval " + path + " " + args, &status));
        return std::vector<double>((std::istream_iterator<double>(text)), std::istream_iterator<double>());
    };
    // Bone 1 at 0.5 s is frame 1 exactly: translation (3, 2, 1), 90 degrees about Z in
    // the engine's transposed convention; at 0.25 s halfway, 45 degrees.
    const double frame1[16] = { 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 3, 2, 1, 1 };
    const double halfway[16] = { h, -h, 0, 0, h, h, 0, 0, 0, 0, 1, 0, 2, 2, 2, 1 };
    struct Case {
        const char* args;
        const double* expected;
    };
    for (Case c : { Case { "1 0.5", frame1 }, Case { "1 0.25", halfway } }) {
        std::vector<double> m = eval(c.args);
        EXPECT_EQ(status, 0);
        ASSERT_EQ(m.size(), 16u) << c.args;
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(m[std::size_t(i)], c.expected[i], 1e-5) << c.args << " element " << i;
    }

    captureCommand(kQztool + " qza eval " + path + " -1 0 2>/dev/null", &status);
    EXPECT_EQ(status, 2);
    captureCommand(kQztool + " qza info " + dir.file("none.qza") + " 2>/dev/null", &status);
    EXPECT_EQ(status, 1);
}

}
