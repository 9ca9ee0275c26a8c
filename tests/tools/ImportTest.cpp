// qztool import with model files other programs wrote (assimp's exporter, a skinned glTF
// bar written here), drawn and deformed by the engine against the source's shapes and formula.
#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationTable.h"
#include "engine/geometry/Geometry.h"
#include "engine/math/FileBuffer.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Netpbm.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numeric>
#include <set>
#include <sstream>

namespace {

bool loadFile(const std::string& path, FileBuffer& buffer)
{
    const std::string bytes = readWholeFile(path);
    return !bytes.empty() && buffer.loadFromMemory(bytes.data(), std::uint32_t(bytes.size()));
}

bool loadModel(const std::string& path, Geometry& g)
{
    FileBuffer buffer;
    return loadFile(path, buffer) && g.load(buffer, path.c_str());
}

// An open, one-sided "L" facing +z with a slanted foot: a turned face or a lost transform shows.
const std::vector<Vec3> L_SHAPE = { { -0.7f, -0.7f, 0.0f }, { 0.6f, -0.7f, 0.3f }, { 0.6f, -0.3f, 0.3f },
    { -0.3f, -0.3f, 0.0f }, { -0.3f, 0.8f, -0.2f }, { -0.7f, 0.8f, -0.2f } };
const std::vector<std::uint16_t> L_TRIANGLES = { 0, 1, 2, 0, 2, 3, 0, 3, 4, 0, 4, 5 };

std::string objOf(const std::vector<Vec3>& points, const std::vector<std::uint16_t>& triangles)
{
    std::ostringstream obj;
    for (const Vec3& p : points)
        obj << "v " << p.x << ' ' << p.y << ' ' << p.z << '\n';
    for (std::size_t i = 0; i < triangles.size(); i += 3)
        obj << "f " << triangles[i] + 1 << ' ' << triangles[i + 1] + 1 << ' ' << triangles[i + 2] + 1 << '\n';
    return obj.str();
}

// The triangles as corner lists in thousandths, each turned to start at its least corner:
// the source's set again means no placement lost and no face turned around.
template <typename Point>
std::multiset<std::vector<std::vector<long>>> trianglesOf(Point point, const std::vector<std::uint16_t>& indices)
{
    std::multiset<std::vector<std::vector<long>>> triangles;
    for (std::size_t t = 0; t + 2 < indices.size(); t += 3) {
        std::vector<std::vector<long>> corners;
        for (const Vec3& p : { point(indices[t]), point(indices[t + 1]), point(indices[t + 2]) })
            corners.push_back({ std::lround(p.x * 1000), std::lround(p.y * 1000), std::lround(p.z * 1000) });
        std::rotate(corners.begin(), std::min_element(corners.begin(), corners.end()), corners.end());
        triangles.insert(corners);
    }
    return triangles;
}

TEST(Import, ModelsTheImportersExporterWroteKeepTheSourcesTriangles)
{
    ScratchDir dir;
    const std::string obj = dir.write("l.obj", objOf(L_SHAPE, L_TRIANGLES));
    for (const char* format : { "obj", "gltf2", "collada" }) {
        const std::string model = dir.file(std::string("l.") + format);
        ASSERT_TRUE(std::string(format) == "obj"
            || runCommand("assimp export " + shellQuote(obj) + " " + shellQuote(model) + " -f" + format + " >/dev/null") == 0);
        const ChildResult r = runBuilt("qztool", { "import", model, dir.file("l.qzg") });
        ASSERT_EQ(r.exitStatus, 0) << format << r.err;
        EXPECT_NE(r.out.find("\"meshes\":1, \"vertices\":6, \"triangles\":4, \"bones\":0"), std::string::npos) << r.out;
        Geometry imported;
        ASSERT_TRUE(loadModel(dir.file("l.qzg"), imported));
        const VertexArray& v = imported.mesh(0).vertices;
        auto at = [&](std::uint16_t i) { return Vec3(v.vertex(i)[0], v.vertex(i)[1], v.vertex(i)[2]); };
        EXPECT_TRUE(trianglesOf(at, imported.mesh(0).triangles.indices)
            == trianglesOf([](std::uint16_t i) { return L_SHAPE[i]; }, L_TRIANGLES)) << format;
    }
}

// A PNG named by an OBJ's material, or embedded in a glTF file, becomes a JPEG beside the
// model, top row still on top (texture v = 0 there, as the engine uploads pictures), under
// the name the model gives.
TEST(Import, PngAndEmbeddedPicturesBecomeJpegsBesideTheModelUnderTheNameItRefersTo)
{
    ScratchDir dir;
    dir.write("pic.ppm", std::string("P6 2 2 255\n\xff\0\0\xff\0\0\0\0\xff\0\0\xff", 23));  // red row over blue row
    ASSERT_EQ(runCommand("convert " + shellQuote(dir.file("pic.ppm")) + " " + shellQuote(dir.file("pic.png"))), 0);
    dir.write("l.mtl", "newmtl painted\nKa 0.1 0.2 0.3\nKd 0.5 0.25 1\nmap_Kd pic.png\n");
    dir.write("out/.keep", "");
    const std::string obj = dir.write("l.obj",
        "mtllib l.mtl\nusemtl painted\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\nf 1/1 2/2 3/3\n");
    ASSERT_EQ(runCommand("assimp export " + shellQuote(obj) + " " + shellQuote(dir.file("e.gltf")) + " -fgltf2 >/dev/null"), 0);
    std::string gltf = readWholeFile(dir.file("e.gltf"));
    const std::size_t uri = gltf.find("\"pic.png\"");
    ASSERT_NE(uri, std::string::npos);
    gltf.replace(uri + 1, 7, "data:image/png;base64," + captureCommand("base64 -w0 " + shellQuote(dir.file("pic.png"))));
    const struct { std::string model, out, picture; } cases[] = {
        { obj, "l.qzg", "pic.jpg" }, { dir.write("e.gltf", gltf), "e.qzg", "e_picture0.jpg" } };
    for (const auto& c : cases) {
        const ChildResult r = runBuilt("qztool", { "import", c.model, dir.file("out/" + c.out) });
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        EXPECT_NE(r.out.find("\"textures\":[\"" + c.picture + "\"]"), std::string::npos) << r.out;
        NetpbmPicture picture;
        ASSERT_TRUE(parseNetpbm(captureCommand("djpeg -pnm " + shellQuote(dir.file("out/" + c.picture))), picture));
        ASSERT_EQ(picture.width * 10 + picture.height, 22u);
        EXPECT_GT(std::min(picture.samples[0], picture.samples[11]), 200) << "top left red, bottom right blue";
        Geometry g;
        ASSERT_TRUE(loadModel(dir.file("out/" + c.out), g));
        EXPECT_EQ(g.items[0].material->textureNames[0], c.picture);
        const VertexArray& v = g.mesh(0).vertices;
        for (std::uint32_t i = 0; i < v.vertexCount; ++i)
            EXPECT_FLOAT_EQ(v.vertex(i)[v.texOffset0 + 1], 1.0f - v.vertex(i)[1]) << "v runs down from the top row";
    }
    Geometry g;
    ASSERT_TRUE(loadModel(dir.file("out/l.qzg"), g));
    const MeshMaterial& m = *g.items[0].material;
    EXPECT_EQ(std::vector<float>({ m.ambient[0], m.ambient[1], m.ambient[2], m.diffuse[0], m.diffuse[1], m.diffuse[2] }),
        std::vector<float>({ 0.1f, 0.2f, 0.3f, 0.5f, 0.25f, 1.0f }));
}

// The bar: rows of four vertices from y = 0 to 2 on a chain of joints. Over one second the root slides
// from x = 0.5 to 1.5, joint 1 turns 90 degrees about z and (of four) the last one 60 degrees about x.
struct Bar {
    int joints;
    bool curved;  // the slide as a STEP curve (it stays at 0.5), the turn as a CUBICSPLINE one, in a .glb
    std::vector<Vec3> points;
    std::vector<std::vector<float>> weights;  // per vertex, four

    float jointY(int j) const { return joints == 2 ? float(j) : 0.6f * float(j); }
    Bar(int n, bool c) : joints(n), curved(c)
    {
        for (int v = 0; v < 20; ++v) {
            const float y = 0.5f * float(v / 4);
            points.push_back({ v % 2 ? 0.1f : -0.1f, y, v / 2 % 2 ? 0.1f : -0.1f });
            weights.emplace_back(4, 0.0f);  // as many as glTF gives a vertex
            for (int j = 0; j < n; ++j)
                weights.back()[std::size_t(j)] = n == 2 ? std::clamp(j ? y - 0.5f : 1.5f - y, 0.0f, 1.0f)
                                                        : 1.0f / (1.0f + 4.0f * std::fabs(y - jointY(j)) + 0.1f * float(j));
        }
    }
    // Joint j's local transform at t seconds.
    Mat4 local(int j, float t) const
    {
        Mat4 m, turn;
        m.setTranslation(j ? 0.0f : curved ? 0.5f : 0.5f + t, j ? jointY(j) - jointY(j - 1) : 0.0f, 0.0f);
        float angle = (j == 1 ? 1.5707963f : j == joints - 1 && joints > 2 ? 1.0471976f : 0.0f) * t;
        const float h = t * t * (3.0f - 2.0f * t);  // Hermite with flat tangents, then normalised
        if (curved && j == 1)
            angle = 2.0f * std::atan2(h * std::sin(0.7853982f), 1.0f - h + h * std::cos(0.7853982f));
        const int a = j == 1 ? 0 : 1, b = a + 1;  // about z: x, y; about x: y, z
        turn.at(a, a) = turn.at(b, b) = std::cos(angle);
        turn.at(b, a) = std::sin(angle);
        turn.at(a, b) = -std::sin(angle);
        m.multiply(turn);
        return m;
    }
    // The glTF skinning formula with each vertex's two largest weights, renormalised.
    Vec3 skinned(std::size_t v, float t) const
    {
        const std::vector<float>& w = weights[v];
        std::vector<int> order(std::size_t(joints), 0);
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](int a, int b) { return w[std::size_t(a)] > w[std::size_t(b)]; });
        Vec3 sum;
        for (int k : { order[0], order[1] }) {
            Mat4 world;
            for (int j = 0; j <= k; ++j)
                world.multiply(local(j, t));
            world.translate(0.0f, -jointY(k), 0.0f);
            Vec3 p;
            world.transformPoint(points[v], p);
            sum += p * (w[std::size_t(k)] / (w[std::size_t(order[0])] + w[std::size_t(order[1])]));
        }
        return sum;
    }
};

template <typename... T>
void put(std::string& bin, const T&... values)
{
    (bin.append(reinterpret_cast<const char*>(&values), sizeof values), ...);
}

// The bar as glTF 2.0, JSON with an external buffer or (curved) one .glb; the path written.
std::string writeGltf(const ScratchDir& dir, const Bar& bar)
{
    std::string bin;  // every block a multiple of four bytes, so matrices stay aligned
    std::ostringstream views, accessors, samplers, channels, nodes;
    int count = 0;
    auto view = [&](std::size_t start, std::size_t length, int n, int component, const char* type, const char* extra = "") {
        views << (count ? "," : "") << "{\"buffer\":0,\"byteOffset\":" << start << ",\"byteLength\":" << length << "}";
        accessors << (count ? "," : "") << "{\"bufferView\":" << count << ",\"componentType\":" << component
                  << ",\"count\":" << n << ",\"type\":\"" << type << "\"" << extra << "}";
        return count++;
    };
    for (const Vec3& p : bar.points)
        put(bin, p);
    for (int k = 0; k < 80; ++k)
        put(bin, std::uint16_t(k % 4 < bar.joints ? k % 4 : 0));
    for (const auto& w : bar.weights)
        put(bin, w[0], w[1], w[2], w[3]);
    const int ring[5] = { 0, 1, 3, 2, 0 };  // four sides between each two rows
    for (int side = 0; side < 16; ++side) {
        const int a = side / 4 * 4 + ring[side % 4], b = side / 4 * 4 + ring[side % 4 + 1];
        for (int corner : { a, b, b + 4, a, b + 4, a + 4 })
            put(bin, std::uint16_t(corner));
    }
    for (int j = 0; j < bar.joints; ++j) {
        Mat4 inverseBind;
        inverseBind.setTranslation(0.0f, -bar.jointY(j), 0.0f);
        put(bin, inverseBind);
    }
    put(bin, 0.0f, 1.0f, Vec3(0.5f, 0, 0), Vec3(1.5f, 0, 0));
    view(0, 240, 20, 5126, "VEC3", ",\"min\":[-0.1,0,-0.1],\"max\":[0.1,2,0.1]");  // the blocks above, in order
    view(240, 160, 20, 5123, "VEC4"), view(400, 320, 20, 5126, "VEC4"), view(720, 192, 96, 5123, "SCALAR");
    std::size_t at = 912 + 64 * std::size_t(bar.joints);
    view(912, at - 912, bar.joints, 5126, "MAT4"), view(at, 8, 2, 5126, "SCALAR", ",\"min\":[0],\"max\":[1]");
    view(at + 8, 24, 2, 5126, "VEC3");
    samplers << "{\"input\":5,\"output\":6" << (bar.curved ? ",\"interpolation\":\"STEP\"" : "") << "}";
    channels << "{\"sampler\":0,\"target\":{\"node\":0,\"path\":\"translation\"}}";
    for (int k = 0; k < (bar.joints > 2 ? 2 : 1); ++k) {
        const float s = std::sin(k ? 0.5235988f : 0.7853982f), c = std::cos(k ? 0.5235988f : 0.7853982f);
        const bool cubic = bar.curved && k == 0;  // flat in and out tangents around each value
        at = bin.size();
        for (const Quat& q : { Quat(0, 0, 0, 1), k ? Quat(s, 0, 0, c) : Quat(0, 0, s, c) })
            cubic ? put(bin, Quat(0, 0, 0, 0), q, Quat(0, 0, 0, 0)) : put(bin, q);
        samplers << ",{\"input\":5,\"output\":" << view(at, bin.size() - at, cubic ? 6 : 2, 5126, "VEC4")
                 << (cubic ? ",\"interpolation\":\"CUBICSPLINE\"" : "") << "}";
        channels << ",{\"sampler\":" << k + 1 << ",\"target\":{\"node\":" << (k ? bar.joints - 1 : 1) << ",\"path\":\"rotation\"}}";
    }
    for (int j = 0; j < bar.joints; ++j) {
        // Four joints place themselves by matrix, so their channels keep the rest translation.
        const bool matrix = bar.joints == 4;
        nodes << "{\"name\":\"joint" << j << "\"," << (matrix ? "\"matrix\":[1,0,0,0,0,1,0,0,0,0,1,0,0," : "\"translation\":[0,")
              << (j ? bar.jointY(j) - bar.jointY(j - 1) : 0.0f) << (matrix ? ",0,1]" : ",0]")
              << (j + 1 < bar.joints ? ",\"children\":[" + std::to_string(j + 1) + "]" : "") << "},";
    }
    std::ostringstream json;
    json << "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0," << bar.joints << "]}],"
         << "\"nodes\":[" << nodes.str() << "{\"mesh\":0,\"skin\":0}],\"meshes\":[{\"primitives\":[{\"attributes\":"
         << "{\"POSITION\":0,\"JOINTS_0\":1,\"WEIGHTS_0\":2},\"indices\":3}]}],\"skins\":[{\"inverseBindMatrices\":4,"
         << "\"joints\":[" << (bar.joints == 2 ? "0,1" : "0,1,2,3") << "]}],\"animations\":[{\"name\":\"bend\",\"samplers\":["
         << samplers.str() << "],\"channels\":[" << channels.str() << "]}],\"buffers\":[{"
         << (bar.curved ? "" : "\"uri\":\"bar.bin\",") << "\"byteLength\":" << bin.size() << "}],"
         << "\"bufferViews\":[" << views.str() << "],\"accessors\":[" << accessors.str() << "]}";
    if (!bar.curved)
        return dir.write("bar.bin", bin), dir.write("bar.gltf", json.str());
    std::string text = json.str(), glb = "glTF";  // header, JSON chunk, buffer chunk
    text.resize((text.size() + 3) & ~std::size_t(3), ' ');
    put(glb, 2u, std::uint32_t(28 + text.size() + bin.size()), std::uint32_t(text.size()), 0x4E4F534Au);
    glb += text;
    put(glb, std::uint32_t(bin.size()), 0x004E4942u);
    return dir.write("bar.glb", glb + bin);
}

TEST(Import, SkinnedGltfBendsAsItsOwnFormulaSaysWithTwoWeightsKeptOfFourAndItsCurvesShapes)
{
    for (const Bar& bar : { Bar(2, false), Bar(4, false), Bar(2, true) }) {
        ScratchDir dir;
        const ChildResult r = runBuilt("qztool", { "import", writeGltf(dir, bar), dir.file("bar.qzg"), "--animation",
            dir.file("bar.qza"), "--fps", bar.curved ? "120" : "30" });  // fine enough to follow the spline within 1e-3
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        // Of four weights the third is at most 0.181 of its vertex (at y = 1.5).
        EXPECT_EQ(r.out.find("20 of 20 vertices had more than two bones; kept the two largest, renormalised; "
                             "the largest weight dropped was 0.181") != std::string::npos, bar.joints == 4) << r.out;
        EXPECT_NE(r.out.find("\"bones\":" + std::to_string(bar.joints) + ", \"animation\":{"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("note:"), std::string::npos) << "nothing dropped: " << r.out;

        FileBuffer keys;
        Geometry g;
        KeyframedAnimation animation;
        ASSERT_TRUE(loadModel(dir.file("bar.qzg"), g) && g.skin);
        ASSERT_TRUE(loadFile(dir.file("bar.qza"), keys) && animation.read(keys));
        const std::int32_t index = AnimationTable::add(&animation);
        for (float t : { 0.25f, 0.5f, 0.8f }) {
            g.skin->skeleton.assignAnimation(index, 0, false, EndLoop);
            g.update(t);
            const VertexArray& bind = g.skin->skinMeshes[0]->bindPose;
            const VertexArray& now = g.mesh(0).vertices;
            ASSERT_EQ(now.vertexCount, 20u);
            for (std::uint32_t v = 0; v < now.vertexCount; ++v) {
                const Vec3 at(bind.vertex(v)[0], bind.vertex(v)[1], bind.vertex(v)[2]);  // the source's vertex there
                const auto source = std::min_element(bar.points.begin(), bar.points.end(),
                    [&](const Vec3& a, const Vec3& b) { return (a - at).length() < (b - at).length(); });
                const Vec3 expected = bar.skinned(std::size_t(source - bar.points.begin()), t);
                for (int c = 0; c < 3; ++c)
                    EXPECT_NEAR(now.vertex(v)[c], (&expected.x)[c], 1e-3f)
                        << bar.joints << " joints, curved " << bar.curved << ", t " << t << " vertex " << v;
            }
        }
    }
}

TEST(Import, AMeshBeyondSixteenBitIndicesIsSplitNotTruncatedAndScaled)
{
    ScratchDir dir;
    std::ostringstream obj;
    constexpr int W = 350, H = 200;  // 70 000 vertices
    for (int i = 0; i < W * H; ++i)
        obj << "v " << i % W << ' ' << i / W << " 0\n";
    for (int a = 1; a + W < W * H; ++a)  // two triangles up and right of each vertex but the top row's and right column's
        if (a % W)
            obj << "f " << a << ' ' << a + 1 << ' ' << a + W + 1 << "\nf " << a << ' ' << a + W + 1 << ' ' << a + W << '\n';
    const ChildResult r = runBuilt("qztool", { "import", dir.write("grid.obj", obj.str()), dir.file("grid.qzg"), "--scale", "2" });
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    Geometry g;
    ASSERT_TRUE(loadModel(dir.file("grid.qzg"), g));
    ASSERT_EQ(g.itemCount(), 2u);
    EXPECT_LE(std::max(g.mesh(0).vertices.vertexCount, g.mesh(1).vertices.vertexCount), 65536u);
    EXPECT_EQ(g.mesh(0).triangles.count + g.mesh(1).triangles.count, 2u * (W - 1) * (H - 1));
    EXPECT_FLOAT_EQ(g.bounds.half.x, W - 1.0f) << "scaled by 2";
}

TEST(Import, RefusalsWriteNothingAndSayWhy)
{
    ScratchDir dir;
    const struct { std::vector<std::string> args; const char* reason; } cases[] = {
        { { "import", dir.write("notes.txt", "not a model\n"), dir.file("out.qzg") }, "notes.txt: " },
        { { "import", dir.write("lines.obj", "v 0 0 0\nv 1 0 0\nl 1 2\n"), dir.file("out.qzg") }, "no triangles" },
        { { "import", writeGltf(dir, Bar(2, false)), dir.file("out.qzg"), "--animation", dir.file("out.qza"), "--take", "dance" }, "0 'bend'" },
        { { "import", dir.write("l.obj", objOf(L_SHAPE, L_TRIANGLES)), dir.file("out.qzg"), "--animation", dir.file("out.qza") }, "has no animation" },
    };
    auto files = [&] { return std::set<std::filesystem::path>(std::filesystem::directory_iterator(dir.path()), {}); };
    const auto before = files();
    for (const auto& c : cases) {
        const ChildResult r = runBuilt("qztool", c.args);
        EXPECT_EQ(r.exitStatus, 1) << c.args[1];
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
        EXPECT_EQ(files(), before) << c.args[1];
    }
}

}
