// The picture bound: the largest picture any of the engine's picture readers (the JPEG,
// BMP and TGA decoders of Image::load, and the particle sprite's DibLoader) accepts.
// Each of them checks the size a file's header claims against it before it allocates
// anything the size of the picture, so a few bytes claiming a huge picture cost
// nothing. A side is at most the largest texture the engine ever uploads; the pixel
// count keeps one decoded picture (64 MB at 32 bits) well inside a small machine.
#pragma once

#include <cstdint>

constexpr std::uint32_t kMaxPictureSide = 16384;
constexpr std::uint64_t kMaxPicturePixels = std::uint64_t(4096) * 4096;

// The bound in words, for the messages that refuse a picture over it.
constexpr const char* kPictureBoundText = "at most 16384 pixels a side and 16777216 (4096 x 4096) pixels in all";
static_assert(kMaxPictureSide == 16384 && kMaxPicturePixels == 16777216, "kPictureBoundText states the bound");

// Whether a width x height picture is within the bound: both sides at least 1, neither
// above kMaxPictureSide, and no more than kMaxPicturePixels pixels.
constexpr bool pictureWithinBound(std::uint64_t width, std::uint64_t height)
{
    return width >= 1 && height >= 1 && width <= kMaxPictureSide && height <= kMaxPictureSide
        && width * height <= kMaxPicturePixels;
}
