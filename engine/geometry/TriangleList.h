// TriangleList: independent triangles as 16-bit vertex indices, three per triangle. It
// owns its indices and knows nothing of the vertices they address; the loader checks
// them against the mesh they belong to.
#pragma once

#include <cstdint>
#include <vector>

class TriangleList {
public:
    // Number of triangles; the index array holds 3 x count entries.
    std::uint32_t count = 0;
    std::vector<std::uint16_t> indices;

    // Replaces the triangles by n empty (all index 0) ones; n of 0 keeps the storage
    // and sets the count to 0.
    void resize(std::uint32_t n);
    std::uint32_t indexCount() const { return 3 * count; }
    // The largest index held, or -1 when there are no triangles.
    std::int32_t maxIndex() const;
};
