// The Windows bitmap layout, read one way for both of the engine's bitmap readers: the
// engine path's BmpDecoder (Image::load) and the particle sprite's DibLoader. It reads
// the headers (12-byte core; 40-, 52-, 56-, 108- and 124-byte information headers),
// the palette and the bit-field masks, and turns the pixel bits into 24-bit R, G, B rows
// in every form it accepts: 1-, 4-, 8-, 16-, 24- and 32-bit rows, 4- and 8-bit
// run-length data, bit-field masks for 16 and 32 bits. Alpha is dropped.
// It knows nothing of files, images or messages: each reader reports its own failures.
#pragma once

#include <cstddef>
#include <cstdint>

struct BmpInfo {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;           // negative: rows stored top row first
    std::uint32_t bitCount = 0;
    std::uint32_t compression = 0;     // 0 none, 1 and 2 run-length, 3 and 6 bit fields
    std::uint32_t masks[3] = {};       // red, green, blue of a 16- or 32-bit pixel
    std::uint8_t palette[256][3] = {}; // R, G, B
    std::uint32_t paletteCount = 0;    // entries the file holds; an index past them is refused
    std::size_t bitsStart = 0;         // offset of the pixel bits from the start of the data
};

// Whether the data begins with the 14-byte file header: always (the engine path skips
// it unread), or only when it begins with "BM" (a bitmap file or a bare DIB).
enum class BmpFileHeader { Always, WhenMarked };

// Reads the headers, masks and palette of size bytes at data. The file header's pixel
// offset is taken when it points past the headers and masks; otherwise the bits follow
// the palette. False when the header size is unknown, the data is too short to hold
// it, or bit fields have no masks (missing, or one of them zero).
bool readBmpInfo(const std::uint8_t* data, std::size_t size, BmpFileHeader fileHeader, BmpInfo& info);

// Whether width x abs(height) is within the picture bound (PictureBound.h); a negative
// width or a height of 0 is not.
bool bmpSizeAllowed(const BmpInfo& info);

// Whether the bits are in a form convertBmpBits takes (run-length data only bottom-up)
// and every row of uncompressed bits lies within size bytes (the last row's padding
// may be missing). Run-length data is checked as it is expanded.
bool bmpBitsConvertible(const BmpInfo& info, std::size_t size);

enum class BmpRowOrder {
    TopFirst,  // the picture's top row first, whichever way the file stores its rows
    AsStored,  // the file's own row order
};

// Converts the bits of a file that bmpBitsConvertible accepted into rgb (width *
// abs(height) * 3 bytes, zeroed, owned by the caller), rows packed without padding.
// Pixels that run-length data skips are not written, so they stay black. False when
// run-length data ends before its image, or when a pixel indexes past the palette the
// file holds.
bool convertBmpBits(const BmpInfo& info, const std::uint8_t* data, std::size_t size, std::uint8_t* rgb,
                    BmpRowOrder order);
