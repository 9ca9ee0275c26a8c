// Models built in memory for the geometry tests, and loading written bytes back.
#pragma once

#include "engine/geometry/Geometry.h"

#include <cstdint>
#include <vector>

namespace testmodels {

// count vertices of format; every float a distinct value from seed, colours distinct bytes.
VertexArray makeArray(std::uint32_t count, std::uint32_t format, float seed);
// itemCount items with distinct arrays (formats cycle through what files carry),
// 2 + item triangles each and materials with every field away from its default.
void addItems(Geometry& g, std::uint32_t itemCount, bool isStatic, std::uint32_t vertices = 6);
// A morph modifier with one track of frames per item (positions + normals + tex0).
void addMorph(Geometry& g, std::uint32_t frames, std::uint32_t frameCount, float duration);
// A three-bone chain "rig" (hips, spine, head) and a skin mesh per item whose weights
// cycle through the bones; bind poses are the item arrays.
void addSkin(Geometry& g);
// g written in layout (Dynamic: empty when g has no morph modifier).
std::vector<std::uint8_t> written(const Geometry& g, GeometryLayout layout);
// Loads bytes into out through memory.
bool roundTrip(const std::vector<std::uint8_t>& bytes, Geometry& out, const char* name = "model.qzg");

}
