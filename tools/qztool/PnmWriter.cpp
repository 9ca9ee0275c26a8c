#include "tools/qztool/PnmWriter.h"

#include "engine/material/Image.h"

namespace {

std::string header(const char* magic, std::uint32_t width, std::uint32_t height)
{
    return std::string(magic) + "\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
}

std::uint8_t widen(unsigned value, unsigned bits)
{
    return std::uint8_t((value << (8 - bits)) | (value >> (2 * bits - 8)));
}

std::string rgbFrom565(const Image& image)
{
    std::string out;
    out.reserve(std::size_t(image.width()) * image.height() * 3);
    const std::uint8_t* p = image.pixels();
    std::size_t count = std::size_t(image.width()) * image.height();
    for (std::size_t i = 0; i < count; ++i, p += 2) {
        unsigned word = unsigned(p[0]) | (unsigned(p[1]) << 8);
        out.push_back(char(widen(word >> 11, 5)));
        out.push_back(char(widen((word >> 5) & 0x3F, 6)));
        out.push_back(char(widen(word & 0x1F, 5)));
    }
    return out;
}

}

std::string encodePnm(const Image& image)
{
    if (image.empty() || !image.pixels())
        return {};
    const char* bytes = reinterpret_cast<const char*>(image.pixels());
    std::string body(bytes, image.byteSize());
    switch (image.bitsPerPixel()) {
    case 8: return header("P5", image.width(), image.height()) + body;
    case 16: return header("P6", image.width(), image.height()) + rgbFrom565(image);
    case 24: return header("P6", image.width(), image.height()) + body;
    case 32:
        return "P7\nWIDTH " + std::to_string(image.width()) + "\nHEIGHT " + std::to_string(image.height())
            + "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" + body;
    default: return {};
    }
}

std::string encodePpm(const std::uint8_t* rgb, std::uint32_t width, std::uint32_t rows, bool bottomUp)
{
    std::string out = header("P6", width, rows);
    std::size_t rowBytes = std::size_t(width) * 3;
    for (std::uint32_t i = 0; i < rows; ++i) {
        std::uint32_t source = bottomUp ? rows - 1 - i : i;
        out.append(reinterpret_cast<const char*>(rgb) + source * rowBytes, rowBytes);
    }
    return out;
}
