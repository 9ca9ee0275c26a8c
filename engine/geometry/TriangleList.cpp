#include "engine/geometry/TriangleList.h"

#include <algorithm>

void TriangleList::resize(std::uint32_t n)
{
    if (n != 0)
        indices.assign(std::size_t(n) * 3, 0);
    count = n;
}

std::int32_t TriangleList::maxIndex() const
{
    if (count == 0)
        return -1;
    return *std::max_element(indices.begin(), indices.begin() + std::size_t(count) * 3);
}
