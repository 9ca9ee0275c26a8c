// "sol.qzg" and "sol.qza": the ground of the rain scene, a square field of low dunes
// under a neon grid, 480 units across. The scene draws it 160 units down, so its
// surface is modelled at height 160 and the dancer at the origin stands on it. Strips of
// bone across x carry swells that leave the calm centre on every other beat, and the
// far ground rolls slowly from side to side.
#include "tools/datagen/ShowModels.h"

#include "demo/ShowFiles.h"
#include "engine/geometry/Animation.h"
#include "tools/datagen/DataFile.h"
#include "tools/datagen/ModelFiles.h"
#include "tools/datagen/Noise.h"
#include "tools/datagen/Palette.h"
#include "tools/datagen/Rotations.h"
#include "tools/datagen/ShowTimeline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr const char* TEXTURE = "sol_grid.jpg";
constexpr float PI = std::numbers::pi_v<float>;
constexpr float HEIGHT = 160.0f;     // the surface, model space
constexpr float HALF = 240.0f;       // half the side
constexpr int SEGMENTS_X = 80;       // along the swells
constexpr int SEGMENTS_Z = 40;
constexpr float STRIP = 20.0f;       // bone spacing across x
constexpr int STRIPS = int(2 * HALF / STRIP) + 1;
constexpr float TILE = 40.0f;        // units per texture repeat
constexpr int BEATS = 8;
constexpr int KEYS_PER_BEAT = 8;

float smoothstep(float x, float a, float b)
{
    const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

// 0 where the dancer stands, 1 far out.
float calm(float distance)
{
    return smoothstep(distance, 12.0f, 90.0f);
}

float dunes(float x, float z)
{
    return 3.0f * calm(std::sqrt(x * x + z * z)) * fractalNoise(Vec3(x / 45.0f, 0.0f, z / 45.0f), 3, 11u);
}

// The swell's height at x after `seconds`: crests leave the centre every two beats.
float swell(float x, float seconds)
{
    const float beat = 60.0f / float(showtime::BEATS_PER_MINUTE);
    const float wavelength = 80.0f;
    return 7.0f * calm(std::fabs(x)) * std::sin(2.0f * PI * (std::fabs(x) / wavelength - seconds / (2.0f * beat)));
}

float roll(float x, float seconds)
{
    const float bar = 4.0f * 60.0f / float(showtime::BEATS_PER_MINUTE);
    return 3.0f * calm(std::fabs(x)) * std::sin(2.0f * PI * seconds / bar + x / 60.0f);
}

float stripX(int strip)
{
    return -HALF + STRIP * float(strip);
}

ModelMesh groundMesh()
{
    ModelMesh mesh;
    for (int k = 0; k <= SEGMENTS_Z; ++k)
        for (int i = 0; i <= SEGMENTS_X; ++i) {
            const float x = -HALF + 2.0f * HALF * float(i) / SEGMENTS_X;
            const float z = -HALF + 2.0f * HALF * float(k) / SEGMENTS_Z;
            mesh.positions.push_back(Vec3(x, HEIGHT + dunes(x, z), z));
            const float e = 1.0f;
            Vec3 n(dunes(x - e, z) - dunes(x + e, z), 2.0f * e, dunes(x, z - e) - dunes(x, z + e));
            n.normalize();
            mesh.normals.push_back(n);
            mesh.u.push_back(x / TILE);
            mesh.v.push_back(z / TILE);
        }
    const std::uint32_t row = SEGMENTS_X + 1;
    for (std::uint32_t k = 0; k < SEGMENTS_Z; ++k)
        for (std::uint32_t i = 0; i < SEGMENTS_X; ++i) {
            const std::uint32_t a = k * row + i, b = a + 1, c = a + row, d = c + 1;
            // Counter-clockwise seen from above (+y): x then z turns the wrong way, so a c b.
            mesh.indices.insert(mesh.indices.end(), {a, c, b, b, c, d});
        }
    return mesh;
}

// Bone 0 sits at the centre; bones 1.. are the strips, each weighing on the vertices
// between it and its neighbours linearly.
std::unique_ptr<SkinModifier> groundSkin(const ModelMesh& mesh)
{
    auto skin = std::make_unique<SkinModifier>();
    Skeleton& skeleton = skin->skeleton;
    skeleton.name = "ground";
    skeleton.resize(STRIPS + 1);
    skeleton.bones[0].name = "centre";
    skeleton.bones[0].offset.setTranslation(0.0f, -HEIGHT, 0.0f);
    skeleton.bones[0].firstChild = 1;
    for (int s = 0; s < STRIPS; ++s) {
        Bone& bone = skeleton.bones[std::size_t(s) + 1];
        bone.name = "strip" + std::to_string(s);
        bone.parent = 0;
        bone.nextSibling = s + 1 < STRIPS ? s + 2 : -1;
        bone.offset.setTranslation(-stripX(s), -HEIGHT, 0.0f);
    }
    auto skinMesh = std::make_unique<SkinMesh>();
    for (const Vec3& p : mesh.positions) {
        const float at = (p.x + HALF) / STRIP;
        const int strip = std::clamp(int(std::floor(at)), 0, STRIPS - 2);
        const float f = std::clamp(at - float(strip), 0.0f, 1.0f);
        SkinWeight w;
        w.bone0 = strip + 1;
        w.weight0 = 1.0f - f;
        if (f > 0.0f) {
            w.bone1 = strip + 2;
            w.weight1 = f;
        }
        skinMesh->weights.push_back(w);
    }
    skin->skinMeshes.push_back(std::move(skinMesh));
    return skin;
}

void fillSwells(KeyframedAnimation& waves)
{
    waves.boneCount = STRIPS + 1;
    waves.frameCount = BEATS * KEYS_PER_BEAT;
    waves.duration = float(BEATS) * 60.0f / float(showtime::BEATS_PER_MINUTE);
    waves.keys.resize(std::size_t(waves.frameCount) * waves.boneCount);
    for (std::uint32_t f = 0; f < waves.frameCount; ++f) {
        const float seconds = waves.duration * float(f) / float(waves.frameCount);
        AnimationKey* keys = &waves.keys[std::size_t(f) * waves.boneCount];
        keys[0].translation = Vec3(0.0f, HEIGHT, 0.0f);
        for (int s = 0; s < STRIPS; ++s) {
            const float x = stripX(s);
            const float slope = swell(x + 0.5f, seconds) - swell(x - 0.5f, seconds);
            const float tilt = std::atan(slope) * 180.0f / PI;
            keys[s + 1].translation = Vec3(x, swell(x, seconds), 0.0f);
            keys[s + 1].rotation = keyRotation(multiply(axisAngle({0, 0, 1}, tilt), axisAngle({1, 0, 0}, roll(x, seconds))));
        }
    }
}

// A velvet ground with a glowing grid: cyan lines, magenta where they cross.
RgbImage gridTexture()
{
    using namespace palette::surface;
    constexpr int SIZE = 256;
    RgbImage image(SIZE, SIZE, 3);
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x) {
            const float u = (float(x) + 0.5f) / SIZE, v = (float(y) + 0.5f) / SIZE;
            auto line = [](float t) {
                const float d = std::fabs(std::fmod(t * 2.0f + 0.5f, 1.0f) - 0.5f) * 2.0f * 20.0f;
                return std::exp(-d * d * 2.0f) + 0.35f * std::exp(-d * d * 0.08f);
            };
            const float lu = line(u), lv = line(v);
            const float grain = 0.5f + 0.5f * tileNoise(u * 16.0f, v * 16.0f, 16, 5u);
            Rgb c = mixf(NIGHT, INDIGO, 0.35f + 0.4f * grain);
            c = mixf(c, CYAN, std::min(1.0f, std::max(lu, lv)));
            c = mixf(c, MAGENTA, std::min(1.0f, lu * lv));
            putRgb(image.at(x, y), 3, c);
        }
    return image;
}

}

bool writeGround(const std::filesystem::path& dir)
{
    const ModelMesh mesh = groundMesh();
    std::shared_ptr<Mesh> engine = engineMesh(mesh, false, showfiles::GROUND);
    if (!engine)
        return false;
    Geometry ground;
    const MaterialLook look = {"ground", {0.4f, 0.35f, 0.5f}, {0.9f, 0.8f, 1.0f}, {0.3f, 0.3f, 0.4f},
        {0.02f, 0.0f, 0.06f}, 20.0f, TEXTURE};
    ground.addItem(makeMaterial(look), engine);
    ground.skin = groundSkin(mesh);
    KeyframedAnimation waves;
    fillSwells(waves);
    return writePictureFile(dir, TEXTURE, gridTexture()) && writeModelFile(dir, showfiles::GROUND, ground)
        && writeAnimationFile(dir, showfiles::SWELLS, waves);
}
