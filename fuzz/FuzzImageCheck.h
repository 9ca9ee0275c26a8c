// Shared by the image fuzz targets: what a decoded Image must satisfy whatever the input
// bytes were: a picture within the picture bound with all its pixels. The first and the
// last pixel byte are read, so that a buffer smaller than its recorded size shows up
// under AddressSanitizer without the cost of reading every byte of a large picture.
#pragma once

#include "engine/material/Image.h"
#include "engine/material/PictureBound.h"

#include <cstdlib>

inline void checkDecodedImage(bool decoded, const Image& image)
{
    if (!decoded)
        return;
    if (!pictureWithinBound(image.width(), image.height()) || !image.pixels() || image.byteSize() == 0)
        std::abort();
    volatile std::uint8_t keep = image.pixels()[0];
    keep = image.pixels()[image.byteSize() - 1];
    (void)keep;
}
