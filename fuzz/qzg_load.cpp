// libFuzzer: ".qzg" loading from arbitrary bytes, then one update of whatever loaded
// (morph and skin), with no render device.
#include "engine/geometry/Geometry.h"
#include "engine/math/FileBuffer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FileBuffer file;
    if (size > 0xFFFFFFFFu || !file.loadFromMemory(data, std::uint32_t(size)))
        return 0;
    Geometry geometry;
    if (geometry.load(file, "fuzz.qzg")) {
        if (geometry.skin)
            geometry.skin->skeleton.assignAnimation(-1, 0, true, 1);
        geometry.update(0.016f);
        geometry.update(0.016f);
    }
    return 0;
}
