// libFuzzer target: arbitrary bytes decoded as a BMP file, as Image::load
// hands them over. Nothing may crash, hang or touch memory outside the input and the
// image; a successful decode must give a whole image.
#include "engine/material/BmpDecoder.h"
#include "fuzz/FuzzImageCheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Image image;
    bool decoded = decodeBmp(data, size, image);
    checkDecodedImage(decoded, image);
    return 0;
}
