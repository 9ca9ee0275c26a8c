#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationWriter.h"
#include "engine/geometry/GeometryWriter.h"
#include "engine/math/FileBuffer.h"
#include "tests/geometry/TestModels.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace testmodels;

namespace {

std::vector<std::uint8_t> skinnedMorphModel(const std::function<void(Geometry&)>& spoil = {})
{
    Geometry g;
    addItems(g, 2, false);
    addMorph(g, 3, 3, 1.0f);
    addSkin(g);
    if (spoil)
        spoil(g);
    BinaryWriter out;
    GeometryWriter::writeGeneral(out, g);
    return out.take();
}

void expectRefused(const std::vector<std::uint8_t>& bytes, const std::string& what)
{
    Geometry g;
    EXPECT_FALSE(roundTrip(bytes, g) || g.itemCount() || g.morph || g.skin) << what;
}

TEST(HostileGeometry, EveryTruncationIsRefused)
{
    Geometry s;
    addItems(s, 2, true);
    BinaryWriter st, dy;
    GeometryWriter::writeStatic(st, s);
    addMorph(s, 2, 2, 1.0f);
    ASSERT_TRUE(GeometryWriter::writeDynamic(dy, s));
    for (const auto& full : { skinnedMorphModel(), st.take(), dy.take() }) {
        Geometry whole;
        ASSERT_TRUE(roundTrip(full, whole));
        for (std::size_t n = 0; n < full.size(); ++n) {
            expectRefused(std::vector<std::uint8_t>(full.begin(), full.begin() + std::ptrdiff_t(n)),
                "prefix of " + std::to_string(n) + " bytes out of " + std::to_string(full.size()));
        }
    }
}

TEST(HostileGeometry, InconsistentModelsAreRefused)
{
    const std::pair<const char*, std::function<void(Geometry&)>> cases[] = {
        { "triangle index at the vertex count",
          [](Geometry& g) { g.mesh(1).triangles.indices[2] = std::uint16_t(g.mesh(1).vertices.vertexCount); } },
        { "skin weight naming a missing bone", [](Geometry& g) { g.skin->skinMeshes[0]->weights[3].bone1 = 3; } },
        { "skin weight with a negative bone other than -1",
          [](Geometry& g) { g.skin->skinMeshes[1]->weights[0].bone0 = -2; } },
        { "fewer skin meshes than items", [](Geometry& g) { g.skin->skinMeshes.pop_back(); } },
        { "skin mesh shorter than its mesh", [](Geometry& g) { g.skin->skinMeshes[1]->weights.pop_back(); } },
        { "fewer morph tracks than items", [](Geometry& g) { g.morph->tracks.pop_back(); g.morph->itemBounds.pop_back(); } },
        { "track with fewer frames than the clock cycles through", [](Geometry& g) { g.morph->tracks[1]->frames.pop_back(); } },
        { "skeleton child pointing back at the root", [](Geometry& g) { g.skin->skeleton.bones[2].firstChild = 0; } },
        { "bone that is its own sibling", [](Geometry& g) { g.skin->skeleton.bones[1].nextSibling = 1; } },
        { "child link at the bone count", [](Geometry& g) { g.skin->skeleton.bones[0].firstChild = 3; } },
        { "sibling link below -1", [](Geometry& g) { g.skin->skeleton.bones[2].nextSibling = -5; } },
        { "parent outside the bones", [](Geometry& g) { g.skin->skeleton.bones[2].parent = 3; } },
        { "parent reached after its child", [](Geometry& g) { g.skin->skeleton.bones[1].parent = 2; } },
    };
    for (const auto& c : cases)
        expectRefused(skinnedMorphModel(c.second), c.first);
}

TEST(HostileGeometry, CountsThatRunPastTheDataAreRefused)
{
    const std::vector<std::uint8_t> good = skinnedMorphModel();
    auto after = [&](const char* tag) {
        return std::size_t(std::search(good.begin(), good.end(), tag, tag + std::strlen(tag) + 1) - good.begin())
            + std::strlen(tag) + 1;
    };
    // The object count follows the tag and the reserved int, a track's frame count two ints
    // after its tag; the others follow their chunk tags.
    const std::pair<const char*, std::size_t> fields[] = {
        { "object count", 12 + 4 }, { "vertex count", after("MESH") }, { "triangle count", after("TRIANGLELIST") },
        { "frame count", after("MULVA") + 8 },
    };
    for (std::int32_t value : { 1000, 0x7FFFFFFF, -1 }) {
        for (const auto& field : fields) {
            std::vector<std::uint8_t> bytes = good;
            std::memcpy(bytes.data() + field.second, &value, 4);
            expectRefused(bytes, field.first + std::string(" ") + std::to_string(value));
        }
    }
}

TEST(HostileGeometry, FailedSkeletonAndSkinMeshReadsLeaveNothingBehind)
{
    const std::vector<std::uint8_t> bytes = skinnedMorphModel([](Geometry& g) { g.skin->skeleton.bones[2].parent = 3; });
    const char tag[] = "QZSKELETON";
    const auto at = std::size_t(std::search(bytes.begin(), bytes.end(), tag, tag + sizeof tag) - bytes.begin());
    ASSERT_LT(at, bytes.size());
    FileBuffer file;
    file.loadFromMemory(bytes.data() + at, std::uint32_t(bytes.size() - at));
    Skeleton skeleton;
    EXPECT_FALSE(skeleton.read(file) || skeleton.boneCount()) << "a failed read keeps no bone";

    BinaryWriter out;
    out.putString("QZSKINMESX");
    out.putInt(0);
    out.putInt(0);
    file.loadFromMemory(out.bytes().data(), std::uint32_t(out.bytes().size()));
    EXPECT_FALSE(SkinMesh().read(file)) << "a misspelt tag";
}

TEST(HostileGeometry, FramesOfTheWrongSizeLoadButLeaveTheMeshAlone)
{
    auto bytes = skinnedMorphModel([](Geometry& g) {
        g.skin.reset();
        g.morph->tracks[0]->frames[1] = makeArray(2, vertexformat::Position, 1.0f);
        g.morph->tracks[0]->frames[0] = makeArray(g.mesh(0).vertices.vertexCount, vertexformat::Position, 5.0f);
    });
    Geometry g;
    ASSERT_TRUE(roundTrip(bytes, g));
    VertexArray before;
    before.copyFrom(g.mesh(0).vertices);
    for (int i = 0; i < 3; ++i)
        g.update(0.0f);
    // Frame 0 (no normals) blended with frame 1 (wrong count): nothing moves, and the
    // box still follows the mesh.
    EXPECT_EQ(std::memcmp(before.data(), g.mesh(0).vertices.data(), before.floatCount() * 4), 0);
    Bounds expected;
    expected.fromPositions(before);
    EXPECT_EQ(g.morph->itemBounds[0].radius, expected.radius);
}

TEST(HostileAnimation, WholeFilesLoadEveryKeyAndKeysThatRunPastTheDataAreRefused)
{
    KeyframedAnimation source;  // three bones, four frames, every key distinct
    std::tie(source.boneCount, source.frameCount, source.duration) = std::make_tuple(3u, 4u, 2.0f);
    for (int k = 0; k < 12; ++k)
        source.keys.push_back({ Vec3(float(k / 3), float(k % 3), float(k / 3 * 10 + k % 3)), Quat(0.5f, 0.5f, 0.1f * float(k), 0.5f) });
    BinaryWriter out;
    AnimationWriter::write(out, source);
    const std::vector<std::uint8_t> good = out.take();
    auto read = [](const std::vector<std::uint8_t>& bytes, std::size_t size) {
        FileBuffer f;
        f.loadFromMemory(bytes.data(), std::uint32_t(size));
        KeyframedAnimation a;
        bool ok = a.read(f);
        EXPECT_TRUE(ok || (a.keys.empty() && a.boneCount * a.frameCount == 0));
        return ok;
    };
    FileBuffer whole;
    KeyframedAnimation back;
    ASSERT_TRUE(whole.loadFromMemory(good.data(), std::uint32_t(good.size())) && back.read(whole));
    EXPECT_EQ(std::tie(back.boneCount, back.frameCount, back.duration), std::make_tuple(3u, 4u, 2.0f));
    ASSERT_EQ(back.keys.size(), 12u);
    EXPECT_EQ(std::memcmp(back.keys.data(), source.keys.data(), 12 * sizeof(AnimationKey)), 0);
    EXPECT_EQ(back.getKey(2, 3).translation.z, 32.0f) << "bone b of frame f sits at b + f x boneCount";
    for (std::size_t n = 0; n < good.size(); n += 3)
        EXPECT_FALSE(read(good, n)) << n;
    const std::size_t counts = 12 + 4 + 1;  // header, reserved, empty name
    for (std::int32_t bones : { -1, 0x40000000, 4 }) {
        std::vector<std::uint8_t> bytes = good;
        std::memcpy(bytes.data() + counts, &bones, 4);
        EXPECT_FALSE(read(bytes, bytes.size())) << bones;
    }
}

}
