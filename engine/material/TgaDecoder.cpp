#include "engine/material/TgaDecoder.h"

#include "engine/material/Image.h"
#include "engine/material/LittleEndian.h"
#include "engine/material/PictureBound.h"

#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kHeaderSize = 18;

enum TgaType : std::uint8_t {
    kColourMapped = 1,
    kTrueColour = 2,
    kGrey = 3,
    kColourMappedRle = 9,
    kTrueColourRle = 10,
    kGreyRle = 11,
};

// Image descriptor bits: where the first stored pixel sits.
constexpr std::uint8_t kOriginRight = 0x10;
constexpr std::uint8_t kOriginTop = 0x20;

struct TgaHeader {
    std::uint8_t idLength = 0;
    std::uint8_t colourMapType = 0;
    std::uint8_t imageType = 0;
    std::uint32_t colourMapFirst = 0;
    std::uint32_t colourMapLength = 0;
    std::uint32_t colourMapEntryBits = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t depth = 0;
    std::uint8_t descriptor = 0;
};

TgaHeader readHeader(const std::uint8_t* data)
{
    TgaHeader h;
    h.idLength = data[0];
    h.colourMapType = data[1];
    h.imageType = data[2];
    h.colourMapFirst = readLe16(data + 3);
    h.colourMapLength = readLe16(data + 5);
    h.colourMapEntryBits = data[7];
    h.width = readLe16(data + 12);
    h.height = readLe16(data + 14);
    h.depth = data[16];
    h.descriptor = data[17];
    return h;
}

bool colourMapped(std::uint8_t type)
{
    return type == kColourMapped || type == kColourMappedRle;
}

bool runLength(std::uint8_t type)
{
    return type == kColourMappedRle || type == kTrueColourRle || type == kGreyRle;
}

// Bytes of a colour of 15, 16, 24 or 32 bits as stored (15-bit colours take two).
std::uint32_t storedBytes(std::uint32_t bits)
{
    return bits == 15 ? 2 : bits / 8;
}

// The depth of the image a file decodes to: its pixels' for true colour and grey, its
// map entries' for colour-mapped files (15 bits decode as 16); 0 when this decoder
// does not take the file: a type or depth it does not know, or a colour map that
// cannot serve (8-bit indices only).
std::uint32_t imageDepth(const TgaHeader& h)
{
    auto colour = [](std::uint32_t bits) { return bits == 15 || bits == 16 ? 16u : bits == 24 || bits == 32 ? bits : 0u; };
    switch (h.imageType) {
    case kTrueColour:
    case kTrueColourRle:
        return colour(h.depth);
    case kGrey:
    case kGreyRle:
        return h.depth == 8 ? 8 : 0;
    case kColourMapped:
    case kColourMappedRle:
        return h.colourMapType == 1 && h.colourMapLength > 0 && h.depth == 8 ? colour(h.colourMapEntryBits) : 0;
    default:
        return 0;
    }
}

// Copies one stored colour of bytesPerPixel bytes into the image's layout: B, G, R (, A)
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

// Puts stored pixels into the image: the k-th stored pixel goes where the origin bits
// say the stored rows and columns run from.
class PixelSink {
public:
    PixelSink(Image& image, const TgaHeader& h, const std::vector<std::uint8_t>& map)
        : image_(image), topFirst_(h.descriptor & kOriginTop), rightToLeft_(h.descriptor & kOriginRight),
          mapped_(colourMapped(h.imageType)), first_(h.colourMapFirst), map_(map)
    {
    }

    // False for an index outside the colour map: its colour is unknown.
    bool put(std::size_t k, const std::uint8_t* stored)
    {
        std::uint32_t bpp = image_.bytesPerPixel();
        std::uint8_t* dst = target(k);
        if (!mapped_) {
            storePixel(stored, dst, bpp);
            return true;
        }
        std::size_t entry = std::size_t(stored[0]) - first_;
        if (stored[0] < first_ || entry >= map_.size() / bpp)
            return false;
        std::memcpy(dst, map_.data() + entry * bpp, bpp);
        return true;
    }

private:
    std::uint8_t* target(std::size_t k)
    {
        std::uint32_t row = std::uint32_t(k / image_.width());
        std::uint32_t column = std::uint32_t(k % image_.width());
        std::uint32_t x = rightToLeft_ ? image_.width() - 1 - column : column;
        std::uint32_t y = topFirst_ ? row : image_.height() - 1 - row;
        return image_.pixelAt(x, y);
    }

    Image& image_;
    bool topFirst_;
    bool rightToLeft_;
    bool mapped_;
    std::uint32_t first_;
    const std::vector<std::uint8_t>& map_;
};

bool decodeRaw(const std::uint8_t* src, std::size_t available, std::size_t total, std::uint32_t inBytes,
               PixelSink& sink)
{
    if (available / inBytes < total)
        return false;
    for (std::size_t k = 0; k < total; ++k) {
        if (!sink.put(k, src + k * inBytes))
            return false;
    }
    return true;
}

// Run-length pixels form one stream over the whole image: a packet that passes the end
// of a row goes on at the start of the next one, and nothing is written past the last
// pixel of the image.
bool decodeRle(const std::uint8_t* src, std::size_t available, std::size_t total, std::uint32_t inBytes,
               PixelSink& sink)
{
    std::size_t pos = 0;
    std::size_t k = 0;
    while (k < total) {
        if (pos >= available)
            return false;
        std::uint8_t packet = src[pos++];
        std::size_t count = (packet & 0x7F) + 1;
        bool run = (packet & 0x80) != 0;
        std::size_t bytes = run ? inBytes : count * inBytes;
        if (available - pos < bytes)
            return false;
        for (std::size_t n = 0; n < count && k < total; ++n, ++k) {
            if (!sink.put(k, src + pos + (run ? 0 : n * inBytes)))
                return false;
        }
        pos += bytes;
    }
    return true;
}

}

bool decodeTga(const std::uint8_t* data, std::size_t size, Image& image)
{
    if (!data || size < kHeaderSize)
        return false;
    TgaHeader h = readHeader(data);
    if (!pictureWithinBound(h.width, h.height))
        return false;
    std::uint32_t depth = imageDepth(h);
    if (depth == 0)
        return false;

    std::size_t offset = kHeaderSize + h.idLength;
    std::size_t mapStart = offset;
    if (h.colourMapType != 0)
        offset += std::size_t(h.colourMapLength) * storedBytes(h.colourMapEntryBits);
    if (offset > size)
        return false;
    const std::uint8_t* src = data + offset;
    std::size_t available = size - offset;

    // What one stored pixel takes: an index byte when mapped, else the pixel's colour.
    std::uint32_t inBytes = colourMapped(h.imageType) ? 1 : storedBytes(h.depth);
    std::size_t total = std::size_t(h.width) * h.height;
    // Data too short for the pixels is refused before the image is allocated, so a
    // small damaged file cannot make a large image: raw pixels exactly, run-length ones
    // as if every packet were a full run of 128.
    bool enough = runLength(h.imageType) ? available / (1 + inBytes) >= (total + 127) / 128
                                         : available / inBytes >= total;
    if (!enough)
        return false;

    // The colour map in the image's layout.
    std::vector<std::uint8_t> map;
    std::uint32_t bpp = depth / 8;
    if (colourMapped(h.imageType)) {
        std::uint32_t entryBytes = storedBytes(h.colourMapEntryBits);
        map.resize(std::size_t(h.colourMapLength) * bpp);
        for (std::size_t i = 0; i < h.colourMapLength; ++i)
            storePixel(data + mapStart + i * entryBytes, map.data() + i * bpp, bpp);
    }
    if (!image.allocate(h.width, h.height, depth))
        return false;
    PixelSink sink(image, h, map);
    return runLength(h.imageType) ? decodeRle(src, available, total, inBytes, sink)
                                  : decodeRaw(src, available, total, inBytes, sink);
}
