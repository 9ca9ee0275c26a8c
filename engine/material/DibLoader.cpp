#include "engine/material/DibLoader.h"

#include "engine/material/BmpRle.h"
#include "engine/material/Image.h"
#include "engine/material/LittleEndian.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kFileHeaderSize = 14;

struct DibLayout {
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint8_t palette[256][3] = {};  // R, G, B
    std::uint32_t paletteCount = 0;     // entries actually present in the file
    std::size_t bitsStart = 0;
};

void showError(const std::string& text)
{
    platform::showMessageBox("Error", text.c_str(), platform::MessageIcon::Error);
}

std::uint32_t defaultPaletteCount(std::uint32_t bitCount)
{
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

// Reads the information header and the palette that follows it: the 12-byte core
// header, or the 40-byte one and its 108- and 124-byte extensions (which today's tools
// write; their first 40 bytes are the same). False for any other header size.
bool readLayout(const std::uint8_t* data, std::size_t size, DibLayout& layout)
{
    bool fileHeader = size >= kFileHeaderSize && data[0] == 'B' && data[1] == 'M';
    std::size_t info = fileHeader ? kFileHeaderSize : 0;
    if (size < info + 4)
        return false;
    std::uint32_t headerSize = readLe32(data + info);
    std::uint32_t declaredColours = 0;
    std::size_t entrySize = 4;
    if (headerSize == 12 && size >= info + 12) {
        layout.width = readLe16(data + info + 4);
        layout.height = readLe16(data + info + 6);
        layout.bitCount = readLe16(data + info + 10);
        declaredColours = defaultPaletteCount(layout.bitCount);
        entrySize = 3;
    } else if ((headerSize == 40 || headerSize == 108 || headerSize == 124) && size >= info + headerSize) {
        layout.width = readLe32Signed(data + info + 4);
        layout.height = readLe32Signed(data + info + 8);
        layout.bitCount = readLe16(data + info + 14);
        layout.compression = readLe32(data + info + 16);
        std::uint32_t used = readLe32(data + info + 32);
        declaredColours = used ? used : defaultPaletteCount(layout.bitCount);
    } else {
        return false;
    }
    std::size_t paletteStart = info + headerSize;
    std::size_t paletteBytes = std::size_t(declaredColours) * entrySize;
    layout.bitsStart = fileHeader ? readLe32(data + 10) : paletteStart + paletteBytes;

    // Only the entries the file holds before the bits are read; indices past them come
    // out black.
    std::size_t paletteEnd = size;
    if (layout.bitsStart > paletteStart && layout.bitsStart < size)
        paletteEnd = layout.bitsStart;
    std::size_t present = paletteEnd > paletteStart ? (paletteEnd - paletteStart) / entrySize : 0;
    layout.paletteCount = std::uint32_t(std::min<std::size_t>({ declaredColours, 256, present }));
    for (std::uint32_t i = 0; i < layout.paletteCount; ++i) {
        const std::uint8_t* entry = data + paletteStart + i * entrySize;
        layout.palette[i][0] = entry[2];
        layout.palette[i][1] = entry[1];
        layout.palette[i][2] = entry[0];
    }
    return true;
}

bool sizeAllocatable(const DibLayout& layout)
{
    return layout.width > 0 && layout.width <= kMaxImageSide && layout.height != 0
        && std::llabs(layout.height) <= kMaxImageSide;
}

std::size_t rowStride(const DibLayout& layout)
{
    return ((std::size_t(layout.width) * layout.bitCount + 31) / 32) * 4;
}

bool runLength(const DibLayout& layout)
{
    return (layout.compression == 1 && layout.bitCount == 8) || (layout.compression == 2 && layout.bitCount == 4);
}

// True when the bits are in a form this loader converts and all of them are present
// (run-length bits are checked as they are expanded).
bool convertible(const DibLayout& layout, std::size_t size)
{
    if (layout.bitsStart > size)
        return false;
    if (runLength(layout))
        return layout.height > 0;
    if (layout.compression != 0)
        return false;
    switch (layout.bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return false;
    }
    std::size_t rows = std::size_t(std::llabs(layout.height));
    std::size_t lastRow = (std::size_t(layout.width) * layout.bitCount + 7) / 8;
    return size - layout.bitsStart >= (rows - 1) * rowStride(layout) + lastRow;
}

void paletteColour(const DibLayout& layout, unsigned index, std::uint8_t* out)
{
    if (index < layout.paletteCount) {
        out[0] = layout.palette[index][0];
        out[1] = layout.palette[index][1];
        out[2] = layout.palette[index][2];
    } else {
        out[0] = out[1] = out[2] = 0;
    }
}

void convertRow(const DibLayout& layout, const std::uint8_t* src, std::uint8_t* dst)
{
    std::size_t width = std::size_t(layout.width);
    for (std::size_t x = 0; x < width; ++x, dst += 3) {
        switch (layout.bitCount) {
        case 1:
            paletteColour(layout, (src[x >> 3] >> (7 - (x & 7))) & 1, dst);
            break;
        case 4:
            paletteColour(layout, (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4), dst);
            break;
        case 8:
            paletteColour(layout, src[x], dst);
            break;
        case 16: {
            // Uncompressed 16-bit bitmaps are 5-5-5.
            unsigned word = readLe16(src + 2 * x);
            unsigned r = (word >> 10) & 0x1F, g = (word >> 5) & 0x1F, b = word & 0x1F;
            dst[0] = std::uint8_t((r << 3) | (r >> 2));
            dst[1] = std::uint8_t((g << 3) | (g >> 2));
            dst[2] = std::uint8_t((b << 3) | (b >> 2));
            break;
        }
        default: {
            const std::uint8_t* p = src + x * (layout.bitCount / 8);
            dst[0] = p[2];
            dst[1] = p[1];
            dst[2] = p[0];
            break;
        }
        }
    }
}

// Run-length bits expanded to indices; pixels the data skips come out black.
bool convertRunLength(const DibLayout& layout, const std::uint8_t* bits, std::size_t size, std::uint8_t* out)
{
    std::vector<std::uint16_t> indices;
    std::uint32_t width = std::uint32_t(layout.width), rows = std::uint32_t(layout.height);
    if (!expandBmpRle(bits, size, width, rows, layout.bitCount, indices))
        return false;
    for (std::uint16_t index : indices) {
        paletteColour(layout, index, out);
        out += 3;
    }
    return true;
}

}

std::size_t DibImage::byteSize() const
{
    return std::size_t(width < 0 ? 0 : width) * std::size_t(std::llabs(height)) * 3;
}

std::unique_ptr<DibImage> decodeDib(const std::uint8_t* data, std::size_t size)
{
    std::unique_ptr<DibLayout> layout(new (std::nothrow) DibLayout);
    if (!layout) {
        showError("Out of memory.");
        return nullptr;
    }
    if (!data || !readLayout(data, size, *layout)) {
        showError("Unknown DIB file format.");
        return nullptr;
    }
    if (!sizeAllocatable(*layout)) {
        showError("Out of memory.");
        return nullptr;
    }
    if (!convertible(*layout, size)) {
        showError("Image file conversion error.");
        return nullptr;
    }
    std::unique_ptr<DibImage> image(new (std::nothrow) DibImage);
    if (!image) {
        showError("Out of memory.");
        return nullptr;
    }
    image->width = std::int32_t(layout->width);
    image->height = std::int32_t(layout->height);
    image->pixels.reset(new (std::nothrow) std::uint8_t[image->byteSize()]);
    if (!image->pixels) {
        showError("Out of memory.");
        return nullptr;
    }
    if (runLength(*layout)) {
        if (!convertRunLength(*layout, data + layout->bitsStart, size - layout->bitsStart, image->pixels.get())) {
            showError("Image file conversion error.");
            return nullptr;
        }
        return image;
    }
    std::size_t rows = std::size_t(std::llabs(layout->height));
    std::size_t stride = rowStride(*layout);
    std::size_t outRow = std::size_t(layout->width) * 3;
    for (std::size_t i = 0; i < rows; ++i)
        convertRow(*layout, data + layout->bitsStart + i * stride, image->pixels.get() + i * outRow);
    return image;
}

std::unique_ptr<DibImage> loadDib(const char* fileName)
{
    std::string name = fileName ? fileName : "";
    std::vector<std::uint8_t> bytes;
    std::FILE* file = fileName ? std::fopen(fileName, "rb") : nullptr;
    bool readOk = file != nullptr;
    if (file) {
        std::uint8_t chunk[65536];
        std::size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            bytes.insert(bytes.end(), chunk, chunk + got);
        readOk = !std::ferror(file);
        std::fclose(file);
    }
    // An empty file cannot be mapped, so it fails like one that does not open.
    if (!readOk || bytes.empty()) {
        showError("Failed to open DIB file " + name + ".\n");
        return nullptr;
    }
    return decodeDib(bytes.data(), bytes.size());
}
