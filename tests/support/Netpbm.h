// Reading binary Netpbm files (P5, P6, P7 with MAXVAL 255) in tests, to compare decoded
// pictures with what third-party tools (djpeg, ImageMagick) write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct NetpbmPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t channels = 0;  // 1 grey, 3 RGB, 4 RGBA
    std::string tupleType;       // P7 only
    std::vector<std::uint8_t> samples;  // rows top first, packed
};

// False when bytes are not a complete 8-bit P5, P6 or P7 file.
bool parseNetpbm(const std::string& bytes, NetpbmPicture& picture);
