// JPEG decoding for the engine path (Image::load) through libjpeg, from memory. Always
// produces a 24-bit R, G, B image: grey files are expanded, CMYK and YCCK files are
// converted. Knows nothing of files: it is handed bytes.
#pragma once

#include <cstddef>
#include <cstdint>

class Image;

// Decodes size bytes at data (the whole file) into image. False on any fatal decoding
// error, on data that ends before the image does, for a picture over the picture bound
// (PictureBound.h, checked before the decoder allocates anything of its size), or when the
// data is too small to hold the picture its header claims (checked before the picture
// is allocated, for every coding); decoding never reads outside [data, data + size).
bool decodeJpeg(const std::uint8_t* data, std::size_t size, Image& image);
