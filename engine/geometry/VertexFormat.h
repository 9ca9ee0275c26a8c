// Vertex format bits: which components an interleaved vertex carries. Shared by
// VertexArray, the model loaders and the render device's buffers and immediate draws.
// Components always follow each other in the order position, normal, colour, texture
// sets 0, 1, 2; sizes are in 32-bit float slots.
#pragma once

#include <cstdint>

namespace vertexformat {

constexpr std::uint32_t Position = 0x001;  // x, y, z
constexpr std::uint32_t Normal = 0x002;    // x, y, z
constexpr std::uint32_t Colour = 0x004;    // one packed 32-bit colour, bytes R, G, B, A
constexpr std::uint32_t Tex0 = 0x008;      // texture set 0, (u, v)
constexpr std::uint32_t Tex1 = 0x010;
constexpr std::uint32_t Tex2 = 0x020;
constexpr std::uint32_t Tex0Vec3 = 0x040;  // texture set 0, three components
constexpr std::uint32_t Tex1Vec3 = 0x080;
constexpr std::uint32_t Tex2Vec3 = 0x100;
constexpr std::uint32_t AllBits = 0x1FF;

// Position, normal, texture set 0: the format of morph meshes and cel-shaded models.
constexpr std::uint32_t PositionNormalTex0 = Position | Normal | Tex0;

// Floats per vertex for a format (the three-component bit of a set wins over the
// two-component one).
std::uint32_t strideOf(std::uint32_t format);

}
