// One rendered picture written to a file: binary PPM (P6) or PNG (libpng, no time stamp,
// so the same pixels give the same bytes). The pixels are borrowed for the call.
#pragma once

#include "tools/velvet-render/RenderOptions.h"

#include <cstdint>
#include <string>

// "ppm" or "png".
const char* pictureExtension(PictureFormat format);
// rgb: width * height * 3 bytes, top row first. False with error set when the file
// cannot be written completely.
bool writePicture(const std::string& path, PictureFormat format, const std::uint8_t* rgb, int width, int height,
    std::string& error);
