#include "tools/datagen/BodyParts.h"

#include "tools/datagen/Sdf.h"

#include <cmath>
#include <limits>
#include <numbers>

float BodyPart::distance(const Vec3& p) const
{
    switch (shape) {
    case PartShape::Capsule:
        return sdf::taperedCapsule(p, a, b, ra, rb);
    case PartShape::Ellipsoid:
        return sdf::ellipsoid(p, a, b);
    case PartShape::Ring: {
        const Vec3 q = p - a;
        const float h = dot(q, b);
        const float radial = (q - b * h).length() - ra;
        return std::sqrt(radial * radial + h * h) - rb;
    }
    case PartShape::Custom:
        return custom ? custom(p) : std::numeric_limits<float>::max();
    }
    return std::numeric_limits<float>::max();
}

float bodyDistance(const std::vector<BodyPart>& parts, const Vec3& p)
{
    float d = std::numeric_limits<float>::max();
    for (const BodyPart& part : parts)
        d = sdf::smoothUnion(d, part.distance(p), part.blend);
    return d;
}

int nearestPart(const std::vector<BodyPart>& parts, const Vec3& p)
{
    int best = -1;
    float bestDistance = std::numeric_limits<float>::max();
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const float d = parts[i].distance(p);
        if (d < bestDistance) {
            bestDistance = d;
            best = int(i);
        }
    }
    return best;
}

ModelMesh meshBody(const std::vector<BodyPart>& parts, const Vec3& lo, const Vec3& hi, float cell,
    std::size_t triangles, int bandCount, float uRepeats)
{
    const DistanceField field = [&parts](const Vec3& p) { return bodyDistance(parts, p); };
    SurfaceMesh surface = surfaceNets(field, lo, hi, cell);
    simplifySurface(surface, triangles, 0.004f);
    ModelMesh mesh;
    mesh.normals = fieldNormals(surface, field, 0.5f * cell);
    mesh.positions = std::move(surface.positions);
    mesh.indices = std::move(surface.indices);
    for (const Vec3& p : mesh.positions) {
        const int part = nearestPart(parts, p);
        const float turn = std::atan2(p.x, p.z) / (2.0f * std::numbers::pi_v<float>) + 0.5f;
        mesh.u.push_back(std::min(turn, 0.99999f) * uRepeats);
        mesh.v.push_back((float(part >= 0 ? parts[std::size_t(part)].band : 0) + 0.5f) / float(bandCount));
    }
    unwrapSeams(mesh, uRepeats);
    return mesh;
}

RgbImage bandTexture(int size, int bandCount, const std::function<Rgb(int band, float u, float t)>& paint)
{
    RgbImage image(size, size, 3);
    const int rows = size / bandCount;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int band = std::min(y / rows, bandCount - 1);
            const float t = (float(y - band * rows) + 0.5f) / float(rows);
            putRgb(image.at(x, y), 3, paint(band, (float(x) + 0.5f) / float(size), t));
        }
    return image;
}
