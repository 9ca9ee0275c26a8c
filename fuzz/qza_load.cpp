// libFuzzer: ".qza" reading from arbitrary bytes, then evaluation of every bone at a few
// times, including past the duration and at negative times.
#include "engine/geometry/Animation.h"
#include "engine/math/FileBuffer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FileBuffer file;
    if (size > 0xFFFFFFFFu || !file.loadFromMemory(data, std::uint32_t(size)))
        return 0;
    KeyframedAnimation animation;
    if (!animation.read(file))
        return 0;
    volatile float sink = 0.0f;  // keeps the evaluations from being optimised away
    for (std::uint32_t bone = 0; bone <= animation.boneCount && bone < 64; ++bone) {
        for (float t : { 0.0f, 0.37f, animation.duration, animation.duration * 2.5f, -1.0f, 1e20f })
            sink = sink + animation.evaluate(bone, t).m[12];
    }
    return 0;
}
