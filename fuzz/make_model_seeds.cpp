// Writes starting inputs for the model fuzz targets into DIR/qzg_load/ and
// DIR/qza_load/ (fuzz/seeds, not kept in git): small models in each layout the loader
// reads (static, dynamic with morph frames, general with morph and skin) and a small
// animation, built in memory like the geometry tests' models and written by the
// engine's own writers. The show's models are far larger than a fuzzer needs.
#include "engine/geometry/Animation.h"
#include "engine/geometry/AnimationWriter.h"
#include "tests/geometry/TestModels.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "make_model_seeds: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok && !bytes.empty();
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_model_seeds DIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code error;
    std::filesystem::create_directories(dir / "qzg_load", error);
    std::filesystem::create_directories(dir / "qza_load", error);

    bool ok = true;
    Geometry plain;
    testmodels::addItems(plain, 2, true, 4);
    ok &= writeFile(dir / "qzg_load" / "static.qzg", testmodels::written(plain, GeometryLayout::Static));

    Geometry morphing;
    testmodels::addItems(morphing, 1, false, 3);
    testmodels::addMorph(morphing, 2, 2, 0.5f);
    ok &= writeFile(dir / "qzg_load" / "dynamic.qzg", testmodels::written(morphing, GeometryLayout::Dynamic));

    Geometry skinned;
    testmodels::addItems(skinned, 1, false, 4);
    testmodels::addMorph(skinned, 2, 2, 0.5f);
    testmodels::addSkin(skinned);
    ok &= writeFile(dir / "qzg_load" / "general.qzg", testmodels::written(skinned, GeometryLayout::General));

    // Three bones turning and moving over three keys.
    KeyframedAnimation animation;
    animation.boneCount = 3;
    animation.frameCount = 3;
    animation.duration = 1.0f;
    for (std::uint32_t f = 0; f < animation.frameCount; ++f) {
        for (std::uint32_t b = 0; b < animation.boneCount; ++b) {
            float half = 0.15f * float(f + b + 1);
            animation.keys.push_back({ Vec3(float(f), float(b), 0.5f), Quat(0.0f, 0.0f, std::sin(half), std::cos(half)) });
        }
    }
    BinaryWriter out;
    AnimationWriter::write(out, animation, "QZANIMATION", "seed.qza");
    ok &= writeFile(dir / "qza_load" / "walk.qza", out.take());

    if (!ok)
        return 1;
    std::printf("model seeds written under %s\n", dir.c_str());
    return 0;
}
