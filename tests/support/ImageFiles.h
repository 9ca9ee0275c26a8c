// Hand-made BMP and TGA files for tests, including the damaged and unusual ones no tool
// writes. Every field is explicit so a test can lie in any of them. The one place tests
// write these formats' headers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Little-endian byte string builder.
class LeBytes {
public:
    LeBytes& u8(unsigned v) { bytes_.push_back(char(v & 0xFF)); return *this; }
    LeBytes& u16(unsigned v) { return u8(v).u8(v >> 8); }
    LeBytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    LeBytes& raw(const std::string& s) { bytes_ += s; return *this; }
    LeBytes& zeros(std::size_t n) { bytes_.append(n, '\0'); return *this; }
    const std::string& str() const { return bytes_; }

private:
    std::string bytes_;
};

struct BmpLayout {
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t infoSize = 40;            // 12 writes the core header
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::vector<std::uint32_t> palette;     // 0x00RRGGBB, written B, G, R (, 0)
    std::string pixelData;                  // rows exactly as stored
    bool fileHeader = true;                 // the 14-byte "BM" header
    std::uint32_t gapBeforePixels = 0;      // extra bytes between palette and pixels
    std::int64_t pixelOffset = -1;          // file header's offset; -1: the true one
};
std::string makeBmp(const BmpLayout& layout);
// The layout of a width x height bitmap at bits per pixel with palette and stored rows.
BmpLayout bmpLayout(std::int32_t width, std::int32_t height, std::uint16_t bits, std::vector<std::uint32_t> palette,
                    std::string rows);

// A width x height 24-bit BMP whose every pixel is (r, g, b), for tests that load
// pictures by name.
std::string solidBmp(int width, int height, std::uint8_t r, std::uint8_t g, std::uint8_t b);

// Stored rows of a 24-bit bitmap, padded to 4 bytes, from rows of R, G, B pixels given
// top row first; bottomUp stores them bottom row first as ordinary bitmaps do.
std::string bmpRows24(const std::vector<std::vector<std::uint32_t>>& topFirst, bool bottomUp);

struct TgaLayout {
    std::string id;
    std::uint8_t colourMapType = 0;
    std::uint8_t imageType = 2;
    std::uint16_t colourMapLength = 0;
    std::uint8_t colourMapEntryBits = 0;
    std::uint16_t width = 1;
    std::uint16_t height = 1;
    std::uint8_t depth = 24;
    std::uint16_t colourMapFirst = 0;       // index of the map's first entry
    std::uint8_t descriptor = 0;            // 0x20: top row stored first; 0x10: right to left
    std::string colourMap;                  // the map's entries as stored; empty: 0xEE filler
    std::string pixelData;                  // everything after the colour map
};
std::string makeTga(const TgaLayout& layout);

// A copy of layout with change applied: the variants of one file in a table.
template <typename Layout, typename Change> Layout with(Layout layout, Change change)
{
    change(layout);
    return layout;
}
