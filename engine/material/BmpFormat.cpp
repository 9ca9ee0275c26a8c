#include "engine/material/BmpFormat.h"

#include "engine/material/BmpRle.h"
#include "engine/material/LittleEndian.h"
#include "engine/material/PictureBound.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace {

constexpr std::size_t FILE_HEADER_SIZE = 14;
constexpr std::uint32_t COMPRESSION_NONE = 0;
constexpr std::uint32_t COMPRESSION_RLE8 = 1;
constexpr std::uint32_t COMPRESSION_RLE4 = 2;
constexpr std::uint32_t COMPRESSION_BITFIELDS = 3;
constexpr std::uint32_t COMPRESSION_ALPHABITFIELDS = 6;

bool knownHeaderSize(std::uint32_t size)
{
    switch (size) {
    case 12: case 40: case 52: case 56: case 108: case 124: return true;
    default: return false;
    }
}

bool bitFields(const BmpInfo& info)
{
    return info.compression == COMPRESSION_BITFIELDS || info.compression == COMPRESSION_ALPHABITFIELDS;
}

bool runLength(const BmpInfo& info)
{
    return info.compression == COMPRESSION_RLE8 || info.compression == COMPRESSION_RLE4;
}

// Palette entries a depth implies when the header does not say.
std::uint32_t defaultPaletteCount(std::uint32_t bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 ? 1u << bitCount : 0;
}

// The masks of an uncompressed 16-bit (5-5-5) or 32-bit (8-8-8) pixel.
void defaultMasks(BmpInfo& info)
{
    bool wide = info.bitCount == 32;
    info.masks[0] = wide ? 0xFF0000u : 0x7C00u;
    info.masks[1] = wide ? 0x00FF00u : 0x03E0u;
    info.masks[2] = wide ? 0x0000FFu : 0x001Fu;
}

// One channel of a masked pixel scaled to 8 bits; shorter fields repeat their bits
// (5 bits abcde give abcdeabc), so full scale stays full scale.
std::uint8_t channel(std::uint32_t pixel, std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    unsigned shift = unsigned(std::countr_zero(mask));
    unsigned bits = unsigned(std::bit_width(mask >> shift));
    std::uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8)
        return std::uint8_t(value >> (bits - 8));
    std::uint32_t out = 0;
    for (int at = 8 - int(bits); at > -int(bits); at -= int(bits))
        out |= at >= 0 ? value << at : value >> -at;
    return std::uint8_t(out);
}

// False for an index past the palette the file holds: its colour is unknown, and a
// picture with holes in it is not the one the file meant.
bool paletteColour(const BmpInfo& info, unsigned index, std::uint8_t* out)
{
    if (index >= info.paletteCount)
        return false;
    out[0] = info.palette[index][0];
    out[1] = info.palette[index][1];
    out[2] = info.palette[index][2];
    return true;
}

// False when a pixel indexes past the palette.
bool convertRow(const BmpInfo& info, const std::uint8_t* src, std::uint8_t* dst)
{
    std::size_t width = std::size_t(info.width);
    for (std::size_t x = 0; x < width; ++x, dst += 3) {
        switch (info.bitCount) {
        case 1:
            if (!paletteColour(info, (src[x >> 3] >> (7 - (x & 7))) & 1, dst))
                return false;
            break;
        case 4:
            if (!paletteColour(info, (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4), dst))
                return false;
            break;
        case 8:
            if (!paletteColour(info, src[x], dst))
                return false;
            break;
        case 24:
            dst[0] = src[3 * x + 2];
            dst[1] = src[3 * x + 1];
            dst[2] = src[3 * x];
            break;
        default: {
            std::uint32_t pixel = info.bitCount == 16 ? readLe16(src + 2 * x) : readLe32(src + 4 * x);
            dst[0] = channel(pixel, info.masks[0]);
            dst[1] = channel(pixel, info.masks[1]);
            dst[2] = channel(pixel, info.masks[2]);
            break;
        }
        }
    }
    return true;
}

// Run-length pixels in their palette colours, written straight into the picture's rows
// (stored row y at row y, or flipped); the pixels the data skips keep the zeros the
// picture was allocated with.
class RgbRleSink : public BmpRleSink {
public:
    RgbRleSink(const BmpInfo& info, std::uint8_t* rgb, bool flip) : info_(info), rgb_(rgb), flip_(flip) {}

    bool put(std::uint32_t x, std::uint32_t y, std::uint8_t index) override
    {
        std::size_t rows = std::size_t(std::llabs(info_.height));
        std::size_t row = flip_ ? rows - 1 - y : y;
        return paletteColour(info_, index, rgb_ + (row * std::size_t(info_.width) + x) * 3);
    }

private:
    const BmpInfo& info_;
    std::uint8_t* rgb_;
    bool flip_;
};

std::size_t rowStride(const BmpInfo& info)
{
    return ((std::size_t(info.width) * info.bitCount + 31) / 32) * 4;
}

}

bool readBmpInfo(const std::uint8_t* data, std::size_t size, BmpFileHeader fileHeader, BmpInfo& info)
{
    info = BmpInfo {};
    if (!data)
        return false;
    bool hasFileHeader = fileHeader == BmpFileHeader::Always
        || (size >= FILE_HEADER_SIZE && data[0] == 'B' && data[1] == 'M');
    std::size_t infoStart = hasFileHeader ? FILE_HEADER_SIZE : 0;
    if (size < infoStart + 4)
        return false;
    const std::uint8_t* header = data + infoStart;
    info.headerSize = readLe32(header);
    if (!knownHeaderSize(info.headerSize) || size - infoStart < info.headerSize)
        return false;

    std::size_t entrySize = 4;
    std::uint32_t coloursUsed = 0;
    if (info.headerSize == 12) {
        info.width = readLe16(header + 4);
        info.height = readLe16(header + 6);
        info.bitCount = readLe16(header + 10);
        entrySize = 3;
    } else {
        info.width = readLe32Signed(header + 4);
        info.height = readLe32Signed(header + 8);
        info.bitCount = readLe16(header + 14);
        info.compression = readLe32(header + 16);
        coloursUsed = readLe32(header + 32);
    }

    // Bit-field masks: inside the larger headers, after the 40-byte one.
    std::size_t headersEnd = infoStart + info.headerSize;
    std::size_t masksEnd = headersEnd;
    defaultMasks(info);
    if (bitFields(info)) {
        const std::uint8_t* masks = header + 40;
        if (info.headerSize == 40) {
            masksEnd += info.compression == COMPRESSION_ALPHABITFIELDS ? 16 : 12;
            if (size < masksEnd)
                return false;
            masks = data + headersEnd;
        }
        for (int c = 0; c < 3; ++c) {
            info.masks[c] = readLe32(masks + 4 * c);
            if (info.masks[c] == 0)
                return false;
        }
    }

    std::size_t declared = std::min<std::size_t>(coloursUsed ? coloursUsed : defaultPaletteCount(info.bitCount), 256);
    std::size_t offset = hasFileHeader ? readLe32(data + 10) : 0;
    if (hasFileHeader && offset >= headersEnd) {
        if (offset < masksEnd)
            return false;  // the pixels would begin inside the masks
        info.bitsStart = offset;
    } else {
        info.bitsStart = masksEnd + declared * entrySize;
    }

    // Only the entries the file holds before its bits are read.
    std::size_t paletteEnd = std::min(info.bitsStart, size);
    std::size_t present = paletteEnd > masksEnd ? (paletteEnd - masksEnd) / entrySize : 0;
    info.paletteCount = std::uint32_t(std::min(declared, present));
    for (std::uint32_t i = 0; i < info.paletteCount; ++i) {
        const std::uint8_t* entry = data + masksEnd + i * entrySize;
        info.palette[i][0] = entry[2];
        info.palette[i][1] = entry[1];
        info.palette[i][2] = entry[0];
    }
    return true;
}

bool bmpSizeAllowed(const BmpInfo& info)
{
    return pictureWithinBound(std::uint64_t(std::max<std::int64_t>(info.width, 0)),
                              std::uint64_t(std::llabs(info.height)));
}

bool bmpBitsConvertible(const BmpInfo& info, std::size_t size)
{
    if (info.bitsStart > size || !bmpSizeAllowed(info))
        return false;
    switch (info.compression) {
    case COMPRESSION_RLE8:
        return info.bitCount == 8 && info.height > 0;
    case COMPRESSION_RLE4:
        return info.bitCount == 4 && info.height > 0;
    case COMPRESSION_BITFIELDS:
    case COMPRESSION_ALPHABITFIELDS:
        if (info.bitCount != 16 && info.bitCount != 32)
            return false;
        break;
    case COMPRESSION_NONE:
        if (info.bitCount != 1 && info.bitCount != 4 && info.bitCount != 8 && info.bitCount != 16
            && info.bitCount != 24 && info.bitCount != 32)
            return false;
        break;
    default:
        return false;
    }
    std::size_t rows = std::size_t(std::llabs(info.height));
    std::size_t lastRow = (std::size_t(info.width) * info.bitCount + 7) / 8;
    return size - info.bitsStart >= (rows - 1) * rowStride(info) + lastRow;
}

bool convertBmpBits(const BmpInfo& info, const std::uint8_t* data, std::size_t size, std::uint8_t* rgb,
                    BmpRowOrder order)
{
    std::size_t width = std::size_t(info.width);
    std::size_t rows = std::size_t(std::llabs(info.height));
    std::size_t outRow = width * 3;
    bool flip = order == BmpRowOrder::TopFirst && info.height > 0;
    auto target = [&](std::size_t stored) { return rgb + (flip ? rows - 1 - stored : stored) * outRow; };

    if (runLength(info)) {
        RgbRleSink sink(info, rgb, flip);
        return expandBmpRle(data + info.bitsStart, size - info.bitsStart, std::uint32_t(width), std::uint32_t(rows),
                            info.bitCount, sink);
    }
    std::size_t stride = rowStride(info);
    for (std::size_t i = 0; i < rows; ++i) {
        if (!convertRow(info, data + info.bitsStart + i * stride, target(i)))
            return false;
    }
    return true;
}
