// Expansion of run-length bitmap data (BI_RLE8 and BI_RLE4) into one palette index per
// pixel, for the bitmap layout reader (BmpFormat) both bitmap paths use. It knows nothing of
// palettes or headers; pixels the data never reaches are marked as not written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Index of a pixel the run-length data skipped (end of line, delta, end of bitmap).
constexpr std::uint16_t kRleUnwritten = 0xFFFF;

// Expands size bytes at data for a width x rows bitmap of bitCount 8 or 4 into
// indices (width * rows entries, rows in stored order). Runs past the end of a row are
// cut; nothing is written outside the picture. False when the data ends before an
// end-of-bitmap marker and before the last row is complete, or bitCount is not 4 or 8.
bool expandBmpRle(const std::uint8_t* data, std::size_t size, std::uint32_t width, std::uint32_t rows,
                  std::uint32_t bitCount, std::vector<std::uint16_t>& indices);
