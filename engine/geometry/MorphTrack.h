// MorphTrack: the keyframe vertex arrays of one geometry item, frame 0 first. It owns
// its frames; the clock that picks frames is the MorphModifier's.
#pragma once

#include "engine/geometry/VertexArray.h"

#include <cstdint>
#include <vector>

class FileBuffer;

struct MorphTrack {
    std::vector<VertexArray> frames;
    std::uint32_t frameCount() const { return std::uint32_t(frames.size()); }
};
