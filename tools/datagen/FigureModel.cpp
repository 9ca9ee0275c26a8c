// "FIXE.qzg": the cel-shaded centrepiece, a robed figure on a round plinth at the
// origin, one hand raising a small moon, the other held out, a tilted orbit ring around
// its chest. About 19 units from the plinth's foot to the top of the moon.
#include "tools/datagen/ShowModels.h"

#include "demo/ShowFiles.h"
#include "tools/datagen/BodyParts.h"
#include "tools/datagen/DataFile.h"
#include "tools/datagen/Noise.h"
#include "tools/datagen/Sdf.h"

#include <cmath>
#include <numbers>

namespace {

constexpr const char* TEXTURE = "fixe_bands.bmp";
constexpr int BANDS = 8;
// Parts that meet sit in neighbouring bands, so a triangle across a seam blends only
// the two colours.
enum Band { PLINTH, ROBE, TRIM, SASH, SKIN, HAIR, MOON, RING };
constexpr float PI = std::numbers::pi_v<float>;

// The robe: a flared skirt from the plinth to the waist whose radius ripples into folds.
float robe(const Vec3& p)
{
    constexpr float BOTTOM = 0.8f, TOP = 8.2f;
    const float h = std::clamp((p.y - BOTTOM) / (TOP - BOTTOM), 0.0f, 1.0f);
    const float angle = std::atan2(p.x, p.z);
    const float folds = (0.28f * (1.0f - h) + 0.05f) * std::cos(9.0f * angle + 1.5f * h);
    const float radius = 3.0f - 1.55f * std::sqrt(h) + folds;
    const float radial = std::sqrt(p.x * p.x + p.z * p.z) - radius;
    return std::max(0.75f * radial, std::max(BOTTOM - p.y, p.y - TOP));
}

BodyPart capsule(Vec3 a, Vec3 b, float ra, float rb, float blend, int band)
{
    BodyPart part;
    part.a = a;
    part.b = b;
    part.ra = ra;
    part.rb = rb;
    part.blend = blend;
    part.band = band;
    return part;
}

BodyPart ellipsoid(Vec3 centre, Vec3 radii, float blend, int band)
{
    BodyPart part = capsule(centre, radii, 0, 0, blend, band);
    part.shape = PartShape::Ellipsoid;
    return part;
}

std::vector<BodyPart> figureParts()
{
    std::vector<BodyPart> parts;
    BodyPart plinth;
    plinth.shape = PartShape::Custom;
    plinth.custom = [](const Vec3& p) { return sdf::cylinderY(p, Vec3(0, 0, 0), 3.9f, 0.0f, 0.8f, 0.15f); };
    plinth.band = PLINTH;
    parts.push_back(plinth);
    BodyPart skirt;
    skirt.shape = PartShape::Custom;
    skirt.custom = robe;
    skirt.band = ROBE;
    skirt.blend = 0.3f;
    parts.push_back(skirt);
    // Torso, sash and shoulders.
    parts.push_back(capsule({0, 7.6f, 0}, {0, 10.6f, 0.05f}, 1.45f, 1.75f, 0.5f, SASH));
    parts.push_back(ellipsoid({0, 10.55f, 0.1f}, {2.05f, 1.35f, 1.25f}, 0.5f, SASH));
    BodyPart belt = capsule({0, 8.1f, 0}, {0, 1, 0}, 1.5f, 0.2f, 0.15f, TRIM);
    belt.shape = PartShape::Ring;
    parts.push_back(belt);
    // Neck, head and hair gathered at the back.
    parts.push_back(capsule({0, 11.4f, 0}, {0, 12.5f, 0.1f}, 0.55f, 0.5f, 0.3f, SKIN));
    parts.push_back(ellipsoid({0, 13.3f, 0.15f}, {0.9f, 1.12f, 1.0f}, 0.25f, SKIN));
    parts.push_back(ellipsoid({0, 13.2f, 1.2f}, {0.16f, 0.32f, 0.3f}, 0.1f, SKIN)); // nose
    parts.push_back(capsule({-0.42f, 13.7f, 1.0f}, {0.42f, 13.7f, 1.0f}, 0.15f, 0.15f, 0.12f, SKIN)); // brow
    parts.push_back(ellipsoid({0, 13.75f, -0.35f}, {0.98f, 0.9f, 0.92f}, 0.2f, HAIR));
    parts.push_back(capsule({0, 13.9f, -0.9f}, {0, 12.6f, -1.55f}, 0.5f, 0.28f, 0.3f, HAIR));
    // The raised right arm (the figure's right is -x: it faces +z) holding the moon.
    const Vec3 rShoulder(-1.95f, 11.25f, 0), rElbow(-2.85f, 13.7f, 0.35f), rWrist(-2.7f, 16.1f, 0.55f);
    parts.push_back(capsule(rShoulder, rElbow, 0.62f, 0.5f, 0.35f, SASH));
    parts.push_back(capsule(rElbow, rWrist, 0.48f, 0.36f, 0.2f, SKIN));
    parts.push_back(capsule(rWrist, {-2.6f, 16.8f, 0.6f}, 0.4f, 0.32f, 0.15f, SKIN));
    parts.push_back(ellipsoid({-2.45f, 18.0f, 0.6f}, {1.05f, 1.05f, 1.05f}, 0.12f, MOON));
    // The left arm held out, palm up.
    const Vec3 lShoulder(1.95f, 11.25f, 0), lElbow(3.3f, 9.6f, 0.9f), lWrist(5.0f, 9.45f, 2.6f);
    parts.push_back(capsule(lShoulder, lElbow, 0.62f, 0.5f, 0.35f, SASH));
    parts.push_back(capsule(lElbow, lWrist, 0.48f, 0.36f, 0.2f, SKIN));
    parts.push_back(capsule(lWrist, {5.55f, 9.5f, 3.2f}, 0.42f, 0.3f, 0.15f, SKIN));
    // The orbit: a thin ring tilted around the chest, apart from the body.
    BodyPart ring;
    ring.shape = PartShape::Ring;
    ring.a = Vec3(0, 9.8f, 0);
    ring.b = Vec3(0.35f, 1.0f, -0.2f);
    ring.b.normalize();
    ring.ra = 4.3f;
    ring.rb = 0.3f;
    ring.band = RING;
    ring.blend = 0.2f; // rounds where it passes through the held-out arm
    parts.push_back(ring);
    return parts;
}

Rgb paintFigure(int band, float u, float t)
{
    using namespace palette::surface;
    const float grain = 0.5f + 0.5f * tileNoise(u * 32.0f, t * 4.0f, 32, 7u + std::uint32_t(band));
    switch (band) {
    case PLINTH: // dark stone with an amber inlay line
        return std::fabs(t - 0.5f) < 0.08f ? AMBER : mixf(NIGHT, INDIGO, 0.4f + 0.4f * grain);
    case ROBE: { // violet with lighter pleats
        const float pleat = 0.5f + 0.5f * std::cos(u * 2.0f * PI * 9.0f);
        return mixf(mixf(INDIGO, VIOLET, 0.55f + 0.35f * pleat), MAGENTA, 0.1f * grain);
    }
    case SASH:
        return mixf(MAGENTA, VIOLET, 0.25f + 0.2f * grain);
    case SKIN:
        return mixf(WARM, AMBER, 0.2f * grain);
    case HAIR:
        return mixf(NIGHT, INDIGO, 0.6f * grain);
    case MOON:
        return mixf(WHITE, CYAN, 0.35f + 0.3f * grain);
    case TRIM:
        return mixf(AMBER, MAGENTA, 0.3f * grain);
    default: // the ring
        return mixf(AMBER, WHITE, 0.25f * grain);
    }
}

}

bool writeFigure(const std::filesystem::path& dir)
{
    const std::vector<BodyPart> parts = figureParts();
    const ModelMesh mesh = meshBody(parts, Vec3(-7, -0.5f, -5.5f), Vec3(7, 19.5f, 5.5f), 0.13f, 5000, BANDS, 4.0f);
    Geometry figure;
    const MaterialLook look = {"figure", {0.3f, 0.3f, 0.3f}, {1, 1, 1}, {0.4f, 0.4f, 0.4f}, {0, 0, 0}, 24.0f, TEXTURE};
    std::shared_ptr<Mesh> engine = engineMesh(mesh, false, showfiles::FIGURE);
    if (!engine)
        return false;
    figure.addItem(makeMaterial(look), engine);
    return writePictureFile(dir, TEXTURE, bandTexture(256, BANDS, paintFigure)) && writeModelFile(dir, showfiles::FIGURE, figure);
}
