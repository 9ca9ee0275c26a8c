// VertexArray: one interleaved block of 32-bit floats holding vertexCount vertices of a
// vertex format (engine/geometry/VertexFormat.h). It owns its data and knows where each
// component sits inside a vertex; it knows nothing about files or devices.
// Offsets and stride are counted in floats. The block always holds exactly
// vertexCount x stride floats.
#pragma once

#include "engine/geometry/VertexFormat.h"

#include <cstdint>
#include <vector>

class VertexArray {
public:
    VertexArray() = default;

    // All fields 0, no data.
    void clear();
    // Sizes the array for count vertices of format. A count of 0 does nothing at all.
    // The data is not initialised for new vertices. reuse keeps the old block when it
    // is large enough (the block never shrinks its storage either way).
    void allocate(std::uint32_t count, std::uint32_t format, bool reuse = false);
    // Becomes a copy of other (count, format and every float).
    void copyFrom(const VertexArray& other);
    // Copies the components named in mask that both arrays carry, vertex by vertex; does
    // nothing when the vertex counts differ.
    void copyComponents(const VertexArray& other, std::uint32_t mask);
    // this = a + t (b - a) for position, normal and the two-component texture sets in
    // mask; a component is blended only when all three arrays carry it. Does nothing
    // unless the three counts are equal. Normals are not renormalised.
    void interpolate(const VertexArray& a, const VertexArray& b, float t, std::uint32_t mask);
    // Frees the data; count, stride and texture sizes become 0.
    void destroy();

    // Float offset of the component with the given format bit inside a vertex (the
    // offset of the next present component when it is absent). Unknown bits give stride.
    std::uint32_t offsetOf(std::uint32_t bit) const;
    bool has(std::uint32_t bit) const { return (format & bit) != 0; }

    float* data() { return data_.data(); }
    const float* data() const { return data_.data(); }
    float* vertex(std::uint32_t i) { return data_.data() + std::size_t(i) * stride; }
    const float* vertex(std::uint32_t i) const { return data_.data() + std::size_t(i) * stride; }
    std::size_t floatCount() const { return data_.size(); }

    std::uint32_t vertexCount = 0;
    std::uint32_t stride = 0;
    std::uint32_t positionOffset = 0;
    std::uint32_t normalOffset = 0;
    std::uint32_t colourOffset = 0;
    std::uint32_t texOffset0 = 0;
    std::uint32_t texOffset1 = 0;
    std::uint32_t texOffset2 = 0;
    std::uint32_t format = 0;
    std::uint8_t texSize0 = 0;
    std::uint8_t texSize1 = 0;
    std::uint8_t texSize2 = 0;

private:
    void computeLayout();

    std::vector<float> data_;
};
