// Skinning throughput: vertices per second through SkinMesh::deform for 100 000
// vertices (positions + normals, two influences each) on a 40-bone skeleton, and the
// cost of one Geometry::update of a large skinned, animated model (skeleton walk plus
// every item's deformation). Single-threaded, like the engine.
#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationTable.h"
#include "engine/geometry/Geometry.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

constexpr std::uint32_t kBones = 40;

// A 40-bone tree: each bone hangs under (i - 1) / 2 (a binary tree), with a bind offset.
void buildSkeleton(Skeleton& s)
{
    s.resize(kBones);
    std::vector<std::int32_t> lastChild(kBones, -1);
    for (std::int32_t i = 0; i < std::int32_t(kBones); ++i) {
        Bone& b = s.bones[std::size_t(i)];
        b.name = "bone" + std::to_string(i);
        b.offset.setTranslation(0.0f, -0.1f * float(i), 0.0f);
        if (i == 0)
            continue;
        std::int32_t parent = (i - 1) / 2;
        b.parent = parent;
        if (lastChild[std::size_t(parent)] < 0)
            s.bones[std::size_t(parent)].firstChild = i;
        else
            s.bones[std::size_t(lastChild[std::size_t(parent)])].nextSibling = i;
        lastChild[std::size_t(parent)] = i;
    }
}

// An animation that bends every bone a little about Z and moves it.
KeyframedAnimation& benchAnimation()
{
    static KeyframedAnimation anim;
    if (anim.keys.empty()) {
        anim.boneCount = kBones;
        anim.frameCount = 8;
        anim.duration = 2.0f;
        for (std::uint32_t f = 0; f < 8; ++f) {
            for (std::uint32_t b = 0; b < kBones; ++b) {
                float a = 0.05f * float(f + b);
                anim.keys.push_back(AnimationKey { Vec3(0.0f, 0.1f, 0.01f * float(f)),
                                                   Quat(0.0f, 0.0f, std::sin(a), std::cos(a)) });
            }
        }
    }
    return anim;
}

std::int32_t animationIndex()
{
    static std::int32_t index = AnimationTable::add(&benchAnimation());
    return index;
}

std::unique_ptr<SkinMesh> buildSkinMesh(std::uint32_t vertices, std::uint32_t format, std::mt19937& rng)
{
    auto mesh = std::make_unique<SkinMesh>();
    mesh->bindPose.allocate(vertices, format);
    std::uniform_real_distribution<float> coord(-1.0f, 1.0f);
    for (std::size_t i = 0; i < mesh->bindPose.floatCount(); ++i)
        mesh->bindPose.data()[i] = coord(rng);
    std::uniform_int_distribution<std::int32_t> bone(0, kBones - 1);
    std::uniform_real_distribution<float> weight(0.0f, 1.0f);
    mesh->weights.resize(vertices);
    for (SkinWeight& w : mesh->weights) {
        w.bone0 = bone(rng);
        w.bone1 = bone(rng);
        w.weight0 = weight(rng);
        w.weight1 = 1.0f - w.weight0;
    }
    return mesh;
}

void BM_SkinDeform100k(benchmark::State& state)
{
    std::mt19937 rng(7);
    SkinModifier modifier;
    buildSkeleton(modifier.skeleton);
    modifier.skeleton.assignAnimation(animationIndex(), 0, false, EndLoop);
    modifier.skeleton.update(0.3f);
    auto mesh = buildSkinMesh(100000, vertexformat::Position | vertexformat::Normal, rng);
    VertexArray target;
    target.copyFrom(mesh->bindPose);
    for (auto _ : state) {
        mesh->deform(modifier.skeleton, target);
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * 100000);
    state.counters["vertices/s"] = benchmark::Counter(double(state.iterations()) * 100000.0, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SkinDeform100k)->Unit(benchmark::kMicrosecond);

// The show's skinned characters are cel-shaded models (position, normal, texture set 0).
// The stand-in: 12 items of 2 500 vertices (30 000 vertices), 40 bones, animated.
void BM_GeometryUpdateLargeSkinnedModel(benchmark::State& state)
{
    std::mt19937 rng(11);
    Geometry g;
    g.skin = std::make_unique<SkinModifier>();
    buildSkeleton(g.skin->skeleton);
    for (int i = 0; i < 12; ++i) {
        auto skinMesh = buildSkinMesh(2500, vertexformat::PositionNormalTex0, rng);
        auto mesh = std::make_shared<Mesh>(false);
        mesh->vertices.copyFrom(skinMesh->bindPose);
        mesh->triangles.resize(4000);
        g.skin->skinMeshes.push_back(std::move(skinMesh));
        g.addItem(std::make_unique<MeshMaterial>(), mesh);
    }
    g.skin->skeleton.assignAnimation(animationIndex(), 0, false, EndLoop);
    for (auto _ : state) {
        g.update(1.0f / 60.0f);
        benchmark::DoNotOptimize(g.bounds.radius);
    }
    state.SetItemsProcessed(std::int64_t(state.iterations()) * 30000);
}
BENCHMARK(BM_GeometryUpdateLargeSkinnedModel)->Unit(benchmark::kMicrosecond);

}

BENCHMARK_MAIN();
