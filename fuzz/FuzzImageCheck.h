// Shared by the image fuzz targets: what a decoded Image must satisfy whatever the input
// bytes were. Reads every pixel byte so that a buffer smaller than its recorded size
// shows up under AddressSanitizer.
#pragma once

#include "engine/material/Image.h"

#include <cstdlib>

inline void checkDecodedImage(bool decoded, const Image& image)
{
    if (!decoded)
        return;
    if (image.width() == 0 || image.height() == 0 || image.width() > kMaxImageSide
        || image.height() > kMaxImageSide || !image.pixels())
        std::abort();
    unsigned sum = 0;
    for (std::size_t i = 0; i < image.byteSize(); ++i)
        sum += image.pixels()[i];
    volatile unsigned keep = sum;
    (void)keep;
}
