// Bounds: an axis-aligned box as centre, half extents and radius (the length of the
// half-extent vector), seven floats in that order. A radius of exactly 0 marks an empty
// box. Computing a box from vertex positions and merging boxes live here; who keeps
// which box (meshes, skin meshes, morph items, a whole Geometry) is their business.
#pragma once

#include "engine/math/Vec3.h"

class VertexArray;

struct Bounds {
    Vec3 centre;
    Vec3 half;
    float radius = 0.0f;

    // All seven values 0.
    void clear() { *this = Bounds(); }
    // The box of the positions of every vertex of vertices (the first three floats of
    // each vertex). An array without vertices gives the box of the running limits, as
    // the loaders always did: centre 0 and negative half extents, radius non-zero.
    void fromPositions(const VertexArray& vertices);
    // The first box is copied (while this box's radius is exactly 0); later boxes are
    // merged into the smallest box holding both.
    void add(const Bounds& other);
};
