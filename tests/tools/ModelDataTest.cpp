// The models datagen writes, read back through the engine as the show reads them: their
// counts, textures and surfaces, the skinned ones played through their animations, the
// camera paths that frame them, and the model scenes as the show renders them.
#include "app/CameraPath.h"
#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationTable.h"
#include "engine/geometry/Camera.h"
#include "engine/geometry/Geometry.h"
#include "engine/material/Image.h"
#include "engine/math/FileBuffer.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/Netpbm.h"
#include "tests/support/ScratchDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace vertexformat;

namespace {

constexpr float BEAT_S = 60.0f / 90.0f;

struct ModelSpec {
    const char* file;
    const char* animation; // null: static
    std::uint32_t minTriangles, maxTriangles;
    std::uint32_t minBones;
    bool closed; // a solid the camera sees from outside
};

const ModelSpec MODELS[] = {
    {"cave_Scene_4.qzg", nullptr, 3000, 9000, 0, false},
    {"FIXE.qzg", nullptr, 2000, 8000, 0, true},
    {"rien.qzg", nullptr, 1000, 5000, 0, false},
    {"police.qzg", "police.qza", 2000, 8000, 15, true},
    {"sol.qzg", "sol.qza", 2000, 9000, 2, false},
};

// datagen run once for the whole program.
class ModelData : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        scratch = new ScratchDir;
        ChildResult r = runChild({VELVET_BUILD_DIR "/datagen", "--no-soundtrack", scratch->file("Data")});
        generated = r.exitStatus == 0;
        EXPECT_TRUE(generated) << r.err;
    }
    static void TearDownTestSuite() { delete scratch; }
    void SetUp() override
    {
        if (!generated)
            GTEST_FAIL() << "datagen failed";
    }

    static std::string path(const std::string& name) { return scratch->file("Data/" + name); }
    // Loaded as the cel-shading model loads it when cel is set (position, normal,
    // texture set 0 forced), else with the format of the file.
    static bool loadModel(const std::string& name, Geometry& g)
    {
        FileBuffer file;
        const std::string bytes = readWholeFile(path(name));
        return file.loadFromMemory(bytes.data(), std::uint32_t(bytes.size())) && g.load(file, name.c_str());
    }
    static bool loadAnimation(const std::string& name, KeyframedAnimation& a)
    {
        FileBuffer file;
        const std::string bytes = readWholeFile(path(name));
        return file.loadFromMemory(bytes.data(), std::uint32_t(bytes.size())) && a.read(file);
    }

    // The scene change times of the generated "Syncro.txt".
    static std::vector<std::int32_t> syncTimes()
    {
        std::vector<std::int32_t> times;
        if (std::FILE* f = std::fopen(path("Syncro.txt").c_str(), "r")) {
            for (int t = 0; std::fscanf(f, "%d", &t) == 1;)
                times.push_back(t);
            std::fclose(f);
        }
        return times;
    }

    static ScratchDir* scratch;
    static bool generated;
};

ScratchDir* ModelData::scratch = nullptr;
bool ModelData::generated = false;

std::uint32_t triangleCount(const Geometry& g)
{
    std::uint32_t n = 0;
    for (const GeometryItem& item : g.items)
        n += item.mesh->triangles.count;
    return n;
}

Vec3 position(const VertexArray& v, std::uint32_t i)
{
    const float* p = v.vertex(i);
    return Vec3(p[0], p[1], p[2]);
}

TEST_F(ModelData, EveryModelLoadsWithItsCountsAndSkinWeightsThatSumToOne)
{
    for (const ModelSpec& spec : MODELS) {
        SCOPED_TRACE(spec.file);
        Geometry g;
        ASSERT_TRUE(loadModel(spec.file, g));
        EXPECT_EQ(g.layout, GeometryLayout::General);
        EXPECT_GE(triangleCount(g), spec.minTriangles);
        EXPECT_LE(triangleCount(g), spec.maxTriangles);
        for (const GeometryItem& item : g.items) {
            EXPECT_EQ(item.mesh->vertices.format, Position | Normal | Tex0) << "smooth normals and texture set 0";
            EXPECT_EQ(item.mesh->isStatic, spec.animation == nullptr);
        }
        if (!spec.animation) {
            EXPECT_FALSE(g.skin);
            continue;
        }
        ASSERT_TRUE(g.skin);
        EXPECT_GE(g.skin->skeleton.boneCount(), spec.minBones);
        std::uint32_t blended = 0;
        for (const auto& skinMesh : g.skin->skinMeshes)
            for (const SkinWeight& w : skinMesh->weights) {
                EXPECT_NEAR(w.weight0 + (w.bone1 < 0 ? 0.0f : w.weight1), 1.0f, 1e-5f);
                blended += w.bone1 >= 0 && w.weight1 > 0.0f;
            }
        EXPECT_GT(blended, 100u) << "two influences where the joints bend";
        KeyframedAnimation animation;
        ASSERT_TRUE(loadAnimation(spec.animation, animation));
        EXPECT_EQ(animation.boneCount, g.skin->skeleton.boneCount());
        EXPECT_GE(animation.duration, 4.0f);
        const float beats = animation.duration / BEAT_S;
        EXPECT_NEAR(beats, std::round(beats), 1e-3f) << "loops on the beat";
    }
}

// Models stand where the scenes draw them: the figure and the dancer on the ground at
// the origin, 10 to 20 units tall; the ground's surface 160 units up (it is drawn 160
// down); the cave around the figure, the fountain and the tunnel the camera comes in by.
TEST_F(ModelData, ModelsStandWhereTheScenesDrawThem)
{
    struct Place {
        const char* file;
        float lowest, highest; // where its lowest point lies
        float minHeight, maxHeight;
        float maxOffAxis;      // how far its middle may be from the vertical axis
    };
    const Place PLACES[] = {
        {"FIXE.qzg", -0.1f, 0.5f, 10.0f, 20.0f, 2.0f},
        {"police.qzg", -0.1f, 0.5f, 10.0f, 20.0f, 0.5f},
        {"sol.qzg", 150.0f, 160.0f, 0.0f, 12.0f, 1.0f},
    };
    for (const Place& place : PLACES) {
        SCOPED_TRACE(place.file);
        Geometry g;
        ASSERT_TRUE(loadModel(place.file, g));
        const Mesh& mesh = *g.items[0].mesh;
        const Bounds& b = mesh.bounds;
        EXPECT_GE(b.centre.y - b.half.y, place.lowest);
        EXPECT_LE(b.centre.y - b.half.y, place.highest);
        EXPECT_GE(2.0f * b.half.y, place.minHeight);
        EXPECT_LE(2.0f * b.half.y, place.maxHeight);
        EXPECT_LE(std::hypot(b.centre.x, b.centre.z), place.maxOffAxis);
    }
    // The dancer's feet reach y = 0; the ground under them is at 160 before the scene's shift.
    Geometry ground;
    ASSERT_TRUE(loadModel("sol.qzg", ground));
    const VertexArray& surface = ground.items[0].mesh->vertices;
    for (std::uint32_t i = 0; i < surface.vertexCount; ++i)
        if (std::hypot(position(surface, i).x, position(surface, i).z) < 10.0f) {
            EXPECT_NEAR(position(surface, i).y, 160.0f, 0.05f);
        }
    Geometry cave;
    ASSERT_TRUE(loadModel("cave_Scene_4.qzg", cave));
    for (const Vec3& inside : {Vec3(0, 10, 0), Vec3(-30, 10, 0), Vec3(0, 12, 60)}) {
        const Bounds& b = cave.bounds;
        EXPECT_LT(std::fabs(inside.x - b.centre.x), b.half.x);
        EXPECT_LT(std::fabs(inside.y - b.centre.y), b.half.y);
        EXPECT_LT(std::fabs(inside.z - b.centre.z), b.half.z);
    }
}

// Every picture a material names is in the data folder and decodes; the models use all
// three picture formats. Texture entries 1 and 3 stay free for the cel-shading ramps.
TEST_F(ModelData, EveryTextureAMaterialNamesIsThereAndDecodes)
{
    std::set<std::string> endings;
    for (const ModelSpec& spec : MODELS) {
        Geometry g;
        ASSERT_TRUE(loadModel(spec.file, g)) << spec.file;
        for (const GeometryItem& item : g.items) {
            const std::string& name = item.material->textureNames[0];
            SCOPED_TRACE(std::string(spec.file) + " " + name);
            ASSERT_FALSE(name.empty());
            EXPECT_TRUE(item.material->textureNames[1].empty() && item.material->textureNames[3].empty());
            const std::string bytes = readWholeFile(path(name));
            Image image;
            ASSERT_TRUE(image.decode(name.c_str(), reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
            EXPECT_GE(image.width(), 32u);
            endings.insert(name.substr(name.size() - 3));
        }
    }
    EXPECT_EQ(endings, (std::set<std::string>{"bmp", "jpg", "tga"}));
}

// Back faces are culled: every triangle must turn towards the side its normals face,
// and the solids must be closed (each edge, vertices welded by position, shared by one
// triangle each way round).
TEST_F(ModelData, SurfacesFaceTheirNormalsAndSolidsAreClosed)
{
    for (const ModelSpec& spec : MODELS) {
        SCOPED_TRACE(spec.file);
        Geometry g;
        ASSERT_TRUE(loadModel(spec.file, g));
        for (const GeometryItem& item : g.items) {
            const VertexArray& v = item.mesh->vertices;
            const TriangleList& t = item.mesh->triangles;
            std::map<std::vector<float>, std::uint32_t> weld;
            std::map<std::pair<std::uint32_t, std::uint32_t>, int> edges;
            std::uint32_t facing = 0;
            for (std::uint32_t k = 0; k < t.count; ++k) {
                const std::uint16_t* i = &t.indices[3 * k];
                const Vec3 a = position(v, i[0]), b = position(v, i[1]), c = position(v, i[2]);
                Vec3 normal;
                std::uint32_t id[3];
                for (int c3 = 0; c3 < 3; ++c3) {
                    const float* n = v.vertex(i[c3]) + v.normalOffset;
                    normal += Vec3(n[0], n[1], n[2]);
                    const Vec3 p = position(v, i[c3]);
                    id[c3] = weld.emplace(std::vector<float>{p.x, p.y, p.z}, std::uint32_t(weld.size())).first->second;
                }
                facing += dot(cross(b - a, c - a), normal) > 0.0f;
                for (int e = 0; e < 3; ++e)
                    ++edges[{id[e], id[(e + 1) % 3]}];
            }
            EXPECT_GE(facing, t.count * 99 / 100);
            if (!spec.closed)
                continue;
            std::uint32_t open = 0;
            for (const auto& [edge, uses] : edges)
                open += uses != 1 || edges.count({edge.second, edge.first}) == 0;
            EXPECT_EQ(open, 0u);
        }
    }
}

// Played through the engine's skeleton: the dancer's feet stay planted while its hands
// dance and nothing sinks into the ground; the ground stays calm under the dancer and
// swells far from it.
TEST_F(ModelData, SkinnedModelsMoveAsDesigned)
{
    struct Motion {
        const char* model;
        const char* animation;
        std::vector<Vec3> still; // points near which vertices stay within stillTolerance
        float stillRadius, stillTolerance;
        float minTravel;   // the largest move of any vertex over the loop, at least
        float floorY;      // no vertex below this
    };
    const Motion MOTIONS[] = {
        {"police.qzg", "police.qza", {Vec3(1.0f, 0.2f, 0.4f), Vec3(-1.0f, 0.2f, 0.4f)}, 0.5f, 0.2f, 4.0f, -0.3f},
        {"sol.qzg", "sol.qza", {Vec3(0, 160, 0)}, 8.0f, 0.3f, 6.0f, 120.0f},
    };
    for (const Motion& m : MOTIONS) {
        SCOPED_TRACE(m.model);
        Geometry g;
        KeyframedAnimation animation;
        ASSERT_TRUE(loadModel(m.model, g));
        ASSERT_TRUE(loadAnimation(m.animation, animation));
        AnimationTable::clear();
        g.skin->skeleton.assignAnimation(AnimationTable::add(&animation), 0, false, EndLoop);
        const VertexArray& bind = g.skin->skinMeshes[0]->bindPose;
        const VertexArray& pose = g.items[0].mesh->vertices;
        std::vector<float> travel(bind.vertexCount, 0.0f);
        constexpr int STEPS = 48;
        for (int s = 0; s < STEPS; ++s) {
            g.update(animation.duration / STEPS);
            for (std::uint32_t i = 0; i < bind.vertexCount; ++i) {
                const Vec3 from = position(bind, i), to = position(pose, i);
                travel[i] = std::max(travel[i], (to - from).length());
                ASSERT_GE(to.y, m.floorY) << "vertex " << i << " step " << s;
                for (const Vec3& still : m.still)
                    if ((from - still).length() < m.stillRadius) {
                        ASSERT_LT((to - from).length(), m.stillTolerance) << "vertex " << i << " step " << s;
                    }
            }
        }
        EXPECT_GE(*std::max_element(travel.begin(), travel.end()), m.minTravel);
        AnimationTable::clear();
    }
}

// Each model scene's camera keeps what it films in frame and never flies into the rock
// or through the orbit rings, for the whole scene.
TEST_F(ModelData, CameraPathsFrameTheirSubjectAndKeepClearOfTheModels)
{
    struct Shot {
        const char* pathFile;
        int scene;
        Vec3 subject;
        const char* model;
        Vec3 modelAt;  // the scene's translation of the model
        float clearance;
    };
    const Shot SHOTS[] = {
        {"Scene4.txt", 5, Vec3(0, 10, 0), "cave_Scene_4.qzg", Vec3(), 3.0f},
        {"Scene4.txt", 5, Vec3(0, 10, 0), "rien.qzg", Vec3(0, 0, 10), 4.0f},
        {"Scene5.txt", 6, Vec3(0, 10, 0), "cave_Scene_4.qzg", Vec3(), 3.0f},
        {"Scene5.txt", 6, Vec3(0, 10, 0), "rien.qzg", Vec3(), 4.0f},
        {"Scene6.txt", 7, Vec3(0, 10, 0), "rien.qzg", Vec3(), 4.0f},
        {"Scene7.txt", 8, Vec3(0, 7, 0), "rien.qzg", Vec3(), 4.0f},
        {"Scene7.txt", 8, Vec3(0, 7, 0), "sol.qzg", Vec3(0, -160, 0), 3.0f},
        {"Scene8.txt", 9, Vec3(-1, 13, 0), "cave_Scene_4.qzg", Vec3(), 3.0f},
        {"Scene8.txt", 9, Vec3(-1, 13, 0), "rien.qzg", Vec3(0, 0, 10), 4.0f},
        {"Fixe2.txt", 3, Vec3(0, 9, 0), "rien.qzg", Vec3(), 4.0f},
    };
    const std::vector<std::int32_t> sync = syncTimes();
    ASSERT_EQ(sync.size(), 13u);
    Mat4 projection;
    projection.setPerspective(90.0f, 0.1f, 1000.0f, 1024.0f / 768.0f);
    for (const Shot& shot : SHOTS) {
        SCOPED_TRACE(std::string(shot.pathFile) + " " + shot.model);
        CameraPath camera;
        ASSERT_TRUE(camera.load(path(shot.pathFile).c_str(), 0));
        Geometry g;
        ASSERT_TRUE(loadModel(shot.model, g));
        const std::int32_t length = sync[std::size_t(shot.scene)] - sync[std::size_t(shot.scene) - 1];
        std::uint32_t keys = 0, framed = 0;
        for (const PathKey& key : camera.keys()) {
            if (key.time > length)
                break;
            ++keys;
            const Vec3 eye(-key.translation.x, -key.translation.y, -key.translation.z);
            float nearest = 1e30f;
            for (const GeometryItem& item : g.items)
                for (std::uint32_t i = 0; i < item.mesh->vertices.vertexCount; ++i)
                    nearest = std::min(nearest, (position(item.mesh->vertices, i) + shot.modelAt - eye).length());
            ASSERT_GE(nearest, shot.clearance) << "at " << key.time << " ms";
            Camera view;
            view.set(key.translation.x, key.translation.y, key.translation.z, key.angles.x, key.angles.y, key.angles.z);
            Mat4 clip = projection;
            clip.multiply(view.viewMatrix());
            Vec3 ndc;
            const float w = clip.transformPointW(shot.subject, ndc);
            // Between the lyrics' letterbox bands, which leave the middle 72 % of the height at
            // 1024 x 768, with a margin.
            framed += w > 0.0f && std::fabs(ndc.x / w) < 0.8f && std::fabs(ndc.y / w) < 0.6f;
        }
        EXPECT_GT(keys, 100u);
        EXPECT_GE(framed, keys * 95 / 100) << "the subject leaves the frame";
    }
}


// The model scenes played by velvet-render from this data: a frame in the middle of
// each one shows something besides its plain background, and differs from the frames
// of the scenes next to it.
TEST_F(ModelData, EveryModelSceneDrawsItsOwnPicture)
{
    const std::vector<std::int32_t> sync = syncTimes();
    ASSERT_EQ(sync.size(), 13u);
    // One frame a second, at a size where the lyrics' bands (fixed in pixels) leave room.
    constexpr int FPS = 1;
    const int SCENES[] = {3, 5, 6, 7, 8, 9};
    ChildOptions options;
    options.workingDirectory = scratch->path();
    ChildResult r = runChild({VELVET_BUILD_DIR "/velvet-render", "--frames", "frames", "--fps", std::to_string(FPS),
                                 "--size", "512x384", "--seconds", std::to_string(sync[9] / 1000 + 1)},
        options);
    ASSERT_EQ(r.exitStatus, 0) << r.err;
    std::vector<NetpbmPicture> frames;
    for (int scene : SCENES) {
        const int middle = (sync[std::size_t(scene) - 1] + sync[std::size_t(scene)]) / 2 * FPS / 1000;
        char name[64];
        std::snprintf(name, sizeof name, "frames/frame_%05d.ppm", middle);
        frames.emplace_back();
        ASSERT_TRUE(parseNetpbm(readWholeFile(scratch->file(name)), frames.back())) << name;
    }
    // Share of pixels further than 24 (sum of channels) from the other picture or colour.
    auto differing = [](const NetpbmPicture& a, auto&& other) {
        std::size_t n = 0, pixels = a.samples.size() / 3;
        for (std::size_t i = 0; i < pixels; ++i) {
            const std::uint8_t* p = &a.samples[3 * i];
            const std::uint8_t* q = other(i);
            n += std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 24;
        }
        return double(n) / double(pixels);
    };
    const std::uint8_t BACKGROUNDS[2][3] = {{0, 0, 70}, {0, 0, 0}};
    for (std::size_t s = 0; s < frames.size(); ++s) {
        SCOPED_TRACE("scene " + std::to_string(SCENES[s]));
        for (const auto& background : BACKGROUNDS)
            EXPECT_GT(differing(frames[s], [&](std::size_t) { return background; }), 0.05);
        if (s > 0) {
            EXPECT_GT(differing(frames[s], [&](std::size_t i) { return &frames[s - 1].samples[3 * i]; }), 0.05);
        }
    }
}

}
