// The models datagen writes, read back through the engine as the show reads them: their
// counts, textures and surfaces, the skinned ones played through their animations, the
// camera paths that frame them, and the show's scenes as velvet-render draws them.
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
#include "tests/tools/GeneratedShow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace vertexformat;

namespace {

using ModelData = GeneratedShow;

bool loadFile(const std::string& name, FileBuffer& file)
{
    const std::string bytes = readWholeFile(GeneratedShow::file(name));
    return file.loadFromMemory(bytes.data(), std::uint32_t(bytes.size()));
}

bool loadModel(const std::string& name, Geometry& g)
{
    FileBuffer file;
    return loadFile(name, file) && g.load(file, name.c_str());
}

Vec3 position(const VertexArray& v, std::uint32_t i)
{
    const float* p = v.vertex(i);
    return Vec3(p[0], p[1], p[2]);
}

// Counts, smooth normals and texture set 0, every texture there and decoded (entries 1
// and 3 stay free for the cel-shading ramps; all three picture formats used), skin
// weights summing to one, animations looping on the beat; back faces are culled, so
// every triangle turns towards its normals, and the solids are closed (each edge,
// vertices welded by position, shared by one triangle each way round).
TEST_F(ModelData, EveryModelLoadsWithItsCountsTexturesSkinAndClosedOutwardSurfaces)
{
    struct Spec {
        const char* file;
        const char* animation; // null: static
        std::uint32_t minTriangles, maxTriangles, minBones;
        bool closed;
    };
    const Spec MODELS[] = {
        { "cave_Scene_4.qzg", nullptr, 3000, 9000, 0, false }, { "FIXE.qzg", nullptr, 2000, 8000, 0, true },
        { "rien.qzg", nullptr, 1000, 5000, 0, false }, { "police.qzg", "police.qza", 2000, 8000, 15, true },
        { "sol.qzg", "sol.qza", 2000, 9000, 2, false },
    };
    std::set<std::string> endings;
    for (const Spec& spec : MODELS) {
        SCOPED_TRACE(spec.file);
        Geometry g;
        ASSERT_TRUE(loadModel(spec.file, g));
        EXPECT_EQ(g.layout, GeometryLayout::General);
        std::uint32_t triangles = 0;
        for (const GeometryItem& item : g.items) {
            const VertexArray& v = item.mesh->vertices;
            const TriangleList& t = item.mesh->triangles;
            triangles += t.count;
            EXPECT_EQ(v.format, Position | Normal | Tex0);
            EXPECT_EQ(item.mesh->isStatic, spec.animation == nullptr);
            const std::string& texture = item.material->textureNames[0];
            EXPECT_TRUE(item.material->textureNames[1].empty() && item.material->textureNames[3].empty());
            const std::string bytes = readWholeFile(file(texture));
            Image image;
            ASSERT_TRUE(image.decode(texture.c_str(), reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()))
                << texture;
            EXPECT_GE(image.width(), 32u);
            endings.insert(texture.substr(texture.size() - 3));

            std::map<std::vector<float>, std::uint32_t> weld;
            std::map<std::pair<std::uint32_t, std::uint32_t>, int> edges;
            std::uint32_t facing = 0;
            for (std::uint32_t k = 0; k < t.count; ++k) {
                const std::uint16_t* i = &t.indices[3 * k];
                Vec3 normal;
                std::uint32_t id[3];
                for (int c = 0; c < 3; ++c) {
                    const float* n = v.vertex(i[c]) + v.normalOffset;
                    normal += Vec3(n[0], n[1], n[2]);
                    const Vec3 p = position(v, i[c]);
                    id[c] = weld.emplace(std::vector<float> { p.x, p.y, p.z }, std::uint32_t(weld.size())).first->second;
                }
                const Vec3 a = position(v, i[0]);
                facing += dot(cross(position(v, i[1]) - a, position(v, i[2]) - a), normal) > 0.0f;
                for (int e = 0; e < 3; ++e)
                    ++edges[{ id[e], id[(e + 1) % 3] }];
            }
            EXPECT_GE(facing, t.count * 99 / 100);
            std::uint32_t open = 0;
            for (const auto& [edge, uses] : edges)
                open += uses != 1 || edges.count({ edge.second, edge.first }) == 0;
            EXPECT_TRUE(open == 0 || !spec.closed) << open << " open edges";
        }
        EXPECT_GE(triangles, spec.minTriangles);
        EXPECT_LE(triangles, spec.maxTriangles);
        ASSERT_EQ(bool(g.skin), spec.animation != nullptr);
        if (!spec.animation)
            continue;
        EXPECT_GE(g.skin->skeleton.boneCount(), spec.minBones);
        std::uint32_t blended = 0;
        for (const auto& skinMesh : g.skin->skinMeshes)
            for (const SkinWeight& w : skinMesh->weights) {
                EXPECT_NEAR(w.weight0 + (w.bone1 < 0 ? 0.0f : w.weight1), 1.0f, 1e-5f);
                blended += w.bone1 >= 0 && w.weight1 > 0.0f;
            }
        EXPECT_GT(blended, 100u) << "two influences where the joints bend";
        FileBuffer file;
        KeyframedAnimation animation;
        ASSERT_TRUE(loadFile(spec.animation, file) && animation.read(file));
        EXPECT_EQ(animation.boneCount, g.skin->skeleton.boneCount());
        EXPECT_GE(animation.duration, 4.0f);
        const float beats = animation.duration / (60.0f / 90.0f);
        EXPECT_NEAR(beats, std::round(beats), 1e-3f) << "loops on the beat";
    }
    EXPECT_EQ(endings, (std::set<std::string> { "bmp", "jpg", "tga" }));
}

// The figure and the dancer on the ground at the origin, 10 to 20 units tall; the
// ground's surface 160 units up (it is drawn 160 down), flat under the dancer; the cave
// around the figure, the fountain and the tunnel the camera comes in by.
TEST_F(ModelData, ModelsStandWhereTheScenesDrawThem)
{
    struct Place {
        const char* file;
        float lowest, highest, minHeight, maxHeight; // where its lowest point lies; its height
        float maxOffAxis; // how far its middle may be from the vertical axis
    };
    const Place PLACES[] = {
        { "FIXE.qzg", -0.1f, 0.5f, 10.0f, 20.0f, 2.0f },
        { "police.qzg", -0.1f, 0.5f, 10.0f, 20.0f, 0.5f },
        { "sol.qzg", 150.0f, 160.0f, 0.0f, 12.0f, 1.0f },
    };
    for (const Place& place : PLACES) {
        Geometry g;
        ASSERT_TRUE(loadModel(place.file, g)) << place.file;
        const Bounds& b = g.items[0].mesh->bounds;
        EXPECT_GE(b.centre.y - b.half.y, place.lowest) << place.file;
        EXPECT_LE(b.centre.y - b.half.y, place.highest) << place.file;
        EXPECT_GE(2.0f * b.half.y, place.minHeight) << place.file;
        EXPECT_LE(2.0f * b.half.y, place.maxHeight) << place.file;
        EXPECT_LE(std::hypot(b.centre.x, b.centre.z), place.maxOffAxis) << place.file;
    }
    Geometry ground, cave;
    ASSERT_TRUE(loadModel("sol.qzg", ground) && loadModel("cave_Scene_4.qzg", cave));
    const VertexArray& surface = ground.items[0].mesh->vertices;
    for (std::uint32_t i = 0; i < surface.vertexCount; ++i)
        if (std::hypot(position(surface, i).x, position(surface, i).z) < 10.0f) {
            EXPECT_NEAR(position(surface, i).y, 160.0f, 0.05f);
        }
    const Bounds& b = cave.bounds;
    for (const Vec3& inside : { Vec3(0, 10, 0), Vec3(-30, 10, 0), Vec3(0, 12, 60) })
        EXPECT_TRUE(std::fabs(inside.x - b.centre.x) < b.half.x && std::fabs(inside.y - b.centre.y) < b.half.y
            && std::fabs(inside.z - b.centre.z) < b.half.z);
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
        float minTravel; // the largest move of any vertex over the loop, at least
        float floorY;    // no vertex below this
    };
    const Motion MOTIONS[] = {
        { "police.qzg", "police.qza", { Vec3(1.0f, 0.2f, 0.4f), Vec3(-1.0f, 0.2f, 0.4f) }, 0.5f, 0.2f, 4.0f, -0.3f },
        { "sol.qzg", "sol.qza", { Vec3(0, 160, 0) }, 8.0f, 0.3f, 6.0f, 120.0f },
    };
    for (const Motion& m : MOTIONS) {
        SCOPED_TRACE(m.model);
        Geometry g;
        FileBuffer file;
        KeyframedAnimation animation;
        ASSERT_TRUE(loadModel(m.model, g) && loadFile(m.animation, file) && animation.read(file));
        AnimationTable::clear();
        g.skin->skeleton.assignAnimation(AnimationTable::add(&animation), 0, false, EndLoop);
        const VertexArray& bind = g.skin->skinMeshes[0]->bindPose;
        const VertexArray& pose = g.items[0].mesh->vertices;
        float travel = 0.0f;
        for (int s = 0; s < 48; ++s) {
            g.update(animation.duration / 48);
            for (std::uint32_t i = 0; i < bind.vertexCount; ++i) {
                const Vec3 from = position(bind, i), to = position(pose, i);
                travel = std::max(travel, (to - from).length());
                ASSERT_GE(to.y, m.floorY) << "vertex " << i << " step " << s;
                for (const Vec3& still : m.still)
                    if ((from - still).length() < m.stillRadius) {
                        ASSERT_LT((to - from).length(), m.stillTolerance) << "vertex " << i << " step " << s;
                    }
            }
        }
        EXPECT_GE(travel, m.minTravel);
        AnimationTable::clear();
    }
}

// Each model scene's camera keeps what it films in frame, between the lyrics' letterbox
// bands (the middle 72 % of the height at 1024 x 768, with a margin), and never flies
// into the rock or through the orbit rings, for the whole scene.
TEST_F(ModelData, CameraPathsFrameTheirSubjectAndKeepClearOfTheModels)
{
    struct Shot {
        const char* pathFile;
        int scene;
        Vec3 subject;
        const char* model;
        Vec3 modelAt; // the scene's translation of the model
        float clearance;
    };
    const Shot SHOTS[] = {
        { "Scene4.txt", 5, Vec3(0, 10, 0), "cave_Scene_4.qzg", Vec3(), 3.0f },
        { "Scene4.txt", 5, Vec3(0, 10, 0), "rien.qzg", Vec3(0, 0, 10), 4.0f },
        { "Scene5.txt", 6, Vec3(0, 10, 0), "cave_Scene_4.qzg", Vec3(), 3.0f },
        { "Scene5.txt", 6, Vec3(0, 10, 0), "rien.qzg", Vec3(), 4.0f },
        { "Scene6.txt", 7, Vec3(0, 10, 0), "rien.qzg", Vec3(), 4.0f },
        { "Scene7.txt", 8, Vec3(0, 7, 0), "rien.qzg", Vec3(), 4.0f },
        { "Scene7.txt", 8, Vec3(0, 7, 0), "sol.qzg", Vec3(0, -160, 0), 3.0f },
        { "Scene8.txt", 9, Vec3(-1, 13, 0), "cave_Scene_4.qzg", Vec3(), 3.0f },
        { "Scene8.txt", 9, Vec3(-1, 13, 0), "rien.qzg", Vec3(0, 0, 10), 4.0f },
        { "Fixe2.txt", 3, Vec3(0, 9, 0), "rien.qzg", Vec3(), 4.0f },
    };
    const std::vector<std::int32_t> sync = syncTimes();
    ASSERT_EQ(sync.size(), 13u);
    Mat4 projection;
    projection.setPerspective(90.0f, 0.1f, 1000.0f, 1024.0f / 768.0f);
    for (const Shot& shot : SHOTS) {
        SCOPED_TRACE(std::string(shot.pathFile) + " " + shot.model);
        CameraPath camera;
        Geometry g;
        ASSERT_TRUE(camera.load(file(shot.pathFile).c_str(), 0) && loadModel(shot.model, g));
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
            framed += w > 0.0f && std::fabs(ndc.x / w) < 0.8f && std::fabs(ndc.y / w) < 0.6f;
        }
        EXPECT_GT(keys, 100u);
        EXPECT_GE(framed, keys * 95 / 100) << "the subject leaves the frame";
    }
}

}
