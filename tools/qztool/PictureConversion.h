// Pictures the engine cannot read turned into ones it can: PNG (and the raw texels a
// model file may embed) decoded to RGB rows and written as baseline JPEG. Transparency
// does not survive: JPEG has none. Everything happens in memory; the caller owns the
// bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RgbPicture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgb;  // rows top first, R, G, B
    bool hadAlpha = false;          // some pixel of the source was not opaque
};

// False with libpng's reason when bytes are not a PNG it can decode.
bool decodePng(const std::string& bytes, RgbPicture& picture, std::string& reason);
// Quality 95, colour at full resolution. False (bytes empty) when the picture is empty or libjpeg fails.
bool encodeJpeg(const RgbPicture& picture, std::string& bytes);
