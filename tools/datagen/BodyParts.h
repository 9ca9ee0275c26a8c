// Figures sculpted from a list of simple solids joined with rounded creases: the signed
// distance of the whole, and for a point on it the part it lies on (which says the
// texture band and the bone that moves it). The figure and the dancer are built with
// it. It owns only the parts it is given.
#pragma once

#include "engine/math/Vec3.h"
#include "tools/datagen/ModelFiles.h"
#include "tools/datagen/Palette.h"
#include "tools/datagen/SurfaceNets.h"

#include <functional>
#include <vector>

enum class PartShape {
    Capsule,    // a to b, radius ra at a to rb at b
    Ellipsoid,  // centre a, semi-axes b
    Ring,       // centre a, axis b (unit), ring radius ra, tube radius rb
    Custom,     // field
};

struct BodyPart {
    PartShape shape = PartShape::Capsule;
    Vec3 a, b;
    float ra = 0.0f, rb = 0.0f;
    float blend = 0.0f;  // width of the rounded crease with the parts before it
    int band = 0;        // texture band
    int bone = -1;       // bone that moves it (-1: none)
    DistanceField custom;

    float distance(const Vec3& p) const;
};

// The parts joined in order, each rounded into the ones before it by its blend.
float bodyDistance(const std::vector<BodyPart>& parts, const Vec3& p);
// The part whose own surface is nearest p (the first of equals); -1 for no parts.
int nearestPart(const std::vector<BodyPart>& parts, const Vec3& p);

// The figure meshed inside lo..hi at `cell`, simplified to about `triangles`, with field
// normals. Texture v picks the band of the part each vertex lies on (bandCount equal
// rows); u runs uRepeats times around the vertical axis.
ModelMesh meshBody(const std::vector<BodyPart>& parts, const Vec3& lo, const Vec3& hi, float cell,
    std::size_t triangles, int bandCount, float uRepeats);

// A size x size picture of bandCount rows of bands, top band 0 (texture v runs down the
// picture), each pixel painted by paint(band, u 0..1 across, t 0..1 down the band).
RgbImage bandTexture(int size, int bandCount, const std::function<Rgb(int band, float u, float t)>& paint);
