#include "engine/material/BmpDecoder.h"

#include "engine/material/BmpFormat.h"
#include "engine/material/Image.h"

#include <cstdlib>

bool decodeBmp(const std::uint8_t* data, std::size_t size, Image& image)
{
    BmpInfo info;
    if (!readBmpInfo(data, size, BmpFileHeader::Always, info) || !bmpBitsConvertible(info, size))
        return false;
    std::uint8_t* pixels = image.allocate(std::uint32_t(info.width), std::uint32_t(std::llabs(info.height)), 24);
    return pixels && convertBmpBits(info, data, size, pixels, BmpRowOrder::TopFirst);
}
