// Windows BMP decoding for the engine path (Image::load). Reads 8-bit palette (raw or
// run-length) and 24-bit files into a 24-bit R, G, B image, top row first; other
// uncompressed depths give an image of the right size with zero pixels. Knows nothing of files: it is handed bytes.
// The particle sprite's own bitmap loader is DibLoader, not this.
#pragma once

#include <cstddef>
#include <cstdint>

class Image;

// Decodes size bytes at data (the whole file) into image. False, with the image left
// to the caller to release, when the header is damaged or unsupported (core 12-byte,
// 40-, 52-, 56-, 108- and 124-byte information headers are read), a side is 0 or above
// 16384, the file is compressed other than 8-bit run-length, or its pixel data is shorter than the header says.
bool decodeBmp(const std::uint8_t* data, std::size_t size, Image& image);
