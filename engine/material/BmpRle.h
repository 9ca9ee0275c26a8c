// Expansion of run-length bitmap data (BI_RLE8 and BI_RLE4) into palette indices, for
// the bitmap layout reader (BmpFormat) both bitmap paths use. It knows nothing of
// palettes or headers: each index goes to a sink, with its place in the picture.
// Pixels the data never reaches (end of line, delta, end of bitmap) are not given.
#pragma once

#include <cstddef>
#include <cstdint>

class BmpRleSink {
public:
    virtual ~BmpRleSink() = default;
    // Pixel (x, y) of the picture (y in stored row order) takes palette index. False
    // stops the expansion, which then fails.
    virtual bool put(std::uint32_t x, std::uint32_t y, std::uint8_t index) = 0;
};

// Expands size bytes at data for a width x rows bitmap of bitCount 8 or 4 into sink.
// Runs past the end of a row are cut; nothing outside the picture is given. False when
// the data ends before an end-of-bitmap marker and before the last row is complete,
// when the sink refuses an index, or bitCount is not 4 or 8.
bool expandBmpRle(const std::uint8_t* data, std::size_t size, std::uint32_t width, std::uint32_t rows,
                  std::uint32_t bitCount, BmpRleSink& sink);
