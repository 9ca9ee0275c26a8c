// "cave_Scene_4.qzg": the cave of scenes 5, 6 and 9, seen from inside. A domed chamber
// about 120 units across and 50 high around the origin, where the figure stands on a
// low dais; a tunnel leaves towards +z (the way the camera comes in), a blind chimney rises
// towards light 1, stalactites hang from the dome and a ring of columns stands near the
// walls, clear of the fountain at (-30, 10, 0) and of the camera's ways in, with
// clusters of glowing crystals at their feet. Its surfaces face into the air; the rock
// is violet with amber strata.
#include "tools/datagen/ShowModels.h"

#include "demo/ShowFiles.h"
#include "tools/datagen/DataFile.h"
#include "tools/datagen/ModelFiles.h"
#include "tools/datagen/Noise.h"
#include "tools/datagen/Palette.h"
#include "tools/datagen/Sdf.h"
#include "tools/datagen/SurfaceNets.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr const char* TEXTURE = "cave_rock.jpg";
constexpr const char* CRYSTAL_TEXTURE = "cave_crystal.bmp";
constexpr float PI = std::numbers::pi_v<float>;
constexpr float STRATA = 14.0f; // units of height per texture repeat

struct Spike {
    Vec3 top, tip;
    float radius;
};

const Vec3 DOME_CENTRE(0.0f, 14.0f, -4.0f);
const Vec3 DOME_RADII(64.0f, 38.0f, 62.0f);

// Stalactites from the dome and columns near the walls, placed by a fixed hash so the
// cave is the same on every run. Nothing hangs lower than 27 units within 30 of the axis.
std::vector<Spike> spikes()
{
    std::vector<Spike> all;
    for (int i = 0; i < 22; ++i) {
        const float angle = 2.0f * PI * (float(i) + 0.6f * latticeValue(i, 1, 0, 3u)) / 22.0f;
        const float r = 18.0f + 36.0f * latticeValue(i, 2, 0, 3u);
        const Vec3 at(r * std::sin(angle), 0.0f, DOME_CENTRE.z + r * std::cos(angle));
        const float q = 1.0f - (at.x / DOME_RADII.x) * (at.x / DOME_RADII.x)
            - ((at.z - DOME_CENTRE.z) / DOME_RADII.z) * ((at.z - DOME_CENTRE.z) / DOME_RADII.z);
        const float ceiling = DOME_CENTRE.y + DOME_RADII.y * std::sqrt(std::max(q, 0.0f));
        const float length = 6.0f + 10.0f * latticeValue(i, 3, 0, 3u) * (r > 30.0f ? 1.0f : 0.5f);
        all.push_back({Vec3(at.x, ceiling + 6.0f, at.z), Vec3(at.x, ceiling - length, at.z),
            1.6f + 1.6f * latticeValue(i, 4, 0, 3u)});
    }
    // Columns: at 50 units, away from the tunnel (+z) and the fountain (-x).
    for (float degrees : {35.0f, 140.0f, 200.0f, 320.0f}) {
        const float a = degrees * PI / 180.0f;
        const Vec3 at(50.0f * std::sin(a), 0.0f, DOME_CENTRE.z + 50.0f * std::cos(a));
        all.push_back({Vec3(at.x, 60.0f, at.z), Vec3(at.x, -4.0f, at.z), 3.2f});
    }
    return all;
}

// Negative in the rock, positive in the air.
float caveDistance(const Vec3& p, const std::vector<Spike>& spikes)
{
    float air = sdf::ellipsoid(p, DOME_CENTRE, DOME_RADII);
    air = sdf::smoothUnion(air, sdf::taperedCapsule(p, Vec3(0, 13, 40), Vec3(0, 16, 100), 17.0f, 14.0f), 10.0f);
    air = sdf::smoothUnion(air, sdf::taperedCapsule(p, Vec3(0, 40, -20), Vec3(0, 70, -20), 12.0f, 7.0f), 6.0f);
    // The floor, gently uneven, with the dais the figure stands on.
    const float floorY = -1.2f + 0.9f * fractalNoise(Vec3(p.x / 20.0f, 0.0f, p.z / 20.0f), 2, 21u);
    air = std::max(air, floorY - p.y);
    // Rough walls: more relief higher up, little on the floor.
    const float relief = 1.0f + 3.0f * std::clamp(p.y / 12.0f, 0.0f, 1.0f);
    air += relief * fractalNoise(p * (1.0f / 16.0f), 3, 9u);
    float rock = -air;
    rock = std::min(rock, sdf::cylinderY(p, Vec3(0, 0, 0), 7.0f, -3.0f, 0.0f, 0.4f));
    for (const Spike& s : spikes)
        rock = sdf::smoothUnion(rock, sdf::taperedCapsule(p, s.top, s.tip, s.radius, 0.25f), 2.5f);
    return rock;
}

// Violet rock in strata, with amber veins and a little cyan sparkle.
RgbImage rockTexture()
{
    using namespace palette::surface;
    constexpr int SIZE = 512;
    RgbImage image(SIZE, SIZE, 3);
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x) {
            const float u = (float(x) + 0.5f) / SIZE * 8.0f, v = (float(y) + 0.5f) / SIZE * 8.0f;
            const float warp = tileNoise(u * 2.0f, v * 2.0f, 16, 41u);
            const float strata = 0.5f + 0.5f * std::sin((v + 0.35f * warp) * 2.0f * PI * 3.0f);
            const float grain = 0.5f + 0.5f * tileNoise(u * 8.0f, v * 8.0f, 64, 42u);
            Rgb c = mixf(mixf(NIGHT, INDIGO, 0.6f), VIOLET, 0.25f + 0.35f * strata * grain);
            const float vein = std::fabs(tileNoise(u * 1.5f, v * 3.0f, 12, 43u) + 0.15f * warp);
            const float veins = 0.5f + 0.5f * tileNoise(u * 0.5f, v * 0.5f, 4, 45u); // only in places
            c = mixf(c, AMBER, 0.9f * std::exp(-vein * vein * 1500.0f) * veins * veins);
            if (latticeValue(x, y, 0, 44u) > 0.997f)
                c = mixf(c, CYAN, 0.8f);
            putRgb(image.at(x, y), 3, c);
        }
    return image;
}

}

// One six-sided crystal from `base` along unit `axis`: a shaft to 80 % of its length,
// then a point. Texture v runs 0 at the base to 1 at the point.
void addCrystal(ModelMesh& mesh, const Vec3& base, const Vec3& axis, float length, float radius)
{
    Vec3 side = cross(axis, std::fabs(axis.y) < 0.9f ? Vec3(0, 1, 0) : Vec3(1, 0, 0));
    side.normalize();
    const Vec3 other = cross(axis, side);
    const std::uint32_t first = std::uint32_t(mesh.positions.size());
    constexpr int SIDES = 6;
    for (int j = 0; j <= SIDES; ++j) {
        const float a = 2.0f * PI * float(j) / SIDES;
        const Vec3 out = side * std::cos(a) + other * std::sin(a);
        for (float along : {0.0f, 0.8f}) {
            mesh.positions.push_back(base + axis * (along * length) + out * radius);
            mesh.normals.push_back(out);
            mesh.u.push_back(float(j) / SIDES);
            mesh.v.push_back(along);
        }
    }
    for (int j = 0; j < SIDES; ++j) {
        const std::uint32_t b0 = first + 2 * std::uint32_t(j), s0 = b0 + 1, b1 = b0 + 2, s1 = b0 + 3;
        const std::uint32_t tip = std::uint32_t(mesh.positions.size());
        mesh.positions.push_back(base + axis * length);
        mesh.normals.push_back(axis);
        mesh.u.push_back((float(j) + 0.5f) / SIDES);
        mesh.v.push_back(1.0f);
        mesh.indices.insert(mesh.indices.end(), {b0, b1, s1, b0, s1, s0, s0, s1, tip});
    }
}

// Clusters of five on the floor by the walls, leaning outwards a little.
ModelMesh crystals()
{
    ModelMesh mesh;
    int cluster = 0;
    for (float degrees : {62.0f, 105.0f, 165.0f, 228.0f, 292.0f, 332.0f}) {
        const float a = degrees * PI / 180.0f;
        const Vec3 centre(44.0f * std::sin(a), -1.5f, DOME_CENTRE.z + 44.0f * std::cos(a));
        for (int k = 0; k < 5; ++k) {
            auto h = [&](int i) { return latticeValue(cluster, k, i, 5u) - 0.5f; };
            Vec3 axis(std::sin(a) * 0.4f + h(0), 1.0f, std::cos(a) * 0.4f + h(1));
            axis.normalize();
            addCrystal(mesh, centre + Vec3(4.0f * h(1), 0.0f, 4.0f * h(0)), axis, 5.0f + 8.0f * (h(2) + 0.5f),
                0.6f + 0.8f * (h(3) + 0.5f));
        }
        ++cluster;
    }
    return mesh;
}

// Magenta at the foot to cyan and white at the point, faint facet lines.
RgbImage crystalTexture()
{
    using namespace palette::surface;
    constexpr int SIZE = 64;
    RgbImage image(SIZE, SIZE, 3);
    for (int y = 0; y < SIZE; ++y)
        for (int x = 0; x < SIZE; ++x) {
            const float u = (float(x) + 0.5f) / SIZE, v = (float(y) + 0.5f) / SIZE;
            Rgb c = mixf(MAGENTA, CYAN, std::clamp(v * 1.2f, 0.0f, 1.0f));
            c = mixf(c, WHITE, std::clamp((v - 0.8f) * 4.0f, 0.0f, 1.0f));
            const float facet = std::fabs(std::fmod(u * 6.0f, 1.0f) - 0.5f) * 2.0f;
            putRgb(image.at(x, y), 3, scale(c, 0.75f + 0.25f * facet));
        }
    return image;
}

bool writeCave(const std::filesystem::path& dir)
{
    const std::vector<Spike> all = spikes();
    const DistanceField field = [&all](const Vec3& p) { return caveDistance(p, all); };
    SurfaceMesh surface = surfaceNets(field, Vec3(-72, -6, -72), Vec3(72, 84, 120), 1.6f);
    simplifySurface(surface, 7000, 0.01f);
    ModelMesh mesh;
    mesh.normals = fieldNormals(surface, field, 0.8f);
    mesh.positions = std::move(surface.positions);
    mesh.indices = std::move(surface.indices);
    // u around the chamber's axis, v up the walls and outwards across the floor, so
    // the strata ring the walls and the dais.
    for (const Vec3& p : mesh.positions) {
        const float r = std::sqrt(p.x * p.x + (p.z - DOME_CENTRE.z) * (p.z - DOME_CENTRE.z));
        const float turn = std::atan2(p.x, p.z - DOME_CENTRE.z) / (2.0f * PI) + 0.5f;
        mesh.u.push_back(std::min(turn, 0.99999f) * 12.0f);
        mesh.v.push_back((p.y + r) / STRATA);
    }
    unwrapSeams(mesh, 12.0f);
    std::shared_ptr<Mesh> engine = engineMesh(mesh, true, showfiles::CAVE);
    if (!engine)
        return false;
    Geometry cave;
    // Dim ambient: the chamber is lit around the figure by the point lights and from
    // below by the directional light, and fades into the dark elsewhere.
    const MaterialLook look = {"cave rock", {0.13f, 0.11f, 0.18f}, {0.95f, 0.9f, 1.0f}, {0.25f, 0.2f, 0.3f},
        {0.02f, 0.0f, 0.05f}, 16.0f, TEXTURE};
    cave.addItem(makeMaterial(look), engine);
    std::shared_ptr<Mesh> gems = engineMesh(crystals(), true, showfiles::CAVE);
    if (!gems)
        return false;
    const MaterialLook glow = {"cave crystal", {0.3f, 0.3f, 0.35f}, {0.7f, 0.9f, 1.0f}, {0.8f, 0.8f, 0.9f},
        {0.45f, 0.4f, 0.55f}, 60.0f, CRYSTAL_TEXTURE};
    cave.addItem(makeMaterial(glow), gems);
    return writePictureFile(dir, TEXTURE, rockTexture()) && writePictureFile(dir, CRYSTAL_TEXTURE, crystalTexture())
        && writeModelFile(dir, showfiles::CAVE, cave);
}
