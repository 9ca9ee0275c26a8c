#include "engine/material/TgaDecoder.h"

#include "engine/material/Image.h"
#include "engine/material/LittleEndian.h"

#include <cstring>

namespace {

constexpr std::size_t kHeaderSize = 18;

enum TgaType : std::uint8_t {
    kColourMapped = 1,
    kTrueColour = 2,
    kGrey = 3,
    kTrueColourRle = 10,
    kGreyRle = 11,
};

struct TgaHeader {
    std::uint8_t idLength = 0;
    std::uint8_t colourMapType = 0;
    std::uint8_t imageType = 0;
    std::uint32_t colourMapLength = 0;
    std::uint32_t colourMapEntryBits = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t depth = 0;
};

TgaHeader readHeader(const std::uint8_t* data)
{
    TgaHeader h;
    h.idLength = data[0];
    h.colourMapType = data[1];
    h.imageType = data[2];
    h.colourMapLength = readLe16(data + 5);
    h.colourMapEntryBits = data[7];
    h.width = readLe16(data + 12);
    h.height = readLe16(data + 14);
    h.depth = data[16];
    return h;
}

// Copies one stored pixel of depth bytesPerPixel into the image's layout: B, G, R (, A)
// become R, G, B (, A); a 1-5-5-5 word becomes the image's 5-6-5 word; grey is copied.
inline void storePixel(const std::uint8_t* src, std::uint8_t* dst, std::uint32_t bytesPerPixel)
{
    switch (bytesPerPixel) {
    case 1:
        dst[0] = src[0];
        break;
    case 2: {
        unsigned word = readLe16(src);
        unsigned r = (word >> 10) & 0x1F, g5 = (word >> 5) & 0x1F, b = word & 0x1F;
        unsigned g6 = (g5 << 1) | (g5 >> 4);
        unsigned out = (r << 11) | (g6 << 5) | b;
        dst[0] = std::uint8_t(out);
        dst[1] = std::uint8_t(out >> 8);
        break;
    }
    case 3:
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        break;
    default:
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        dst[3] = src[3];
        break;
    }
}

// Where the k-th stored pixel goes: stored rows run bottom row first.
inline std::uint8_t* target(Image& image, std::size_t k)
{
    std::uint32_t row = std::uint32_t(k / image.width());
    std::uint32_t column = std::uint32_t(k % image.width());
    return image.pixelAt(column, image.height() - 1 - row);
}

bool decodeRaw(const std::uint8_t* src, std::size_t available, Image& image, bool convert)
{
    std::uint32_t bpp = image.bytesPerPixel();
    std::size_t rowBytes = std::size_t(image.width()) * bpp;
    if (available / rowBytes < image.height())
        return false;
    for (std::uint32_t i = 0; i < image.height(); ++i) {
        const std::uint8_t* row = src + i * rowBytes;
        std::uint8_t* dst = image.pixelAt(0, image.height() - 1 - i);
        if (!convert) {
            std::memcpy(dst, row, rowBytes);
            continue;
        }
        for (std::uint32_t x = 0; x < image.width(); ++x)
            storePixel(row + std::size_t(x) * bpp, dst + std::size_t(x) * bpp, bpp);
    }
    return true;
}

// Run-length pixels form one stream over the whole image: a packet that passes the end
// of a row goes on at the start of the next one, and nothing is written past the last
// pixel of the image.
bool decodeRle(const std::uint8_t* src, std::size_t available, Image& image)
{
    std::uint32_t bpp = image.bytesPerPixel();
    std::size_t total = std::size_t(image.width()) * image.height();
    std::size_t pos = 0;
    std::size_t k = 0;
    while (k < total) {
        if (pos >= available)
            return false;
        std::uint8_t packet = src[pos++];
        std::size_t count = (packet & 0x7F) + 1;
        bool run = (packet & 0x80) != 0;
        std::size_t bytes = run ? bpp : count * bpp;
        if (available - pos < bytes)
            return false;
        for (std::size_t n = 0; n < count && k < total; ++n, ++k)
            storePixel(src + pos + (run ? 0 : n * bpp), target(image, k), bpp);
        pos += bytes;
    }
    return true;
}

// Whether available bytes can hold the pixel data of this type at the least: the raw
// types exactly, the run-length ones when every packet is a full run of 128.
bool enoughData(std::uint8_t type, std::uint32_t bpp, std::size_t pixels, std::size_t available)
{
    switch (type) {
    case kTrueColour:
        return bpp < 2 || available / bpp >= pixels;
    case kGrey:
        return available / bpp >= pixels;
    case kTrueColourRle:
    case kGreyRle:
        return available / (1 + bpp) >= (pixels + 127) / 128;
    case kColourMapped:
        return available >= pixels;
    default:
        return true;
    }
}

}

bool decodeTga(const std::uint8_t* data, std::size_t size, Image& image)
{
    if (!data || size < kHeaderSize)
        return false;
    TgaHeader h = readHeader(data);
    if (h.width == 0 || h.height == 0 || h.width > kMaxImageSide || h.height > kMaxImageSide)
        return false;
    if (h.depth != 8 && h.depth != 15 && h.depth != 16 && h.depth != 24 && h.depth != 32)
        return false;

    std::size_t offset = kHeaderSize + h.idLength;
    if (h.colourMapType != 0) {
        std::size_t entryBytes = h.colourMapEntryBits == 15 ? 2 : h.colourMapEntryBits / 8;
        offset += std::size_t(h.colourMapLength) * entryBytes;
    }
    if (offset > size)
        return false;
    const std::uint8_t* src = data + offset;
    std::size_t available = size - offset;

    // 15-bit pixels occupy two bytes like 16-bit ones.
    std::uint32_t bits = h.depth == 15 ? 16 : h.depth;
    std::uint32_t bpp = bits / 8;
    // Data too short for the pixels is refused before the image is allocated, so a
    // small damaged file cannot make a large image.
    if (!enoughData(h.imageType, bpp, std::size_t(h.width) * h.height, available))
        return false;
    if (!image.allocate(h.width, h.height, bits))
        return false;
    switch (h.imageType) {
    case kTrueColour:
        return bpp >= 2 ? decodeRaw(src, available, image, true) : true;
    case kGrey:
        return decodeRaw(src, available, image, false);
    case kTrueColourRle:
        return bpp >= 2 ? decodeRle(src, available, image) : true;
    case kGreyRle:
        return bpp == 1 ? decodeRle(src, available, image) : true;
    default:
        // Colour-mapped: the index bytes are not turned into colours. Other types are
        // not read. Either way the pixels stay zero.
        return true;
    }
}
