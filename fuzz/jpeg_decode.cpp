// libFuzzer target: arbitrary bytes decoded as a JPEG file through libjpeg's memory
// source, as Image::load hands them over. Nothing may crash, hang or touch memory outside the input and the
// image; a successful decode must give a whole image.
#include "engine/material/JpegDecoder.h"
#include "fuzz/FuzzImageCheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Image image;
    bool decoded = decodeJpeg(data, size, image);
    checkDecodedImage(decoded, image);
    return 0;
}
