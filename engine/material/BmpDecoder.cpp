#include "engine/material/BmpDecoder.h"

#include "engine/material/BmpRle.h"
#include "engine/material/Image.h"
#include "engine/material/LittleEndian.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCompressionNone = 0;
constexpr std::uint32_t kCompressionRle8 = 1;
constexpr std::uint32_t kCompressionBitfields = 3;
constexpr std::uint32_t kCompressionAlphaBitfields = 6;

struct BmpHeader {
    std::uint32_t infoSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // negative: rows stored top row first
    std::uint32_t bitCount = 0;
    std::uint32_t compression = kCompressionNone;
    std::uint32_t coloursUsed = 0;
    std::uint32_t paletteEntrySize = 4;  // 3 for the 12-byte core header
    std::uint32_t pixelOffset = 0;       // from the file header; 0 when not given
};

bool readHeader(const std::uint8_t* data, std::size_t size, BmpHeader& h)
{
    if (size < kFileHeaderSize + 4)
        return false;
    h.pixelOffset = readLe32(data + 10);
    const std::uint8_t* info = data + kFileHeaderSize;
    h.infoSize = readLe32(info);
    if (h.infoSize != 12 && h.infoSize != 40 && h.infoSize != 52 && h.infoSize != 56
        && h.infoSize != 108 && h.infoSize != 124)
        return false;
    if (size < kFileHeaderSize + h.infoSize)
        return false;
    if (h.infoSize == 12) {
        h.width = readLe16(info + 4);
        h.height = readLe16(info + 6);
        h.bitCount = readLe16(info + 10);
        h.paletteEntrySize = 3;
        return true;
    }
    h.width = readLe32Signed(info + 4);
    h.height = readLe32Signed(info + 8);
    h.bitCount = readLe16(info + 14);
    h.compression = readLe32(info + 16);
    h.coloursUsed = readLe32(info + 32);
    return true;
}

bool supportedLayout(const BmpHeader& h)
{
    if (h.width <= 0 || h.width > kMaxImageSide || h.height == 0 || std::llabs(h.height) > kMaxImageSide)
        return false;
    switch (h.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    if (h.compression == kCompressionNone)
        return true;
    if (h.compression == kCompressionRle8)
        return h.bitCount == 8 && h.height > 0;
    // Bit-field masks only describe how 16- and 32-bit pixels are packed, which this
    // decoder leaves unwritten anyway. Run-length data is expanded for 8 bits (4-bit
    // pictures are not decoded at all) and never taken for raw rows.
    bool bitfields = h.compression == kCompressionBitfields || h.compression == kCompressionAlphaBitfields;
    return bitfields && (h.bitCount == 16 || h.bitCount == 32);
}

struct Palette {
    std::uint8_t rgb[256][3] = {};
    std::uint32_t count = 0;
};

// Reads the palette entries that both the header announces and the bytes between the
// headers and the pixel data hold; indices past them read black.
void readPalette(const std::uint8_t* data, std::size_t paletteStart, std::size_t paletteEnd,
                 const BmpHeader& h, Palette& palette)
{
    std::uint32_t wanted = h.coloursUsed ? h.coloursUsed : (1u << h.bitCount);
    wanted = std::min<std::uint32_t>(wanted, 1u << h.bitCount);
    std::size_t present = paletteEnd > paletteStart ? (paletteEnd - paletteStart) / h.paletteEntrySize : 0;
    palette.count = std::uint32_t(std::min<std::size_t>(wanted, present));
    for (std::uint32_t i = 0; i < palette.count; ++i) {
        const std::uint8_t* entry = data + paletteStart + std::size_t(i) * h.paletteEntrySize;
        palette.rgb[i][0] = entry[2];
        palette.rgb[i][1] = entry[1];
        palette.rgb[i][2] = entry[0];
    }
}

void decodeRow8(const std::uint8_t* src, std::uint8_t* dst, std::size_t width, const Palette& palette)
{
    static const std::uint8_t black[3] = { 0, 0, 0 };
    for (std::size_t x = 0; x < width; ++x) {
        std::uint8_t index = src[x];
        const std::uint8_t* rgb = index < palette.count ? palette.rgb[index] : black;
        dst[0] = rgb[0];
        dst[1] = rgb[1];
        dst[2] = rgb[2];
        dst += 3;
    }
}

void paletteToRow(const std::uint16_t* indices, std::uint8_t* dst, std::size_t width, const Palette& palette)
{
    for (std::size_t x = 0; x < width; ++x, dst += 3) {
        std::uint16_t index = indices[x];
        if (index < palette.count) {
            dst[0] = palette.rgb[index][0];
            dst[1] = palette.rgb[index][1];
            dst[2] = palette.rgb[index][2];
        }
    }
}

// Run-length 8-bit pixels: expanded to indices first; skipped pixels stay zero (black).
bool decodeRle8(const std::uint8_t* data, std::size_t size, Image& image, const Palette& palette)
{
    std::vector<std::uint16_t> indices;
    if (!expandBmpRle(data, size, image.width(), image.height(), 8, indices))
        return false;
    for (std::uint32_t i = 0; i < image.height(); ++i) {
        const std::uint16_t* row = indices.data() + std::size_t(i) * image.width();
        paletteToRow(row, image.pixelAt(0, image.height() - 1 - i), image.width(), palette);
    }
    return true;
}

void decodeRow24(const std::uint8_t* src, std::uint8_t* dst, std::size_t width)
{
    for (std::size_t x = 0; x < width; ++x) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
        src += 3;
        dst += 3;
    }
}

}

bool decodeBmp(const std::uint8_t* data, std::size_t size, Image& image)
{
    BmpHeader h;
    if (!data || !readHeader(data, size, h) || !supportedLayout(h))
        return false;

    std::size_t headersEnd = kFileHeaderSize + h.infoSize;
    std::size_t paletteEntries = 0;
    if (h.bitCount <= 8)
        paletteEntries = h.coloursUsed ? std::min<std::uint32_t>(h.coloursUsed, 256) : (1u << h.bitCount);
    // Pixel data begins where the file header says; files that leave the offset 0 (or
    // point it into the headers) have it straight after the palette.
    std::size_t pixelStart = h.pixelOffset >= headersEnd ? h.pixelOffset
                                                         : headersEnd + paletteEntries * h.paletteEntrySize;
    if (pixelStart > size)
        return false;

    std::size_t width = std::size_t(h.width);
    std::size_t rows = std::size_t(std::llabs(h.height));
    Palette palette;
    if (h.bitCount <= 8)
        readPalette(data, headersEnd, pixelStart, h, palette);
    if (h.compression == kCompressionRle8) {
        if (!image.allocate(std::uint32_t(width), std::uint32_t(rows), 24))
            return false;
        return decodeRle8(data + pixelStart, size - pixelStart, image, palette);
    }

    std::size_t stride = ((width * h.bitCount + 31) / 32) * 4;
    std::size_t lastRowBytes = (width * h.bitCount + 7) / 8;
    // The last row's padding may be missing; its pixels may not.
    if (size - pixelStart < (rows - 1) * stride + lastRowBytes)
        return false;

    std::uint8_t* pixels = image.allocate(std::uint32_t(width), std::uint32_t(rows), 24);
    if (!pixels)
        return false;
    bool topDown = h.height < 0;
    for (std::size_t i = 0; i < rows; ++i) {
        const std::uint8_t* src = data + pixelStart + i * stride;
        std::uint8_t* dst = image.pixelAt(0, std::uint32_t(topDown ? i : rows - 1 - i));
        if (h.bitCount == 8)
            decodeRow8(src, dst, width, palette);
        else if (h.bitCount == 24)
            decodeRow24(src, dst, width);
    }
    return true;
}
