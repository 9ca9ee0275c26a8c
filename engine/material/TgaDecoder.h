// Truevision TGA decoding for the engine path (Image::load): uncompressed and
// run-length true colour (15, 16, 24, 32 bits), grey (8 bits) and colour-mapped files
// (8-bit indices into a map of 15-, 16-, 24- or 32-bit colours). The origin bits of the
// image descriptor are honoured, so files stored top row first and bottom row first
// both come out upright. 24 and 32 bits come out R, G, B (, A); 15/16-bit colours
// (1-5-5-5) come out as the image's 5-6-5 words. Knows nothing of files: it is handed bytes.
#pragma once

#include <cstddef>
#include <cstdint>

class Image;

// Decodes size bytes at data (the whole file) into image, at the depth of the file's
// pixels (of its map's entries when colour-mapped). False when the data ends before the
// pixels do, the picture is empty or over the picture bound (PictureBound.h), a pixel's
// index lies outside the colour map, or the type, depth or colour map is one this
// decoder does not take; never a picture it did not decode.
bool decodeTga(const std::uint8_t* data, std::size_t size, Image& image);
