// libFuzzer target: arbitrary bytes as a bitmap for the particle sprite's DIB loader.
// Nothing may crash, hang or touch memory outside the input and the record; a record
// that comes back must hold width * abs(height) * 3 bytes, all read here.
#include "engine/material/DibLoader.h"

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
    if (dib->width <= 0 || dib->height == 0 || !dib->pixels)
        std::abort();
    unsigned sum = 0;
    for (std::size_t i = 0; i < dib->byteSize(); ++i)
        sum += dib->pixels[i];
    volatile unsigned keep = sum;
    (void)keep;
    return 0;
}
