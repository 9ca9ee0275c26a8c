// The importer's matrices (row-major, a1..d4) as the engine's column-major Mat4.
#pragma once

#include "engine/math/Mat4.h"

#include <assimp/matrix4x4.h>

inline Mat4 toMat4(const aiMatrix4x4& a)
{
    Mat4 m;
    for (unsigned r = 0; r < 4; ++r)
        for (unsigned k = 0; k < 4; ++k)
            m.at(int(r), int(k)) = a[r][k];
    return m;
}
