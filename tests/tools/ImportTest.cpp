// qztool import with model files other programs wrote: the importer's own exporter turns
// an OBJ into glTF 2.0 and Collada, and a skinned glTF bar is written here as JSON and a
// binary buffer. What comes out is drawn and deformed by the engine and compared with
// the source's own shapes and skinning formula.
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

std::vector<std::string> filesIn(const std::string& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
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
std::multiset<std::vector<std::vector<long>>> trianglesOf(const std::vector<Vec3>& points, const std::vector<std::uint16_t>& indices)
{
    std::multiset<std::vector<std::vector<long>>> triangles;
    for (std::size_t t = 0; t + 2 < indices.size(); t += 3) {
        std::vector<std::vector<long>> corners;
        for (std::size_t k = 0; k < 3; ++k) {
            const Vec3& p = points[indices[t + k]];
            corners.push_back({ std::lround(p.x * 1000), std::lround(p.y * 1000), std::lround(p.z * 1000) });
        }
        std::rotate(corners.begin(), std::min_element(corners.begin(), corners.end()), corners.end());
        triangles.insert({ corners[0], corners[1], corners[2] });
    }
    return triangles;
}

TEST(Import, ModelsTheImportersExporterWroteKeepTheSourcesTriangles)
{
    ScratchDir dir;
    const std::string obj = dir.write("l.obj", objOf(L_SHAPE, L_TRIANGLES));
    for (const char* format : { "obj", "gltf2", "collada" }) {
        const std::string model = dir.file(std::string("l.") + format);
        if (std::string(format) != "obj") {
            ASSERT_EQ(runCommand("assimp export " + shellQuote(obj) + " " + shellQuote(model) + " -f" + format
                          + " >/dev/null"), 0) << format;
        }
        const ChildResult r = runBuilt("qztool", { "import", model, dir.file("l.qzg") });
        ASSERT_EQ(r.exitStatus, 0) << format << r.err;
        EXPECT_NE(r.out.find("\"meshes\":1, \"vertices\":6, \"triangles\":4, \"bones\":0"), std::string::npos) << r.out;
        Geometry imported;
        ASSERT_TRUE(loadModel(dir.file("l.qzg"), imported));
        const VertexArray& v = imported.mesh(0).vertices;
        std::vector<Vec3> points;
        for (std::uint32_t i = 0; i < v.vertexCount; ++i)
            points.emplace_back(v.vertex(i)[0], v.vertex(i)[1], v.vertex(i)[2]);
        EXPECT_TRUE(trianglesOf(points, imported.mesh(0).triangles.indices) == trianglesOf(L_SHAPE, L_TRIANGLES)) << format;
    }
}

// A PNG named by an OBJ's material, or embedded in a glTF file, becomes a JPEG beside the
// model, top row still on top (texture v = 0 there, as the engine uploads pictures), under
// the name the model gives.
TEST(Import, PngAndEmbeddedPicturesBecomeJpegsBesideTheModelUnderTheNameItRefersTo)
{
    ScratchDir dir;
    std::string ppm = "P6 2 2 255\n";
    ppm += std::string("\xff\0\0\xff\0\0\0\0\xff\0\0\xff", 12);  // red row over blue row
    dir.write("pic.ppm", ppm);
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
        EXPECT_GT(picture.samples[0], 200);  // top left red
        EXPECT_GT(picture.samples[2 * 3 * 2 - 1], 200);  // bottom right blue
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
    const float colours[] = { m.ambient[0], m.ambient[1], m.ambient[2], m.diffuse[0], m.diffuse[1], m.diffuse[2] };
    for (int c = 0; c < 6; ++c)
        EXPECT_FLOAT_EQ(colours[c], (std::vector<float> { 0.1f, 0.2f, 0.3f, 0.5f, 0.25f, 1.0f })[std::size_t(c)]) << c;
}

// The bar: rows of four vertices from y = 0 to 2 on `joints` joints in a chain up the bar.
// The root slides from x = 0.5 to 1.5, joint 1 turns 90 degrees about z and (with more than
// two joints) the last one 60 degrees about x, all over one second.
struct Bar {
    int joints;
    bool curved;  // the slide as a STEP curve (it stays at 0.5), the turn as a CUBICSPLINE one, in a .glb
    std::vector<Vec3> points;
    std::vector<std::vector<float>> weights;  // per vertex, per joint

    float jointY(int j) const { return joints == 2 ? float(j) : 0.6f * float(j); }
    Bar(int n, bool c) : joints(n), curved(c)
    {
        for (int row = 0; row < 5; ++row)
            for (int k = 0; k < 4; ++k) {
                const float y = 0.5f * float(row);
                points.push_back({ k % 2 ? 0.1f : -0.1f, y, k / 2 ? 0.1f : -0.1f });
                std::vector<float> w(static_cast<std::size_t>(n));
                for (int j = 0; j < n; ++j)
                    w[std::size_t(j)] = n == 2 ? std::clamp(j ? y - 0.5f : 1.5f - y, 0.0f, 1.0f)
                                               : 1.0f / (1.0f + 4.0f * std::fabs(y - jointY(j)) + 0.1f * float(j));
                weights.push_back(w);
            }
    }
    // Joint j's local transform at t seconds.
    Mat4 local(int j, float t) const
    {
        Mat4 m;
        m.setTranslation(j ? 0.0f : curved ? 0.5f : 0.5f + t, j ? jointY(j) - jointY(j - 1) : 0.0f, 0.0f);
        float angle = (j == 1 ? 1.5707963f : j == joints - 1 && joints > 2 ? 1.0471976f : 0.0f) * t;
        const float h = t * t * (3.0f - 2.0f * t);  // Hermite with flat tangents, then normalised
        if (curved && j == 1)
            angle = 2.0f * std::atan2(h * std::sin(0.7853982f), 1.0f - h + h * std::cos(0.7853982f));
        Mat4 turn;
        const int a = j == 1 ? 0 : 1, b = j == 1 ? 1 : 2;  // about z: x, y; about x: y, z
        turn.at(a, a) = turn.at(b, b) = std::cos(angle);
        turn.at(b, a) = std::sin(angle);
        turn.at(a, b) = -std::sin(angle);
        m.multiply(turn);
        return m;
    }
    // The glTF skinning formula with each vertex's two largest weights, renormalised.
    Vec3 skinned(std::size_t v, float t) const
    {
        std::vector<int> order;
        for (int j = 0; j < joints; ++j)
            order.push_back(j);
        std::sort(order.begin(), order.end(), [&](int a, int b) { return weights[v][std::size_t(a)] > weights[v][std::size_t(b)]; });
        const float kept = weights[v][std::size_t(order[0])] + weights[v][std::size_t(order[1])];
        Vec3 sum;
        for (int k = 0; k < 2; ++k) {
            Mat4 world;
            for (int j = 0; j <= order[std::size_t(k)]; ++j)
                world.multiply(local(j, t));
            world.translate(0.0f, -jointY(order[std::size_t(k)]), 0.0f);
            Vec3 p;
            world.transformPoint(points[v], p);
            sum += p * (weights[v][std::size_t(order[std::size_t(k)])] / kept);
        }
        return sum;
    }
};

template <typename T>
void put(std::string& bin, const T& value)
{
    bin.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// The bar as a glTF 2.0 file with an external buffer; the path of the .gltf.
std::string writeGltf(const ScratchDir& dir, const Bar& bar)
{
    std::string bin;
    std::ostringstream views, accessors;
    int count = 0;
    std::size_t start = 0; // of the view being written; each view ends where the bytes do
    auto view = [&](int n, int component, const char* type, const std::string& extra) {
        views << (count ? "," : "") << "{\"buffer\":0,\"byteOffset\":" << start << ",\"byteLength\":" << bin.size() - start << "}";
        start = bin.size();
        accessors << (count ? "," : "") << "{\"bufferView\":" << count << ",\"componentType\":" << component
                  << ",\"count\":" << n << ",\"type\":\"" << type << "\"" << extra << "}";
        return count++;
    };
    const int n = int(bar.points.size());
    for (const Vec3& p : bar.points)
        put(bin, p);
    const int positions = view(n, 5126, "VEC3", ",\"min\":[-0.1,0,-0.1],\"max\":[0.1,2,0.1]");
    for (int v = 0; v < n; ++v)
        for (int k = 0; k < 4; ++k)
            put(bin, std::uint16_t(k < bar.joints ? k : 0));
    const int joints = view(n, 5123, "VEC4", "");
    for (const auto& w : bar.weights)
        for (int k = 0; k < 4; ++k)
            put(bin, k < bar.joints ? w[std::size_t(k)] : 0.0f);
    const int weights = view(n, 5126, "VEC4", "");
    const int ring[5] = { 0, 1, 3, 2, 0 }; // four sides between each two rows
    for (int row = 0; row < 4; ++row)
        for (int s = 0; s < 4; ++s) {
            const int a = row * 4 + ring[s], b = row * 4 + ring[s + 1], c = a + 4, d = b + 4;
            for (int corner : { a, b, d, a, d, c })
                put(bin, std::uint16_t(corner));
        }
    const int triangles = view(4 * 4 * 6, 5123, "SCALAR", "");
    bin.resize((bin.size() + 3) & ~std::size_t(3));
    start = bin.size(); // matrices on a four-byte boundary
    for (int j = 0; j < bar.joints; ++j) {
        Mat4 inverseBind;
        inverseBind.setTranslation(0.0f, -bar.jointY(j), 0.0f);
        put(bin, inverseBind);
    }
    const int binds = view(bar.joints, 5126, "MAT4", "");
    put(bin, 0.0f), put(bin, 1.0f);
    const int times = view(2, 5126, "SCALAR", ",\"min\":[0],\"max\":[1]");
    put(bin, Vec3(0.5f, 0, 0)), put(bin, Vec3(1.5f, 0, 0));
    const int slide = view(2, 5126, "VEC3", "");
    std::ostringstream samplers, channels;
    samplers << "{\"input\":" << times << ",\"output\":" << slide << (bar.curved ? ",\"interpolation\":\"STEP\"" : "") << "}";
    channels << "{\"sampler\":0,\"target\":{\"node\":0,\"path\":\"translation\"}}";
    const int turned[2] = { 1, bar.joints > 2 ? bar.joints - 1 : -1 };
    for (int k = 0; k < 2 && turned[k] >= 0; ++k) {
        const float half = k ? 0.5235988f : 0.7853982f;
        const bool cubic = bar.curved && k == 0;
        for (const Quat& q : { Quat(0, 0, 0, 1), k ? Quat(std::sin(half), 0, 0, std::cos(half)) : Quat(0, 0, std::sin(half), std::cos(half)) }) {
            if (cubic)
                put(bin, Quat(0, 0, 0, 0));
            put(bin, q);
            if (cubic)
                put(bin, Quat(0, 0, 0, 0));
        }
        const int turn = view(cubic ? 6 : 2, 5126, "VEC4", "");
        samplers << ",{\"input\":" << times << ",\"output\":" << turn << (cubic ? ",\"interpolation\":\"CUBICSPLINE\"" : "") << "}";
        channels << ",{\"sampler\":" << k + 1 << ",\"target\":{\"node\":" << turned[k] << ",\"path\":\"rotation\"}}";
    }
    std::ostringstream nodes, jointList;
    for (int j = 0; j < bar.joints; ++j) {
        // Four joints place themselves by matrix, so their channels keep the rest translation.
        const float rise = j ? bar.jointY(j) - bar.jointY(j - 1) : 0.0f;
        nodes << "{\"name\":\"joint" << j << "\","
              << (bar.joints == 4 ? "\"matrix\":[1,0,0,0,0,1,0,0,0,0,1,0,0," : "\"translation\":[0,") << rise
              << (bar.joints == 4 ? ",0,1]" : ",0]")
              << (j + 1 < bar.joints ? ",\"children\":[" + std::to_string(j + 1) + "]" : "") << "},";
        jointList << (j ? "," : "") << j;
    }
    nodes << "{\"name\":\"bar\",\"mesh\":0,\"skin\":0}";
    dir.write("bar.bin", bin);
    std::ostringstream json;
    json << "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0," << bar.joints << "]}],"
         << "\"nodes\":[" << nodes.str() << "],"
         << "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":" << positions << ",\"JOINTS_0\":" << joints
         << ",\"WEIGHTS_0\":" << weights << "},\"indices\":" << triangles << "}]}],"
         << "\"skins\":[{\"inverseBindMatrices\":" << binds << ",\"joints\":[" << jointList.str() << "]}],"
         << "\"animations\":[{\"name\":\"bend\",\"samplers\":[" << samplers.str() << "],\"channels\":[" << channels.str() << "]}],"
         << "\"buffers\":[{" << (bar.curved ? "" : "\"uri\":\"bar.bin\",") << "\"byteLength\":" << bin.size() << "}],"
         << "\"bufferViews\":[" << views.str() << "],\"accessors\":[" << accessors.str() << "]}";
    if (!bar.curved)
        return dir.write("bar.gltf", json.str());
    // The curved bar comes as one binary file: header, JSON chunk, buffer chunk.
    std::string text = json.str();
    text.resize((text.size() + 3) & ~std::size_t(3), ' ');
    std::string glb = "glTF";
    for (std::uint32_t word : { 2u, std::uint32_t(28 + text.size() + bin.size()), std::uint32_t(text.size()), 0x4E4F534Au })
        put(glb, word);
    glb += text;
    for (std::uint32_t word : { std::uint32_t(bin.size()), 0x004E4942u })
        put(glb, word);
    return dir.write("bar.glb", glb + bin);
}

TEST(Import, SkinnedGltfBendsAsItsOwnFormulaSaysWithTwoWeightsKeptOfFourAndItsCurvesShapes)
{
    for (const Bar& bar : { Bar(2, false), Bar(4, false), Bar(2, true) }) {
        const int joints = bar.joints;
        ScratchDir dir;
        // Curves sampled finely enough to follow the spline's bend within 1e-3.
        const ChildResult r = runBuilt("qztool", { "import", writeGltf(dir, bar), dir.file("bar.qzg"), "--animation",
            dir.file("bar.qza"), "--fps", bar.curved ? "120" : "30" });
        ASSERT_EQ(r.exitStatus, 0) << r.err;
        // Of four weights the third is at most 0.181 of its vertex (at y = 1.5).
        EXPECT_EQ(r.out.find("20 of 20 vertices had more than two bones; kept the two largest, renormalised; "
                             "the largest weight dropped was 0.181") != std::string::npos, joints == 4) << r.out;
        EXPECT_NE(r.out.find("\"bones\":" + std::to_string(joints) + ", \"animation\":{"), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("note:"), std::string::npos) << "nothing dropped: " << r.out;

        FileBuffer keys;
        Geometry g;
        KeyframedAnimation animation;
        ASSERT_TRUE(loadModel(dir.file("bar.qzg"), g));
        ASSERT_TRUE(loadFile(dir.file("bar.qza"), keys) && animation.read(keys));
        ASSERT_TRUE(g.skin);
        const std::int32_t index = AnimationTable::add(&animation);
        for (float t : { 0.25f, 0.5f, 0.8f }) {
            g.skin->skeleton.assignAnimation(index, 0, false, EndLoop);
            g.update(t);
            const VertexArray& bind = g.skin->skinMeshes[0]->bindPose;
            const VertexArray& now = g.mesh(0).vertices;
            ASSERT_EQ(now.vertexCount, 20u);
            for (std::uint32_t v = 0; v < now.vertexCount; ++v) {
                const Vec3 at(bind.vertex(v)[0], bind.vertex(v)[1], bind.vertex(v)[2]);
                std::size_t source = 0;
                for (std::size_t s = 1; s < bar.points.size(); ++s)
                    if ((bar.points[s] - at).length() < (bar.points[source] - at).length())
                        source = s;
                const Vec3 expected = bar.skinned(source, t);
                for (int c = 0; c < 3; ++c)
                    EXPECT_NEAR(now.vertex(v)[c], (&expected.x)[c], 1e-3f)
                        << joints << " joints, curved " << bar.curved << ", t " << t << " vertex " << v;
            }
        }
    }
}

TEST(Import, AMeshBeyondSixteenBitIndicesIsSplitNotTruncatedAndScaled)
{
    ScratchDir dir;
    std::ostringstream obj;
    constexpr int W = 350, H = 200;  // 70 000 vertices
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            obj << "v " << x << ' ' << y << " 0\n";
    for (int y = 0; y + 1 < H; ++y)
        for (int x = 0; x + 1 < W; ++x) {
            const int a = y * W + x + 1;
            obj << "f " << a << ' ' << a + 1 << ' ' << a + W + 1 << "\nf " << a << ' ' << a + W + 1 << ' ' << a + W << '\n';
        }
    const ChildResult r = runBuilt("qztool", { "import", dir.write("grid.obj", obj.str()), dir.file("grid.qzg"), "--scale", "2" });
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    Geometry g;
    ASSERT_TRUE(loadModel(dir.file("grid.qzg"), g));
    ASSERT_EQ(g.itemCount(), 2u);
    std::uint32_t triangles = 0;
    for (GeometryItem& item : g.items) {
        EXPECT_LE(item.mesh->vertices.vertexCount, 65536u);
        triangles += item.mesh->triangles.count;
    }
    EXPECT_EQ(triangles, 2u * (W - 1) * (H - 1));
    EXPECT_FLOAT_EQ(g.bounds.half.x, W - 1.0f) << "scaled by 2";
}

TEST(Import, RefusalsWriteNothingAndSayWhy)
{
    ScratchDir dir;
    const std::string obj = dir.write("l.obj", objOf(L_SHAPE, L_TRIANGLES));
    const std::string gltf = writeGltf(dir, Bar(2, false));
    const struct { std::vector<std::string> args; const char* reason; } cases[] = {
        { { "import", dir.write("notes.txt", "not a model\n"), dir.file("out.qzg") }, "notes.txt: " },
        { { "import", dir.write("lines.obj", "v 0 0 0\nv 1 0 0\nl 1 2\n"), dir.file("out.qzg") }, "no triangles" },
        { { "import", gltf, dir.file("out.qzg"), "--animation", dir.file("out.qza"), "--take", "dance" }, "0 'bend'" },
        { { "import", obj, dir.file("out.qzg"), "--animation", dir.file("out.qza") }, "has no animation" },
    };
    const std::vector<std::string> before = filesIn(dir.path());
    for (const auto& c : cases) {
        const ChildResult r = runBuilt("qztool", c.args);
        EXPECT_EQ(r.exitStatus, 1) << c.args[1];
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
        EXPECT_EQ(filesIn(dir.path()), before) << c.args[1];
    }
}

}
