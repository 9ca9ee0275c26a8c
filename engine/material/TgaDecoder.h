// Truevision TGA decoding for the engine path (Image::load): uncompressed and
// run-length true colour (16, 24, 32 bits) and grey (8 bits). Rows are taken as stored
// bottom row first; the origin bit of the descriptor is not consulted. 24 and 32 bits
// come out R, G, B (, A); 15/16-bit pixels (1-5-5-5) come out as the image's 5-6-5 words.
// Knows nothing of files: it is handed bytes.
#pragma once

#include <cstddef>
#include <cstdint>

class Image;

// Decodes size bytes at data (the whole file) into image at the file's depth. False
// when the data ends before the pixels do, a side is 0 or above 16384, or the depth is
// not 8, 15, 16, 24 or 32. Colour-mapped and unknown types give zero pixels and true.
bool decodeTga(const std::uint8_t* data, std::size_t size, Image& image);
