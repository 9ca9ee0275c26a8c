// The picture files datagen writes, encoded in memory from top-down pixel rows: JPEG
// through libjpeg, 24-bit BMP and uncompressed 24/32-bit TGA by hand (both plain formats
// the engine reads). The caller owns the pixels and the bytes returned; nothing is
// written to disk here (see DataFile.h).
#pragma once

#include <cstdint>
#include <vector>

// Pixels top row first, `channels` bytes per pixel: 3 = R, G, B; 4 = R, G, B, A.
struct RgbImage {
    int width = 0;
    int height = 0;
    int channels = 3;
    std::vector<std::uint8_t> pixels;

    RgbImage() = default;
    RgbImage(int w, int h, int c = 3) : width(w), height(h), channels(c), pixels(std::size_t(w) * h * c, 0) {}
    std::uint8_t* at(int x, int y) { return &pixels[(std::size_t(y) * width + x) * channels]; }
    const std::uint8_t* at(int x, int y) const { return &pixels[(std::size_t(y) * width + x) * channels]; }
};

// Baseline JPEG of an RGB image (channels 3) at quality 1..100; empty on failure.
std::vector<unsigned char> encodeJpeg(const RgbImage& image, int quality);
// Bottom-up 24-bit BMP (BITMAPINFOHEADER, rows padded to 4 bytes) of an RGB image; empty
// on failure.
std::vector<unsigned char> encodeBmp24(const RgbImage& image);
// Uncompressed true-colour TGA (type 2), 24 bits for RGB and 32 for RGBA, stored
// bottom-up (origin bit clear); empty on failure.
std::vector<unsigned char> encodeTga(const RgbImage& image);
