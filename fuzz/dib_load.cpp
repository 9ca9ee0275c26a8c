// libFuzzer target: arbitrary bytes as a bitmap for the particle sprite's DIB loader.
// Nothing may crash, hang or touch memory outside the input and the record; a record
// that comes back must be within the picture bound and hold width * abs(height) * 3
// bytes (its first and last are read here, which AddressSanitizer checks).
#include "engine/material/DibLoader.h"
#include "engine/material/PictureBound.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The loader's messages go to standard error rather than to a box nobody closes.
    ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::unique_ptr<DibImage> dib = decodeDib(data, size);
    if (!dib)
        return 0;
    std::uint64_t rows = std::uint64_t(std::llabs(std::int64_t(dib->height)));
    if (dib->width <= 0 || !pictureWithinBound(std::uint64_t(dib->width), rows) || !dib->pixels)
        std::abort();
    volatile std::uint8_t keep = dib->pixels[0];
    keep = dib->pixels[dib->byteSize() - 1];
    (void)keep;
    return 0;
}
