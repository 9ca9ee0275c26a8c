#include "engine/geometry/VertexArray.h"

#include <algorithm>
#include <cstring>

namespace vertexformat {

namespace {
std::uint32_t texSize(std::uint32_t format, std::uint32_t twoBit, std::uint32_t threeBit)
{
    if (format & threeBit)
        return 3;
    return (format & twoBit) ? 2 : 0;
}
}

std::uint32_t strideOf(std::uint32_t format)
{
    std::uint32_t floats = 0;
    if (format & Position)
        floats += 3;
    if (format & Normal)
        floats += 3;
    if (format & Colour)
        floats += 1;
    floats += texSize(format, Tex0, Tex0Vec3);
    floats += texSize(format, Tex1, Tex1Vec3);
    floats += texSize(format, Tex2, Tex2Vec3);
    return floats;
}

}

using namespace vertexformat;

void VertexArray::clear()
{
    data_.clear();
    vertexCount = stride = 0;
    positionOffset = normalOffset = colourOffset = 0;
    texOffset0 = texOffset1 = texOffset2 = 0;
    format = 0;
    texSize0 = texSize1 = texSize2 = 0;
}

void VertexArray::computeLayout()
{
    auto tex = [this](std::uint32_t two, std::uint32_t three) -> std::uint8_t {
        if (format & three)
            return 3;
        return (format & two) ? 2 : 0;
    };
    texSize0 = tex(Tex0, Tex0Vec3);
    texSize1 = tex(Tex1, Tex1Vec3);
    texSize2 = tex(Tex2, Tex2Vec3);
    std::uint32_t at = 0;
    positionOffset = 0;
    at += (format & Position) ? 3 : 0;
    normalOffset = at;
    at += (format & Normal) ? 3 : 0;
    colourOffset = at;
    at += (format & Colour) ? 1 : 0;
    texOffset0 = at;
    at += texSize0;
    texOffset1 = at;
    at += texSize1;
    texOffset2 = at;
    at += texSize2;
    stride = at;
}

void VertexArray::allocate(std::uint32_t count, std::uint32_t newFormat, bool reuse)
{
    if (count == 0)
        return;
    (void)reuse;  // a std::vector keeps its storage when it shrinks; nothing else to do
    vertexCount = count;
    format = newFormat;
    computeLayout();
    data_.resize(std::size_t(count) * stride);
}

void VertexArray::copyFrom(const VertexArray& other)
{
    if (other.vertexCount == 0) {
        // allocate(0) would keep this array as it was; a copy of nothing is nothing.
        clear();
        return;
    }
    allocate(other.vertexCount, other.format, false);
    std::copy(other.data_.begin(), other.data_.end(), data_.begin());
}

std::uint32_t VertexArray::offsetOf(std::uint32_t bit) const
{
    switch (bit) {
    case Position: return positionOffset;
    case Normal: return normalOffset;
    case Colour: return colourOffset;
    case Tex0: case Tex0Vec3: return texOffset0;
    case Tex1: case Tex1Vec3: return texOffset1;
    case Tex2: case Tex2Vec3: return texOffset2;
    default: return stride;
    }
}

namespace {

// Floats a component occupies in an array of the given format; 0 when the array
// does not carry it in exactly that size (a two-component bit in an array whose
// set is three-component counts as absent, so nothing is read past the set).
std::uint32_t componentSize(const VertexArray& v, std::uint32_t bit)
{
    if (!(v.format & bit))
        return 0;
    switch (bit) {
    case Position: case Normal: return 3;
    case Colour: return 1;
    case Tex0: return v.texSize0 == 2 ? 2 : 0;
    case Tex1: return v.texSize1 == 2 ? 2 : 0;
    case Tex2: return v.texSize2 == 2 ? 2 : 0;
    case Tex0Vec3: case Tex1Vec3: case Tex2Vec3: return 3;
    default: return 0;
    }
}

}

void VertexArray::copyComponents(const VertexArray& other, std::uint32_t mask)
{
    if (other.vertexCount != vertexCount || vertexCount == 0)
        return;
    for (std::uint32_t bit = Position; bit <= Tex2Vec3; bit <<= 1) {
        if (!(mask & bit))
            continue;
        std::uint32_t size = componentSize(*this, bit);
        if (size == 0 || componentSize(other, bit) != size)
            continue;
        std::uint32_t to = offsetOf(bit);
        std::uint32_t from = other.offsetOf(bit);
        for (std::uint32_t i = 0; i < vertexCount; ++i)
            std::memcpy(vertex(i) + to, other.vertex(i) + from, size * sizeof(float));
    }
}

void VertexArray::interpolate(const VertexArray& a, const VertexArray& b, float t, std::uint32_t mask)
{
    if (a.vertexCount != vertexCount || b.vertexCount != vertexCount || vertexCount == 0)
        return;
    static constexpr std::uint32_t blended[] = { Position, Normal, Tex0, Tex1, Tex2 };
    for (std::uint32_t bit : blended) {
        if (!(mask & bit))
            continue;
        std::uint32_t size = componentSize(*this, bit);
        if (size == 0 || componentSize(a, bit) != size || componentSize(b, bit) != size)
            continue;
        std::uint32_t to = offsetOf(bit), fromA = a.offsetOf(bit), fromB = b.offsetOf(bit);
        for (std::uint32_t i = 0; i < vertexCount; ++i) {
            float* out = vertex(i) + to;
            const float* pa = a.vertex(i) + fromA;
            const float* pb = b.vertex(i) + fromB;
            for (std::uint32_t c = 0; c < size; ++c)
                out[c] = pa[c] + t * (pb[c] - pa[c]);
        }
    }
}

void VertexArray::destroy()
{
    data_.clear();
    data_.shrink_to_fit();
    vertexCount = 0;
    stride = 0;
    texSize0 = texSize1 = texSize2 = 0;
}
