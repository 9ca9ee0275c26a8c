// "rien.qzg": the show's orbit, three thin neon rings tilted around a point 9 units
// above the origin (the figure's and the dancer's middle), amber, magenta and cyan. It
// is drawn without lights in the wall scene, so its colour is in its ambient and
// emissive material colours; lit scenes add a little diffuse and specular on top.
#include "tools/datagen/ShowModels.h"

#include "demo/ShowFiles.h"
#include "tools/datagen/DataFile.h"
#include "tools/datagen/ModelFiles.h"
#include "tools/datagen/Palette.h"
#include "tools/datagen/Rotations.h"

#include <cmath>
#include <numbers>

namespace {

constexpr const char* TEXTURE = "orbit_lights.tga";
constexpr float PI = std::numbers::pi_v<float>;
constexpr int AROUND = 64; // segments along the ring
constexpr int TUBE = 8;    // segments around the tube
const Vec3 CENTRE(0.0f, 9.0f, 0.0f);

struct RingShape {
    const char* name;
    float radius, tube;
    Quat tilt;
    Rgb colour;
};

// A torus around the local Y axis, turned by tilt; u runs 16 times along it, v once
// around the tube. The seam column and row are doubled so the coordinates never jump
// back, at the very positions of the first ones (angle 0, not 2 pi, whose sine and cosine
// round differently): the surface stays closed, and the engine culls its back faces.
ModelMesh torus(const RingShape& ring)
{
    ModelMesh mesh;
    for (int i = 0; i <= AROUND; ++i) {
        const float theta = 2.0f * PI * float(i % AROUND) / AROUND;
        for (int j = 0; j <= TUBE; ++j) {
            const float phi = 2.0f * PI * float(j % TUBE) / TUBE;
            const Vec3 normal(std::cos(phi) * std::cos(theta), std::sin(phi), std::cos(phi) * std::sin(theta));
            const Vec3 spine(ring.radius * std::cos(theta), 0.0f, ring.radius * std::sin(theta));
            mesh.positions.push_back(CENTRE + rotate(ring.tilt, spine + normal * ring.tube));
            mesh.normals.push_back(rotate(ring.tilt, normal));
            mesh.u.push_back(16.0f * float(i) / AROUND);
            mesh.v.push_back(float(j) / TUBE);
        }
    }
    const std::uint32_t column = TUBE + 1;
    for (std::uint32_t i = 0; i < AROUND; ++i)
        for (std::uint32_t j = 0; j < TUBE; ++j) {
            const std::uint32_t a = i * column + j, b = a + column, c = a + 1, d = b + 1;
            mesh.indices.insert(mesh.indices.end(), {a, c, b, b, c, d});
        }
    return mesh;
}

// White dashes with a soft glow on black: the material colour tints them.
RgbImage lightsTexture()
{
    constexpr int W = 128, H = 32;
    RgbImage image(W, H, 3);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const float u = (float(x) + 0.5f) / W, v = (float(y) + 0.5f) / H;
            const float dash = std::fabs(std::fmod(u * 4.0f, 1.0f) - 0.5f) * 2.0f; // 0 at a dash's middle
            const float across = std::fabs(v - 0.5f) * 2.0f;
            const float glow = std::exp(-dash * dash * 6.0f) * (0.55f + 0.45f * std::exp(-across * across * 4.0f));
            putRgb(image.at(x, y), 3, mixf(scale(palette::WHITE, 0.35f), palette::WHITE, glow));
        }
    return image;
}

}

bool writeOrbitRings(const std::filesystem::path& dir)
{
    using namespace palette::surface;
    const RingShape rings[] = {
        {"orbit amber", 9.5f, 0.3f, multiply(axisAngle({1, 0, 0}, 18.0f), axisAngle({0, 0, 1}, 6.0f)), AMBER},
        {"orbit magenta", 11.5f, 0.28f, multiply(axisAngle({0, 0, 1}, -24.0f), axisAngle({1, 0, 0}, 9.0f)), MAGENTA},
        {"orbit cyan", 13.5f, 0.26f, multiply(axisAngle({0, 0, 1}, 33.0f), axisAngle({1, 0, 0}, -12.0f)), CYAN},
    };
    Geometry orbit;
    for (const RingShape& ring : rings) {
        std::shared_ptr<Mesh> mesh = engineMesh(torus(ring), true, showfiles::ORBIT);
        if (!mesh)
            return false;
        const float r = float(ring.colour.r), g = float(ring.colour.g), b = float(ring.colour.b);
        const MaterialLook look = {ring.name, {0.45f * r, 0.45f * g, 0.45f * b}, {r, g, b}, {0.6f, 0.6f, 0.6f},
            {0.6f * r, 0.6f * g, 0.6f * b}, 40.0f, TEXTURE};
        orbit.addItem(makeMaterial(look), mesh);
    }
    return writePictureFile(dir, TEXTURE, lightsTexture()) && writeModelFile(dir, showfiles::ORBIT, orbit);
}
