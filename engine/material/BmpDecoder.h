// Windows BMP decoding for the engine path (Image::load): every depth and compression
// the bitmap layout reader takes (BmpFormat), into a 24-bit R, G, B image, top row
// first. Knows nothing of files: it is handed bytes. The particle sprite's own bitmap
// loader is DibLoader, which reads the same layout through the same code.
#pragma once

#include <cstddef>
#include <cstdint>

class Image;

// Decodes size bytes at data (the whole file, 14-byte file header first) into image.
// False, with the image left to the caller to release, when the header is damaged or
// unknown, the picture is empty or over the picture bound (PictureBound.h), the depth
// or compression is one BmpFormat does not convert, the pixel data is shorter than the
// header says, or a pixel indexes past the palette.
bool decodeBmp(const std::uint8_t* data, std::size_t size, Image& image);
