#include "tests/support/BmpWriter.h"

namespace {

void put(std::string& s, unsigned v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

}

std::string solidBmp(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    const unsigned rowBytes = (static_cast<unsigned>(width) * 3 + 3) & ~3u;
    const unsigned dataSize = rowBytes * static_cast<unsigned>(height);
    std::string s = "BM";
    // File header, then the 40-byte info header: size, planes 1, 24 bits, no compression,
    // 2835 pixels per metre.
    for (unsigned v : { 54 + dataSize, 0u, 54u, 40u, static_cast<unsigned>(width), static_cast<unsigned>(height) })
        put(s, v, 4);
    put(s, 1, 2);
    put(s, 24, 2);
    for (unsigned v : { 0u, dataSize, 2835u, 2835u, 0u, 0u })
        put(s, v, 4);
    std::string row;
    for (int x = 0; x < width; ++x)
        row += {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)};
    row.resize(rowBytes, '\0');
    for (int y = 0; y < height; ++y)
        s += row;
    return s;
}
